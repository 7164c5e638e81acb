# The Debian package, made by CPack from the install rules (scripts/package.sh runs it):
# paperloom_<version>_<arch>.deb.
#
# The libraries the programs link come from dpkg-shlibdeps; lib/paperloom holds Paperloom's own
# libraries, which no other package provides. Rendering and printing need the office suite, a
# font with Japanese glyphs and the print spooler's client: recommended, since filling templates
# works without them. ODBC drivers are for templates that name other databases: suggested.

set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "paperloom")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_VENDOR "Paperloom")
set(CPACK_PACKAGE_CONTACT "Paperloom developers <paperloom@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "database reports from word-processor templates")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Paperloom fills .docx templates bound to a database with the records of their\n"
  "record source, with detail tables of child records, statistics and pictures, and\n"
  "turns them into print documents, PDF files and printed pages. The package holds\n"
  "the paperloom command, the run-time add-in, the sample database and templates,\n"
  "and the manual page.")
string(REPLACE ";" "" CPACK_DEBIAN_PACKAGE_DESCRIPTION "${CPACK_DEBIAN_PACKAGE_DESCRIPTION}")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "paperloom")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "text")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# dpkg-shlibdeps runs in the staging root: the private folder relative to it.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS "usr/${PAPERLOOM_INSTALL_LIBDIR}")
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libreoffice-writer-nogui | libreoffice-writer, fonts-noto-cjk, cups-client, qpdf")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "odbc-postgresql, libsqliteodbc, odbc-mdbtools, cups")
# Directories the package shares with others are not its own: dpkg removes only what it owns.
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
