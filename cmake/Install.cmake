# Installs the programs (stripped) with their man pages, the guide and the
# examples, and the utility, thread and data-file libraries with their
# public headers, plus a package configuration: another project's
# find_package(vexo) then gets the imported targets vexo::util,
# vexo::threads and vexo::data. The programs and their documents go into the
# component vexo_runtime, the rest into vexo_development; each becomes a
# Debian package of its own.
include(CMakePackageConfigHelpers)

set(VEXO_PACKAGE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/vexo)

set_target_properties(vexo_util PROPERTIES EXPORT_NAME util)
set_target_properties(vexo_threads PROPERTIES EXPORT_NAME threads)
set_target_properties(vexo_data PROPERTIES EXPORT_NAME data)
# The same names inside a build that takes vexo in as a subdirectory.
add_library(vexo::util ALIAS vexo_util)
add_library(vexo::threads ALIAS vexo_threads)
add_library(vexo::data ALIAS vexo_data)

# The programs that are built: vexo-import needs libcsv, and vexo-check is
# optional too.
set(VEXO_PROGRAMS vexo)
foreach(program IN ITEMS vexo-import vexo-check)
  if(TARGET ${program})
    list(APPEND VEXO_PROGRAMS ${program})
  endif()
endforeach()
install(TARGETS ${VEXO_PROGRAMS} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  COMPONENT vexo_runtime)
# The installed programs carry no symbols: a user's copy is a tenth of the
# size of the build's.
if(CMAKE_STRIP)
  foreach(program IN LISTS VEXO_PROGRAMS)
    install(CODE "execute_process(COMMAND ${CMAKE_STRIP}
      \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${program}\")"
      COMPONENT vexo_runtime)
  endforeach()
endif()
# Man pages go out compressed, as Debian has them: gzip -9, without a time
# stamp, so that two builds give the same bytes.
foreach(program IN LISTS VEXO_PROGRAMS)
  set(page ${PROJECT_SOURCE_DIR}/docs/${program}.1)
  if(NOT EXISTS ${page})
    continue()
  endif()
  set(compressed ${PROJECT_BINARY_DIR}/man/${program}.1.gz)
  add_custom_command(OUTPUT ${compressed}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/man
    COMMAND gzip -9 -n -c ${page} > ${compressed}
    DEPENDS ${page} VERBATIM)
  list(APPEND VEXO_MAN_PAGES ${compressed})
endforeach()
add_custom_target(vexo_man_pages ALL DEPENDS ${VEXO_MAN_PAGES})
install(FILES ${VEXO_MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT vexo_runtime)
# The guide, the examples it runs, and for each package its copyright file and
# change log where Debian looks for them.
install(FILES ${PROJECT_SOURCE_DIR}/docs/guide.md DESTINATION ${CMAKE_INSTALL_DOCDIR}
  COMPONENT vexo_runtime)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/ DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples
  COMPONENT vexo_runtime)
configure_file(${CMAKE_CURRENT_LIST_DIR}/changelog.in ${PROJECT_BINARY_DIR}/changelog @ONLY)
add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/changelog.gz
  COMMAND gzip -9 -n -c ${PROJECT_BINARY_DIR}/changelog > ${PROJECT_BINARY_DIR}/changelog.gz
  DEPENDS ${PROJECT_BINARY_DIR}/changelog VERBATIM)
add_custom_target(vexo_changelog ALL DEPENDS ${PROJECT_BINARY_DIR}/changelog.gz)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/lintian-overrides
  DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides RENAME vexo COMPONENT vexo_runtime)
foreach(package_component IN ITEMS vexo:vexo_runtime libvexo-dev:vexo_development)
  string(REPLACE ":" ";" package_component ${package_component})
  list(GET package_component 0 package)
  list(GET package_component 1 component)
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright
    DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${package} COMPONENT ${component})
  install(FILES ${PROJECT_BINARY_DIR}/changelog.gz
    DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${package} COMPONENT ${component})
endforeach()
install(TARGETS vexo_util vexo_threads vexo_data EXPORT vexoTargets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT vexo_development)
# The headers go under include/vexo/util and include/vexo/threads: another
# project includes them as <vexo/util/DBString.h>, and the headers reach each
# other as "util/DBString.h" through include/vexo.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/util/
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/vexo/util COMPONENT vexo_development
  FILES_MATCHING PATTERN "*.h" PATTERN "test_*" EXCLUDE)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/threads/
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/vexo/threads COMPONENT vexo_development
  FILES_MATCHING PATTERN "*.h"
  # The thread library's own helpers and test aids are not part of its interface.
  PATTERN "ThreadSupport.h" EXCLUDE PATTERN "test_*" EXCLUDE)
