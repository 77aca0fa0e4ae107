# Tuple and pulse modules: Quenby with the test AIDA system's tuples, Orrimac
# and Wexlo, run through torvask on flow files with the Pu* test plug-ins
# (and the An* ones of the analysis tests); and the test AIDA system's
# tuples in-process.
set(pu_dir ${CMAKE_CURRENT_LIST_DIR}/modules_pulses)
set(pu_plugins PuPulses PuReset PuShow)
foreach(plugin ${pu_plugins})
  zarn_add_test_module(${plugin} SOURCES ${pu_dir}/plugins/${plugin}.cpp TAVREL)
endforeach()

set(pu_flow_targets torvask Castrine TestAida Ambrel Quenby Orrimac Wexlo AnValues AnDump AnFormula
    ${pu_plugins})

zarn_add_test(modules_pulses_quenby_tests SOURCES ${pu_dir}/QuenbyTest.cpp LIBS an_support)
target_include_directories(modules_pulses_quenby_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/analysis)
add_dependencies(modules_pulses_quenby_tests ${pu_flow_targets})

zarn_add_test(modules_pulses_orrimac_tests SOURCES ${pu_dir}/OrrimacTest.cpp LIBS an_support)
target_include_directories(modules_pulses_orrimac_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/analysis)
add_dependencies(modules_pulses_orrimac_tests ${pu_flow_targets})

zarn_add_test(modules_pulses_wexlo_tests SOURCES ${pu_dir}/WexloTest.cpp LIBS an_support)
target_include_directories(modules_pulses_wexlo_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/analysis)
add_dependencies(modules_pulses_wexlo_tests ${pu_flow_targets})

zarn_add_test(modules_pulses_tuple_tests SOURCES ${pu_dir}/TestAidaTupleTest.cpp
              LIBS test_aida_fixture)
target_compile_definitions(modules_pulses_tuple_tests PRIVATE ZARN_TEST_AIDA="${ZARN_TEST_AIDA}")
add_dependencies(modules_pulses_tuple_tests TestAida)
