# Records per second through Ambrel -> Drovin -> Histo under torvask with the
# test AIDA system, against a hand-written reader doing the same work.
if(NOT TARGET TestAida)
  # Without the tests, the bench builds the test AIDA system beside itself.
  set(ZARN_TEST_AIDA_DIR ${CMAKE_BINARY_DIR}/bench)
  include(${CMAKE_SOURCE_DIR}/tests/aidatest/TestAida.cmake)
endif()

add_executable(bench_analysis analysis.cpp analysis_floor.cpp)
target_link_libraries(bench_analysis PRIVATE zarn_fevent)
set_target_properties(bench_analysis PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
target_compile_definitions(bench_analysis PRIVATE
  ZARN_BUILD_DIR="${CMAKE_BINARY_DIR}" ZARN_BENCH_AIDA="$<TARGET_FILE:TestAida>")
add_dependencies(bench_analysis torvask Ambrel Drovin Histo TestAida)
zarn_program(bench_analysis)
