# The test AIDA system: a shared library that really holds objects, loaded
# like any AIDA system. Callers name it by its full file path (the loader's
# last try is the name itself), e.g. torvask -a ${ZARN_TEST_AIDA}; see
# README.md beside this file. Set ZARN_TEST_AIDA_DIR to where it goes.
set(aidatest_dir ${CMAKE_CURRENT_LIST_DIR})
add_library(TestAida SHARED ${aidatest_dir}/TestAida.cpp ${aidatest_dir}/TestTree.cpp
            ${aidatest_dir}/TestHistograms.cpp ${aidatest_dir}/TestDataPoints.cpp ${aidatest_dir}/TestTuples.cpp
            ${aidatest_dir}/TestPlotter.cpp)
set_target_properties(TestAida PROPERTIES LIBRARY_OUTPUT_DIRECTORY ${ZARN_TEST_AIDA_DIR})
target_link_libraries(TestAida PRIVATE AidaInterfaces)
target_include_directories(TestAida PRIVATE ${CMAKE_SOURCE_DIR}/aida)
set(ZARN_TEST_AIDA ${ZARN_TEST_AIDA_DIR}/libTestAida.so)
