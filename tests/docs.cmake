# The user's guide against the system: the port tables of docs/modules.md
# against the plug-ins, and every example flow of flows/ run by torvask.
set(docs_dir ${CMAKE_CURRENT_LIST_DIR}/docs)
zarn_add_test(docs_tests SOURCES ${docs_dir}/ModuleTablesTest.cpp ${docs_dir}/FlowExamplesTest.cpp
              LIBS Mesgrave Corvane fm_flow_run)
target_compile_definitions(docs_tests PRIVATE ZARN_TEST_AIDA="${ZARN_TEST_AIDA}")
if(ZARN_SANITIZE)
  # The modules' type information lives in their plug-ins, loaded at run time.
  target_compile_options(docs_tests PRIVATE -fno-sanitize=vptr)
endif()
add_dependencies(docs_tests torvask Castrine TestAida
  Stepper Gaussian Counter Multiplier Multiplex Vectorize
  Display Pennoch Caldris Notify Pashtin Quillet
  Lorvick Ambrel Brisvald Drovin Nandrel Vossik Felmira Gralmet
  Histo Yurlen Kestaly Ellomir Dunmora Sarnith Welkard Graph Zinnet
  Quenby Orrimac Wexlo Ostrevin Ferrund)
