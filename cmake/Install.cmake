# Installs the vexo executable (stripped) with its man page, guide and
# examples, and the utility, thread and data-file libraries with their
# public headers, plus a package configuration: another project's
# find_package(vexo) then gets the imported targets vexo::util,
# vexo::threads and vexo::data. The executable goes into the component vexo_runtime, the
# rest into vexo_development, so a packager can split them.
include(CMakePackageConfigHelpers)

set(VEXO_PACKAGE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/vexo)

set_target_properties(vexo_util PROPERTIES EXPORT_NAME util)
set_target_properties(vexo_threads PROPERTIES EXPORT_NAME threads)
set_target_properties(vexo_data PROPERTIES EXPORT_NAME data)
# The same names inside a build that takes vexo in as a subdirectory.
add_library(vexo::util ALIAS vexo_util)
add_library(vexo::threads ALIAS vexo_threads)
add_library(vexo::data ALIAS vexo_data)

install(TARGETS vexo RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT vexo_runtime)
# The installed executable carries no symbols: a user's copy is a tenth of
# the size of the build's.
if(CMAKE_STRIP)
  install(CODE "execute_process(COMMAND ${CMAKE_STRIP}
    \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/vexo\")"
    COMPONENT vexo_runtime)
endif()
# The man page, the guide and the examples it runs.
install(FILES ${PROJECT_SOURCE_DIR}/docs/vexo.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1
  COMPONENT vexo_runtime)
install(FILES ${PROJECT_SOURCE_DIR}/docs/guide.md DESTINATION ${CMAKE_INSTALL_DOCDIR}
  COMPONENT vexo_runtime)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/ DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples
  COMPONENT vexo_runtime)
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

# A Debian package of everything above, built offline by `make package`.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vexo)
set(CPACK_PACKAGE_CONTACT "vexo developers <vexo@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "report generator: tagged data files into fixed-layout text blanks")
set(CPACK_DEBIAN_PACKAGE_SECTION text)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6 (>= 2.34), libstdc++6 (>= 12)")
set(CPACK_STRIP_FILES ON)
include(CPack)
