# torvask: run as a process on flow files in scratch directories, with the
# Tk* test plug-ins found through ZARN_INSTALL.
set(tk_dir ${CMAKE_CURRENT_LIST_DIR}/shell)
set(tk_plugins TkCount TkLoop TkShow)
foreach(plugin ${tk_plugins})
  zarn_add_test_module(${plugin} SOURCES ${tk_dir}/plugins/${plugin}.cpp)
  target_include_directories(${plugin} PRIVATE ${tk_dir}/plugins)
endforeach()

# Scratch directories and child processes with timeouts; the AIDA tests use
# it too.
add_library(tk_process STATIC ${tk_dir}/TkProcess.cpp)
target_compile_definitions(tk_process PUBLIC _GLIBCXX_USE_CXX11_ABI=0 PRIVATE ZARN_BUILD_DIR="${CMAKE_BINARY_DIR}")
target_include_directories(tk_process PUBLIC ${tk_dir})

zarn_add_test(shell_tests SOURCES ${tk_dir}/TorvaskTest.cpp LIBS tk_process)
add_dependencies(shell_tests torvask Castrine ${tk_plugins})

# Signals to a running torvask, with real plug-ins, Pashtin's child and
# Notify's command.
zarn_add_test(shell_signal_tests SOURCES ${tk_dir}/SignalTest.cpp LIBS tk_process)
add_dependencies(shell_signal_tests torvask Castrine Stepper Counter Felmira Lorvick Pashtin Ambrel Display Notify)