install(FILES ${PROJECT_SOURCE_DIR}/data/DataWriter.h
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/vexo/data COMPONENT vexo_development)

install(EXPORT vexoTargets NAMESPACE vexo:: DESTINATION ${VEXO_PACKAGE_DIR}
  COMPONENT vexo_development)
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/vexoConfig.cmake.in
  ${PROJECT_BINARY_DIR}/vexoConfig.cmake INSTALL_DESTINATION ${VEXO_PACKAGE_DIR})
# Before 1.0 a new minor version may change the interface.
write_basic_package_version_file(${PROJECT_BINARY_DIR}/vexoConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/vexoConfig.cmake ${PROJECT_BINARY_DIR}/vexoConfigVersion.cmake
  DESTINATION ${VEXO_PACKAGE_DIR} COMPONENT vexo_development)

# Installs the finished build tree into a scratch prefix and builds and runs
# the consumer project against it. Sanitized builds are left out: their
# libraries need the sanitizer runtime, which a plain consumer does not link.
if(VEXO_BUILD_TESTS AND VEXO_SANITIZE STREQUAL "")
  add_test(NAME install_consumer
    COMMAND ${CMAKE_COMMAND}
      -DVEXO_BUILD_DIR=${PROJECT_BINARY_DIR}
      -DVEXO_EXECUTABLE=$<TARGET_FILE:vexo>
      -DINSTALL_BINDIR=${CMAKE_INSTALL_BINDIR}
      -DCONSUMER_SOURCE_DIR=${PROJECT_SOURCE_DIR}/tests/consumer
      -DWORK_DIR=${PROJECT_BINARY_DIR}/install-test
      -DGENERATOR=${CMAKE_GENERATOR}
      -DCXX_COMPILER=${CMAKE_CXX_COMPILER}
      -DBUILD_TYPE=${CMAKE_BUILD_TYPE}
      -P ${PROJECT_SOURCE_DIR}/tests/consumer/InstallAndBuild.cmake)
  # It builds a whole project of its own, so it gets the machine to itself.
  set_tests_properties(install_consumer PROPERTIES LABELS install RUN_SERIAL TRUE TIMEOUT 600)
endif()

# Two Debian packages, built offline by `make package`: vexo (the programs,
# their man pages, the guide and the examples) and libvexo-dev (the static
# libraries, their headers and the CMake package files).
set(CPACK_GENERATOR DEB)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL vexo_runtime vexo_development)
set(CPACK_PACKAGE_NAME vexo)
set(CPACK_PACKAGE_CONTACT "vexo developers <vexo@vexo.example.org>")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_VEXO_RUNTIME_PACKAGE_NAME vexo)
set(CPACK_DEBIAN_VEXO_RUNTIME_PACKAGE_SECTION text)
set(CPACK_DEBIAN_VEXO_RUNTIME_PACKAGE_DEPENDS
  "libc6 (>= 2.34), libgcc-s1 (>= 3.0), libstdc++6 (>= 12), libcsv3 (>= 3.0)")
set(CPACK_COMPONENT_VEXO_RUNTIME_DESCRIPTION
  "report generator: tagged data files into fixed-layout text blanks
vexo pours the records of a tagged data file into a blank, a text template
of up to three parts with placeholders, jumps and repeat blocks, and prints
the report sheet after sheet. vexo-import turns CSV and tab-separated
exports into data files that vexo reads back exactly.")
set(CPACK_DEBIAN_VEXO_DEVELOPMENT_PACKAGE_NAME libvexo-dev)
set(CPACK_DEBIAN_VEXO_DEVELOPMENT_PACKAGE_SECTION libdevel)
set(CPACK_COMPONENT_VEXO_DEVELOPMENT_DESCRIPTION
  "report generator: static libraries and headers
The utility, thread and data-file libraries of vexo with their headers and
CMake package files: find_package(vexo) gives vexo::util, vexo::threads and
vexo::data. vexo::data holds DataWriter, which writes data files that vexo
reads back exactly.")
include(CPack)
