# Every dependency is a Debian package; scripts/install-deps.sh installs them.
find_package(Threads REQUIRED)
find_package(pugixml REQUIRED)
# Debian's libzip CMake config names command-line tools that its -dev package does not ship,
# so take the library through pkg-config.
find_package(PkgConfig REQUIRED)
pkg_check_modules(LIBZIP REQUIRED IMPORTED_TARGET GLOBAL libzip)
add_library(libzip::zip ALIAS PkgConfig::LIBZIP)
# Deflate for print documents written while they are built.
find_package(ZLIB REQUIRED)
find_package(SQLite3 REQUIRED)
find_package(ODBC REQUIRED)
find_package(ICU REQUIRED COMPONENTS uc i18n data)
find_package(fmt REQUIRED)
find_package(CLI11 QUIET)
find_package(nlohmann_json 3 REQUIRED)
if(PAPERLOOM_TESTS)
  find_package(GTest REQUIRED)
endif()
if(PAPERLOOM_BENCH)
  find_package(benchmark REQUIRED)
endif()
