# The transform modules Felmira, Gralmet, Nandrel and Vossik: torvask runs
# flow files in scratch directories with the Tr* test plug-ins (a scripted
# driver of records and texts, and a sink that prints what it gets); the
# lifetime tests build flows with the manager in-process.
set(tr_dir ${CMAKE_CURRENT_LIST_DIR}/modules_transform)
set(tr_plugins TrScript TrSink)
foreach(plugin ${tr_plugins})
  zarn_add_test_module(${plugin} SOURCES ${tr_dir}/plugins/${plugin}.cpp TAVREL)
endforeach()
set(tr_modules Felmira Gralmet Nandrel Vossik)

zarn_add_test(modules_transform_tests
  SOURCES ${tr_dir}/TrFlow.cpp ${tr_dir}/FelmiraTest.cpp ${tr_dir}/GralmetTest.cpp ${tr_dir}/NandrelTest.cpp
          ${tr_dir}/VossikTest.cpp
  LIBS tk_process)
target_include_directories(modules_transform_tests PRIVATE ${tr_dir})
add_dependencies(modules_transform_tests torvask ${tr_modules} ${tr_plugins})

zarn_add_test(modules_transform_lifetime_tests SOURCES ${tr_dir}/LifetimeTest.cpp LIBS Mesgrave Tavrel tk_process)
if(ZARN_SANITIZE)
  # The records' type information lives in plug-ins loaded at run time.
  target_compile_options(modules_transform_lifetime_tests PRIVATE -fno-sanitize=vptr)
endif()
add_dependencies(modules_transform_lifetime_tests ${tr_modules} ${tr_plugins})
