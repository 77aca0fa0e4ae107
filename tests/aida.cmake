# AIDA loading of the manager and the test AIDA system, in-process.
zarn_add_test(aida_tests SOURCES ${CMAKE_CURRENT_LIST_DIR}/aida/AidaLoadingTest.cpp
              ${CMAKE_CURRENT_LIST_DIR}/aida/TestAidaTest.cpp
              LIBS Mesgrave test_aida_fixture)
target_compile_definitions(aida_tests PRIVATE ZARN_TEST_AIDA="${ZARN_TEST_AIDA}")
add_dependencies(aida_tests TestAida Castrine torvask TkCount)

# The built-in AIDA system, linked in directly so its classes can be seen.
zarn_add_test(castrine_tests SOURCES ${CMAKE_CURRENT_LIST_DIR}/aida/CastrineTest.cpp
              LIBS Castrine Mesgrave AidaInterfaces)
target_include_directories(castrine_tests PRIVATE ${CMAKE_SOURCE_DIR}/aida)

# Trees and the factory deleted at exit, after the system's globals.
add_executable(tree_list_exit ${CMAKE_CURRENT_LIST_DIR}/aida/tree_list_exit.cpp)
set_target_properties(tree_list_exit PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
target_link_libraries(tree_list_exit PRIVATE AidaInterfaces ${CMAKE_DL_LIBS})
add_dependencies(tree_list_exit Castrine)
add_test(NAME tree_list_exit COMMAND tree_list_exit $<TARGET_FILE:Castrine>)
set_tests_properties(tree_list_exit PROPERTIES PASS_REGULAR_EXPRESSION
  "VornTree:~::VornTree\\(\\)\nVornTree:~::VornTree\\(\\)\nCastrine::~Castrine\ndeleted late\n"
  FAIL_REGULAR_EXPRESSION "Sanitizer|runtime error")
