# Event files: the .fevent codec in-process, and Lorvick and Ambrel run by
# torvask on flow files in scratch directories with the Ef* test plug-ins.
set(ef_dir ${CMAKE_CURRENT_LIST_DIR}/eventfiles)
set(ef_plugins EfDriver EfSink EfControl)
foreach(plugin ${ef_plugins})
  zarn_add_test_module(${plugin} SOURCES ${ef_dir}/plugins/${plugin}.cpp TAVREL)
endforeach()

zarn_add_test(eventfiles_codec_tests SOURCES ${ef_dir}/CodecTest.cpp LIBS zarn_fevent tk_process)

# Hand-built file bytes and flow runs; the Brisvald tests use it too.
add_library(ef_support STATIC ${ef_dir}/EfSupport.cpp)
target_link_libraries(ef_support PUBLIC tk_process gtest)
target_include_directories(ef_support PUBLIC ${ef_dir})
target_compile_definitions(ef_support PRIVATE
  ZARN_BUILD_DIR="${CMAKE_BINARY_DIR}" ZARN_TEST_PLUGINS="${ZARN_TEST_PLUGINS}")

zarn_add_test(eventfiles_flow_tests
  SOURCES ${ef_dir}/RoundTripTest.cpp ${ef_dir}/ReplayTest.cpp ${ef_dir}/BadFileTest.cpp
  LIBS ef_support)
add_dependencies(eventfiles_flow_tests torvask Lorvick Ambrel ${ef_plugins})
