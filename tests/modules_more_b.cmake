# The group histogram modules Kestaly, Ellomir and Dunmora: torvask runs
# flow files in scratch folders with the test AIDA system (and again with
# the built-in one and with none) and the Mb* test plug-ins (a driver of
# scripted event records, a helper on the shared tree); Kestaly's dynamic
# inputs are also looked at in-process through the real manager.
set(mb_dir ${CMAKE_CURRENT_LIST_DIR}/modules_more_b)
zarn_add_test_module(MbRecords SOURCES ${mb_dir}/plugins/MbRecords.cpp TAVREL)
zarn_add_test_module(MbTree SOURCES ${mb_dir}/plugins/MbTree.cpp LIBS AidaInterfaces)
set(mb_plugins MbRecords MbTree)
set(mb_modules Kestaly Ellomir Dunmora)

zarn_add_test(modules_more_b_tests
  SOURCES ${mb_dir}/KestalyTest.cpp ${mb_dir}/EllomirTest.cpp ${mb_dir}/DunmoraTest.cpp
  LIBS an_support)
target_include_directories(modules_more_b_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/analysis)
add_dependencies(modules_more_b_tests torvask Castrine TestAida Histo AnDump AnValues
                 ${mb_modules} ${mb_plugins})

zarn_add_test(modules_more_b_inputs_tests SOURCES ${mb_dir}/KestalyInputsTest.cpp
  LIBS Mesgrave Tavrel AidaInterfaces)
target_compile_definitions(modules_more_b_inputs_tests PRIVATE ZARN_TEST_AIDA="${ZARN_TEST_AIDA}")
if(ZARN_SANITIZE)
  # The AIDA objects' type information lives in a library loaded at run time.
  target_compile_options(modules_more_b_inputs_tests PRIVATE -fno-sanitize=vptr)
endif()
add_dependencies(modules_more_b_inputs_tests Kestaly TestAida)
