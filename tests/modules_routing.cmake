# The routing and file-driven modules (Multiplex, Vectorize, Caldris, Notify):
# torvask runs flow files in scratch directories and the output is compared
# exactly. The Rt* test plug-ins show the types that values arrive as.
set(rt_dir ${CMAKE_CURRENT_LIST_DIR}/modules_routing)
set(rt_plugins RtProbe RtLeak)
foreach(plugin ${rt_plugins})
  zarn_add_test_module(${plugin} SOURCES ${rt_dir}/plugins/${plugin}.cpp)
endforeach()
if(ZARN_SANITIZE)
  # RtProbe calls the manager through its table; the vptr check would make the
  # plug-in need the manager's type information, which a test process that
  # loads it by hand does not have.
  target_compile_options(RtProbe PRIVATE -fno-sanitize=vptr)
endif()

# The flow runner of the first modules' tests is shared, not copied.
zarn_add_test(modules_routing_tests
  SOURCES ${rt_dir}/routing_test.cpp ${rt_dir}/caldris_test.cpp ${rt_dir}/notify_test.cpp
  LIBS Corvane fm_flow_run test_support)
target_include_directories(modules_routing_tests PRIVATE ${rt_dir})
add_dependencies(modules_routing_tests torvask Stepper Counter Multiplier Display Multiplex Vectorize Caldris Notify
                 ${rt_plugins})

# Loops in a flow and a long chain: the stack check on delivery.
zarn_add_test(nesting_tests SOURCES ${CMAKE_CURRENT_LIST_DIR}/nesting/nesting_test.cpp LIBS Corvane fm_flow_run)
add_dependencies(nesting_tests torvask Stepper Counter Multiplier Multiplex Display Felmira)
