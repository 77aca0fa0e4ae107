# Flow loading cost per instance against reading and tokenising the same file.
zarn_add_module(MgFlowload SOURCES ${CMAKE_CURRENT_LIST_DIR}/flowload_plugin.cpp
                OUTPUT_DIR ${CMAKE_BINARY_DIR}/bench/plugins)
add_executable(bench_flowload ${CMAKE_CURRENT_LIST_DIR}/flowload.cpp)
target_link_libraries(bench_flowload PRIVATE Mesgrave)
set_target_properties(bench_flowload PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
zarn_program(bench_flowload)
target_compile_definitions(bench_flowload PRIVATE FLOWLOAD_PLUGINS="${CMAKE_BINARY_DIR}/bench/plugins/")
add_dependencies(bench_flowload MgFlowload)
