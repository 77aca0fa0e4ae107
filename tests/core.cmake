zarn_add_test_module(CoreProbe SOURCES core/CoreProbe.cpp)
zarn_add_test_module(CoreNoDelete SOURCES core/CoreNoDelete.cpp)
zarn_add_test(core_tests SOURCES core/delivery_test.cpp core/conversion_test.cpp core/plugin_handle_test.cpp
              core/probe_fixture.cpp LIBS Corvane tk_process)
target_include_directories(core_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/core)
add_dependencies(core_tests CoreProbe CoreNoDelete)
add_test(NAME plugin_exports COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/core/check_exports.sh ${CMAKE_BINARY_DIR})
add_test(NAME plugin_static_tls COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/core/check_static_tls.sh ${CMAKE_BINARY_DIR})
if(ZARN_SANITIZE)
  # The probe's type information lives in its plug-in, which the tests load at run time.
  target_compile_options(core_tests PRIVATE -fno-sanitize=vptr)
endif()

# Separately built plug-ins see the core and the event record only through
# the declarations they compile in. This program writes those out itself
# (it includes none of our headers) and drives Counter, Display, a record and
# the trees of the built-in AIDA system through them.
add_executable(interface_pin core/interface_pin.cpp)
set_target_properties(interface_pin PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests
                                               INSTALL_RPATH "${CMAKE_BINARY_DIR}/lib")
target_compile_definitions(interface_pin PRIVATE _GLIBCXX_USE_CXX11_ABI=0)
# Linked by target, so a fresh build makes the libraries first; the program
# includes none of their headers.
target_link_libraries(interface_pin PRIVATE Corvane Tavrel Castrine)
add_dependencies(interface_pin Counter Display)
if(ZARN_SANITIZE)
  # Its classes are declared here, their type information lives in the libraries.
  target_compile_options(interface_pin PRIVATE -fno-sanitize=vptr)
endif()
add_test(NAME interface_pin
         COMMAND interface_pin ${CMAKE_BINARY_DIR}/lib ${CMAKE_CURRENT_BINARY_DIR}/interface_pin.out)

# Tavrel.so needs nothing of the system beyond the runtime.
add_executable(tavrel_alone core/tavrel_alone.cpp)
set_target_properties(tavrel_alone PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
target_link_libraries(tavrel_alone PRIVATE ${CMAKE_DL_LIBS})
add_dependencies(tavrel_alone Tavrel)
add_test(NAME tavrel_alone COMMAND tavrel_alone $<TARGET_FILE:Tavrel>)
