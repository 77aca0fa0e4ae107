zarn_add_test_module(CoreProbe SOURCES core/CoreProbe.cpp)
zarn_add_test_module(CoreNoDelete SOURCES core/CoreNoDelete.cpp)
zarn_add_test(core_tests SOURCES core/delivery_test.cpp core/conversion_test.cpp core/plugin_handle_test.cpp
              core/probe_fixture.cpp LIBS Corvane tk_process)
target_include_directories(core_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/core)
add_dependencies(core_tests CoreProbe CoreNoDelete)
add_test(NAME plugin_exports COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/core/check_exports.sh ${CMAKE_BINARY_DIR})
if(ZARN_SANITIZE)
  # The probe's type information lives in its plug-in, which the tests load at run time.
  target_compile_options(core_tests PRIVATE -fno-sanitize=vptr)
endif()
