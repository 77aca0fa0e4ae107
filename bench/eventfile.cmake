# Event files: Lorvick writing and Ambrel reading 10^6 records, loaded from
# their plug-ins, against fwrite/fread loops over the same layout.
add_executable(bench_eventfile eventfile.cpp eventfile_floor.cpp)
target_link_libraries(bench_eventfile PRIVATE Corvane Tavrel)
set_target_properties(bench_eventfile PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
target_compile_definitions(bench_eventfile PRIVATE ZARN_BUILD_DIR="${CMAKE_BINARY_DIR}")
add_dependencies(bench_eventfile Lorvick Ambrel)
zarn_program(bench_eventfile)
