# Installs the vexo executable and the utility and thread libraries with their
# public headers, plus a package configuration: another project's
# find_package(vexo) then gets the imported targets vexo::util and
# vexo::threads. The executable goes into the component vexo_runtime, the
# rest into vexo_development, so a packager can split them.
include(CMakePackageConfigHelpers)

set(VEXO_PACKAGE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/vexo)

set_target_properties(vexo_util PROPERTIES EXPORT_NAME util)
set_target_properties(vexo_threads PROPERTIES EXPORT_NAME threads)
# The same names inside a build that takes vexo in as a subdirectory.
add_library(vexo::util ALIAS vexo_util)
add_library(vexo::threads ALIAS vexo_threads)

install(TARGETS vexo RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT vexo_runtime)
install(TARGETS vexo_util vexo_threads EXPORT vexoTargets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT vexo_development)
# The headers go under include/vexo/util and include/vexo/threads: another
# project includes them as <vexo/util/DBString.h>, and the headers reach each
# other as "util/DBString.h" through include/vexo.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/util/
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/vexo/util COMPONENT vexo_development
  FILES_MATCHING PATTERN "*.h")
install(DIRECTORY ${PROJECT_SOURCE_DIR}/threads/
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/vexo/threads COMPONENT vexo_development
  FILES_MATCHING PATTERN "*.h"
  # The thread library's own helpers and test aids are not part of its interface.
  PATTERN "ThreadSupport.h" EXCLUDE PATTERN "ThreadTesting.h" EXCLUDE)

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
