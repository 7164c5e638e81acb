# What `cmake --install` puts where. Relative to the prefix:
#
#   bin/                                   paperloom, paperloom-register (and paperloom-desk)
#   lib/paperloom/                         the add-ins, their forms libraries and the host layer's
#                                          shared libraries: private to Paperloom, so outside the
#                                          system's library path
#   lib/paperloom/help/                    the user's manual (HTML), which the add-ins' help
#                                          commands open from their own folder
#   share/paperloom/examples/              the sample database, its pictures and the templates
#   share/man/man1/paperloom.1.gz          the manual page
#   share/applications/, share/icons/      the desktop entry and its icon, with the desktop host
#   share/doc/paperloom/                   the README
#
# The programs find lib/paperloom through their run path ($ORIGIN/../lib/paperloom) and the
# add-ins there by the same relative path, so an installed tree can be moved as a whole.

include(GNUInstallDirs)

set(PAPERLOOM_INSTALL_LIBDIR "lib/paperloom")
set(PAPERLOOM_INSTALL_DATADIR "${CMAKE_INSTALL_DATADIR}/paperloom")

# Every shared library defined in `dir` or below whose folder is under `prefix` (the host
# layer, the add-ins and their forms libraries).
function(paperloom_collect_shared_libraries dir prefix out)
  set(found)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  string(FIND "${dir}/" "${prefix}/" at)
  if(at EQUAL 0)
    foreach(target IN LISTS targets)
      get_target_property(type ${target} TYPE)
      if(type STREQUAL "SHARED_LIBRARY" OR type STREQUAL "MODULE_LIBRARY")
        list(APPEND found ${target})
      endif()
    endforeach()
  endif()
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(subdir IN LISTS subdirs)
    paperloom_collect_shared_libraries(${subdir} ${prefix} more)
    list(APPEND found ${more})
  endforeach()
  set(${out} ${found} PARENT_SCOPE)
endfunction()

paperloom_collect_shared_libraries(${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/src paperloom_shared_libraries)
if(paperloom_shared_libraries)
  set_target_properties(${paperloom_shared_libraries} PROPERTIES INSTALL_RPATH "$ORIGIN")
  install(TARGETS ${paperloom_shared_libraries}
    LIBRARY DESTINATION ${PAPERLOOM_INSTALL_LIBDIR} NAMELINK_SKIP)
endif()

foreach(program paperloom paperloom-register paperloom-desk)
  if(TARGET ${program})
    set_target_properties(${program} PROPERTIES INSTALL_RPATH "$ORIGIN/../${PAPERLOOM_INSTALL_LIBDIR}")
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()

# The samples are made by the generator at build time, into a folder of their own that is
# installed as it is: templates, database and pictures side by side, as the templates expect.
# Sanitizer and fuzz builds are never installed and skip the step.
if(TARGET paperloom_make_samples AND NOT PAPERLOOM_SANITIZE AND NOT PAPERLOOM_FUZZ)
  set(sample_source ${PROJECT_SOURCE_DIR}/examples/sample)
  set(sample_output ${PROJECT_BINARY_DIR}/share/examples)
  file(GLOB sample_pictures CONFIGURE_DEPENDS ${sample_source}/pictures/*)
  add_custom_command(
    OUTPUT ${sample_output}/sample.db ${sample_output}/invoice.docx ${sample_output}/invoice-pages.docx
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${sample_output}
    COMMAND paperloom_make_samples --source ${sample_source} ${sample_output}
    DEPENDS paperloom_make_samples ${sample_source}/schema.sql ${sample_source}/data.sql ${sample_pictures}
    COMMENT "Making the installed samples"
    VERBATIM)
  add_custom_target(paperloom_installed_samples ALL
    DEPENDS ${sample_output}/sample.db ${sample_output}/invoice.docx ${sample_output}/invoice-pages.docx)
  install(DIRECTORY ${sample_output}/ DESTINATION ${PAPERLOOM_INSTALL_DATADIR}/examples)
endif()

# The manual goes beside the add-ins, whose help commands look for it in their own folder. In
# the build tree each add-in's folder gets a copy, kept up to date, so a host running from the
# build opens it the same way.
file(GLOB_RECURSE paperloom_help_files CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/help/*)
if(paperloom_help_files)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/help/ DESTINATION ${PAPERLOOM_INSTALL_LIBDIR}/help)
  foreach(addin OsPLRun OsPLEdit)
    if(TARGET ${addin})
      get_target_property(addin_dir ${addin} BINARY_DIR)
      set(stamp ${PROJECT_BINARY_DIR}/help-${addin}.stamp)
      add_custom_command(OUTPUT ${stamp}
        COMMAND ${CMAKE_COMMAND} -E rm -rf ${addin_dir}/help
        COMMAND ${CMAKE_COMMAND} -E copy_directory ${PROJECT_SOURCE_DIR}/help ${addin_dir}/help
        COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
        DEPENDS ${paperloom_help_files}
        COMMENT "Copying the manual beside ${addin}"
        VERBATIM)
      add_custom_target(${addin}_help ALL DEPENDS ${stamp})
      add_dependencies(${addin} ${addin}_help)
    endif()
  endforeach()
endif()

# Manual pages are installed compressed, as Debian's policy asks; -n keeps the archive free of
# the build's time and name, so the package is the same from build to build.
find_program(PAPERLOOM_GZIP gzip REQUIRED)
set(man_page ${PROJECT_SOURCE_DIR}/packaging/paperloom.1)
set(man_page_gz ${PROJECT_BINARY_DIR}/share/man/paperloom.1.gz)
add_custom_command(
  OUTPUT ${man_page_gz}
  COMMAND ${CMAKE_COMMAND} -E copy ${man_page} ${PROJECT_BINARY_DIR}/share/man/paperloom.1
  COMMAND ${PAPERLOOM_GZIP} -9 -n -f ${PROJECT_BINARY_DIR}/share/man/paperloom.1
  DEPENDS ${man_page}
  COMMENT "Compressing the manual page"
  VERBATIM)
add_custom_target(paperloom_man_page ALL DEPENDS ${man_page_gz})
install(FILES ${man_page_gz} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The desktop entry starts the desktop host, so it comes with it.
if(TARGET paperloom-desk)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/paperloom-desk.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/paperloom.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()

install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/paperloom)
