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
