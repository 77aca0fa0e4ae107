# Brisvald (event files of the older layouts), Yurlen (2-D histograms) and
# Zinnet (graphs from event records), run by torvask on flow files: Brisvald
# on files built byte by byte with the event file tests' helpers and
# plug-ins, Yurlen and Zinnet with the test AIDA system, the built-in one
# and none, with the analysis tests' helpers and plug-ins and the Ma* test
# plug-ins.
set(ma_dir ${CMAKE_CURRENT_LIST_DIR}/modules_more_a)
set(ma_plugins MaPairs MaRecords)
foreach(plugin ${ma_plugins})
  zarn_add_test_module(${plugin} SOURCES ${ma_dir}/plugins/${plugin}.cpp TAVREL)
endforeach()

zarn_add_test(modules_more_a_brisvald_tests SOURCES ${ma_dir}/BrisvaldTest.cpp LIBS ef_support)
add_dependencies(modules_more_a_brisvald_tests torvask Brisvald EfSink EfControl EfDriver)

set(ma_flow_targets torvask Castrine TestAida Ambrel Lorvick AnValues AnDump AnFormula EfSink EfControl ${ma_plugins})

zarn_add_test(modules_more_a_yurlen_tests SOURCES ${ma_dir}/YurlenTest.cpp LIBS an_support)
target_include_directories(modules_more_a_yurlen_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/analysis)
add_dependencies(modules_more_a_yurlen_tests Yurlen ${ma_flow_targets})

zarn_add_test(modules_more_a_zinnet_tests SOURCES ${ma_dir}/ZinnetTest.cpp LIBS an_support)
target_include_directories(modules_more_a_zinnet_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/analysis)
add_dependencies(modules_more_a_zinnet_tests Zinnet ${ma_flow_targets})
