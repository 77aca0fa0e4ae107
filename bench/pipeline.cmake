# A flow against a hand-written program: torvask running Stepper -> Gaussian
# -> Pennoch for 10^6 steps, and a plain program doing the same work, both
# timed as whole processes by bench_pipeline.
if(TARGET torvask)
  add_executable(pipeline_hand pipeline_hand.cpp)
  set_target_properties(pipeline_hand PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)

  add_executable(bench_pipeline pipeline.cpp)
  set_target_properties(bench_pipeline PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
  target_compile_definitions(bench_pipeline PRIVATE
    PIPELINE_TORVASK="$<TARGET_FILE:torvask>" PIPELINE_HAND="$<TARGET_FILE:pipeline_hand>"
    PIPELINE_PLUGINS="${CMAKE_BINARY_DIR}/lib")
  add_dependencies(bench_pipeline torvask Castrine Stepper Gaussian Pennoch pipeline_hand)
endif()
