# The generator and text modules (Stepper, Gaussian, Counter, Multiplier,
# Display, Pennoch) and the example flows: torvask runs flow files in scratch
# directories and the output is compared exactly.
set(fm_dir ${CMAKE_CURRENT_LIST_DIR}/modules_first)

# The flow runner and flow-text helpers; the routing and thread tests use it too.
add_library(fm_flow_run STATIC ${fm_dir}/fm_flow_run.cpp)
target_link_libraries(fm_flow_run PUBLIC tk_process gtest)
target_include_directories(fm_flow_run PUBLIC ${fm_dir})
target_compile_definitions(fm_flow_run PRIVATE ZARN_BUILD_DIR="${CMAKE_BINARY_DIR}")

zarn_add_test(modules_first_tests
  SOURCES ${fm_dir}/generators_test.cpp ${fm_dir}/textio_test.cpp ${fm_dir}/example_flows_test.cpp
  LIBS Corvane zarn_escape fm_flow_run)
if(ZARN_SANITIZE)
  # Pennoch's type information lives in its plug-in, which a test loads at run time.
  target_compile_options(modules_first_tests PRIVATE -fno-sanitize=vptr)
endif()
add_dependencies(modules_first_tests torvask Castrine Stepper Gaussian Counter Multiplier Display Pennoch)
