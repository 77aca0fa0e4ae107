# Pashtin (command pipe with a reader thread) and Quillet (TCP text server
# with a server thread): torvask runs flows fed line by line through the
# ThFeed test driver, and the plug-ins are loaded in-process where threads,
# child processes and descriptors are checked.
set(th_dir ${CMAKE_CURRENT_LIST_DIR}/modules_threads)
zarn_add_test_module(ThFeed SOURCES ${th_dir}/plugins/ThFeed.cpp)

# The flow-text helpers of the first module tests are shared, not copied.
zarn_add_test(modules_threads_tests
  SOURCES ${th_dir}/ThSupport.cpp ${th_dir}/PashtinTest.cpp ${th_dir}/QuilletTest.cpp ${th_dir}/TeardownTest.cpp
          ${th_dir}/PashtinWiringTest.cpp
  LIBS Corvane fm_flow_run test_support)
target_include_directories(modules_threads_tests PRIVATE ${th_dir})
if(ZARN_SANITIZE)
  # The modules' type information lives in their plug-ins, loaded at run time.
  target_compile_options(modules_threads_tests PRIVATE -fno-sanitize=vptr)
endif()
add_dependencies(modules_threads_tests torvask Pashtin Quillet Pennoch ThFeed Stepper Counter Display Castrine
                 Vossik Felmira Drovin Nandrel)
