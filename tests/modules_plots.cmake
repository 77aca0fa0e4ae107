# Plot modules: Sarnith, Welkard and Graph run through torvask on flow files
# with the Pl* and An* test plug-ins and the test AIDA system; the pulse
# figures and info labels in-process.
set(pl_dir ${CMAKE_CURRENT_LIST_DIR}/modules_plots)
set(pl_plugins PlDrive PlWindows PlReset)
foreach(plugin ${pl_plugins})
  zarn_add_test_module(${plugin} SOURCES ${pl_dir}/plugins/${plugin}.cpp)
endforeach()

set(pl_flow_targets torvask Castrine TestAida Ambrel Sarnith Welkard Graph AnValues AnDump AnFormula ${pl_plugins})

add_library(pl_support STATIC ${pl_dir}/PlotSupport.cpp)
target_link_libraries(pl_support PUBLIC tk_process)
target_include_directories(pl_support PUBLIC ${pl_dir})

zarn_add_test(modules_plots_pulse_tests SOURCES ${pl_dir}/SarnithTest.cpp ${pl_dir}/WelkardTest.cpp
              LIBS an_support pl_support)
target_include_directories(modules_plots_pulse_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/analysis)
add_dependencies(modules_plots_pulse_tests ${pl_flow_targets})

zarn_add_test(modules_plots_graph_tests SOURCES ${pl_dir}/GraphTest.cpp LIBS an_support pl_support)
target_include_directories(modules_plots_graph_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/analysis)
add_dependencies(modules_plots_graph_tests ${pl_flow_targets})

# The figure arithmetic and the info labels; the library calls into the manager.
zarn_add_test(modules_plots_figures_tests SOURCES ${pl_dir}/PulseFiguresTest.cpp LIBS ZarnPulseFigures Mesgrave)
