# The test AIDA system: a shared library that really holds objects, loaded
# like any AIDA system. Tests name it by its full file path (the loader's
# last try is the name itself), e.g. torvask -a ${ZARN_TEST_AIDA}; see
# tests/aidatest/README.md.
set(aidatest_dir ${CMAKE_CURRENT_LIST_DIR}/aidatest)
add_library(TestAida SHARED ${aidatest_dir}/TestAida.cpp ${aidatest_dir}/TestTree.cpp
            ${aidatest_dir}/TestHistograms.cpp ${aidatest_dir}/TestDataPoints.cpp ${aidatest_dir}/TestPlotter.cpp)
set_target_properties(TestAida PROPERTIES LIBRARY_OUTPUT_DIRECTORY ${ZARN_TEST_PLUGINS})
target_link_libraries(TestAida PRIVATE AidaInterfaces)
target_include_directories(TestAida PRIVATE ${CMAKE_SOURCE_DIR}/aida)
set(ZARN_TEST_AIDA ${ZARN_TEST_PLUGINS}/libTestAida.so)

# AIDA loading of the manager and the test AIDA system, in-process.
zarn_add_test(aida_tests SOURCES ${CMAKE_CURRENT_LIST_DIR}/aida/AidaLoadingTest.cpp
              ${CMAKE_CURRENT_LIST_DIR}/aida/TestAidaTest.cpp
              LIBS Mesgrave AidaInterfaces tk_process ${CMAKE_DL_LIBS})
target_compile_definitions(aida_tests PRIVATE ZARN_TEST_AIDA="${ZARN_TEST_AIDA}")
add_dependencies(aida_tests TestAida Castrine torvask TkCount)

# The built-in AIDA system, linked in directly so its classes can be seen.
zarn_add_test(castrine_tests SOURCES ${CMAKE_CURRENT_LIST_DIR}/aida/CastrineTest.cpp
              LIBS Castrine Mesgrave AidaInterfaces)
target_include_directories(castrine_tests PRIVATE ${CMAKE_SOURCE_DIR}/aida)
