# Installs a finished vexo build tree into a fresh prefix, then configures,
# builds and runs the consumer project against that prefix, as another
# project would use it. Run with cmake -P and the variables VEXO_BUILD_DIR,
# VEXO_EXECUTABLE, INSTALL_BINDIR, CONSUMER_SOURCE_DIR, WORK_DIR, GENERATOR,
# CXX_COMPILER and BUILD_TYPE. Any failing step fails the script.

function(run_step what)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${what} failed: ${result}")
  endif()
endfunction()

if(NOT EXISTS ${VEXO_EXECUTABLE})
  message(FATAL_ERROR "${VEXO_EXECUTABLE} is missing: build the whole project first")
endif()

set(prefix ${WORK_DIR}/prefix)
file(REMOVE_RECURSE ${WORK_DIR})

run_step("install" ${CMAKE_COMMAND} --install ${VEXO_BUILD_DIR} --prefix ${prefix})
if(NOT EXISTS ${prefix}/${INSTALL_BINDIR}/vexo)
  message(FATAL_ERROR "the vexo executable was not installed into ${prefix}/${INSTALL_BINDIR}")
endif()

run_step("configure" ${CMAKE_COMMAND} -S ${CONSUMER_SOURCE_DIR} -B ${WORK_DIR}/build
  -G "${GENERATOR}" -DCMAKE_BUILD_TYPE=${BUILD_TYPE} -DCMAKE_CXX_COMPILER=${CXX_COMPILER}
  -DCMAKE_PREFIX_PATH=${prefix})
run_step("build" ${CMAKE_COMMAND} --build ${WORK_DIR}/build -j2)
run_step("run" ${WORK_DIR}/build/vexo_consumer)
