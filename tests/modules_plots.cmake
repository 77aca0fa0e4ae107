# Plot modules: Sarnith, Welkard and Graph run through torvask on flow files
# with the Pl* and An* test plug-ins and the test AIDA system; the pulse
# figures and info labels in-process.
set(pl_dir ${CMAKE_CURRENT_LIST_DIR}/modules_plots)
set(pl_plugins PlDrive PlWindows PlReset)
foreach(plugin ${pl_plugins})
  zarn_add_test_module(${plugin} SOURCES ${pl_dir}/plugins/${plugin}.cpp)
endforeach()

set(pl_flow_targets torvask Castrine TestAida Ambrel Sarnith Welkard Graph AnValues AnDump AnFormula ${pl_plugins})

zarn_add_test(modules_plots_pulse_tests SOURCES ${pl_dir}/SarnithTest.cpp ${pl_dir}/WelkardTest.cpp
              ${pl_dir}/PlotSupport.cpp LIBS an_support)
target_include_directories(modules_plots_pulse_tests PRIVATE ${pl_dir} ${CMAKE_CURRENT_LIST_DIR}/analysis)
add_dependencies(modules_plots_pulse_tests ${pl_flow_targets})

zarn_add_test(modules_plots_graph_tests SOURCES ${pl_dir}/GraphTest.cpp ${pl_dir}/PlotSupport.cpp LIBS an_support)
target_include_directories(modules_plots_graph_tests PRIVATE ${pl_dir} ${CMAKE_CURRENT_LIST_DIR}/analysis)
add_dependencies(modules_plots_graph_tests ${pl_flow_targets})

# The figure arithmetic and the info labels; the library calls into the manager.
zarn_add_test(modules_plots_figures_tests SOURCES ${pl_dir}/PulseFiguresTest.cpp LIBS ZarnPulseFigures Mesgrave)
