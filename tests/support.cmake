# Support code that the test areas share.
set(support_dir ${CMAKE_CURRENT_LIST_DIR}/support)

# The header-only helpers.
add_library(test_support INTERFACE)
target_link_libraries(test_support INTERFACE gtest)
target_include_directories(test_support INTERFACE ${support_dir})

# The test AIDA system's dump read back.
add_library(aida_dump STATIC ${support_dir}/AidaDump.cpp)
target_link_libraries(aida_dump PUBLIC test_support)

# The test AIDA system loaded in-process, with a folder per test.
add_library(test_aida_fixture INTERFACE)
target_link_libraries(test_aida_fixture INTERFACE test_support AidaInterfaces tk_process ${CMAKE_DL_LIBS})
