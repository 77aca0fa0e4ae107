# Formula evaluation per event against a hand-written loop and muparser, and
# Tavrel::Reset on events of several sizes.
find_package(muparser REQUIRED)
# muparser's interface takes strings of the new string ABI; only this file
# sees it, and it hands nothing but vectors of doubles across.
add_library(bench_formula_muparser OBJECT ${CMAKE_CURRENT_SOURCE_DIR}/formula_muparser.cpp)
target_compile_definitions(bench_formula_muparser PRIVATE _GLIBCXX_USE_CXX11_ABI=1)
target_link_libraries(bench_formula_muparser PRIVATE muparser::muparser)
add_executable(bench_formula ${CMAKE_CURRENT_SOURCE_DIR}/formula.cpp $<TARGET_OBJECTS:bench_formula_muparser>)
target_link_libraries(bench_formula PRIVATE Tavrel muparser::muparser)
set_target_properties(bench_formula PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
zarn_program(bench_formula)
