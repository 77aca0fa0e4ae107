# Analysis road: the AIDA access and channel grid, selectable inputs, Histo
# and Drovin, run through torvask on flow files with the An* test plug-ins
# and the test AIDA system.
set(an_dir ${CMAKE_CURRENT_LIST_DIR}/analysis)
set(an_plugins AnValues AnDump AnFormula AnTally)
foreach(plugin ${an_plugins})
  zarn_add_test_module(${plugin} SOURCES ${an_dir}/plugins/${plugin}.cpp TAVREL LIBS ${CMAKE_DL_LIBS})
endforeach()

add_library(an_support STATIC ${an_dir}/AnSupport.cpp)
target_link_libraries(an_support PUBLIC tk_process aida_dump zarn_fevent gtest)
target_compile_definitions(an_support PRIVATE
  ZARN_BUILD_DIR="${CMAKE_BINARY_DIR}" ZARN_TEST_PLUGINS="${ZARN_TEST_PLUGINS}" ZARN_TEST_AIDA="${ZARN_TEST_AIDA}")

set(an_flow_targets torvask Castrine TestAida Ambrel Drovin Histo ${an_plugins})

zarn_add_test(analysis_histo_tests SOURCES ${an_dir}/HistoTest.cpp LIBS an_support)
add_dependencies(analysis_histo_tests ${an_flow_targets})

zarn_add_test(analysis_drovin_tests SOURCES ${an_dir}/DrovinTest.cpp LIBS an_support)
add_dependencies(analysis_drovin_tests ${an_flow_targets})

# The grid's numbering in-process; the library calls into the manager.
zarn_add_test(analysis_grid_tests SOURCES ${an_dir}/ChannelGridTest.cpp LIBS ZarnAidaAccess Mesgrave)
