# Event files: the .fevent codec in-process, and Lorvick and Ambrel run by
# torvask on flow files in scratch directories with the Ef* test plug-ins.
set(ef_dir ${CMAKE_CURRENT_LIST_DIR}/eventfiles)
set(ef_plugins EfDriver EfSink EfControl)
foreach(plugin ${ef_plugins})
  zarn_add_test_module(${plugin} SOURCES ${ef_dir}/plugins/${plugin}.cpp TAVREL)
endforeach()

zarn_add_test(eventfiles_codec_tests SOURCES ${ef_dir}/CodecTest.cpp LIBS zarn_fevent tk_process)

zarn_add_test(eventfiles_flow_tests
  SOURCES ${ef_dir}/EfSupport.cpp ${ef_dir}/RoundTripTest.cpp ${ef_dir}/ReplayTest.cpp ${ef_dir}/BadFileTest.cpp
  LIBS tk_process)
add_dependencies(eventfiles_flow_tests torvask Lorvick Ambrel ${ef_plugins})
