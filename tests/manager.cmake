# Flow manager: test plug-ins, the in-process tests and the catalogue tests,
# whose scenarios each run a driver program in a fresh process.
set(mg_dir ${CMAKE_CURRENT_LIST_DIR}/manager)
set(mg_plugins MgProbe MgEmpty MgList MgNoDel)
foreach(plugin ${mg_plugins})
  zarn_add_test_module(${plugin} SOURCES ${mg_dir}/plugins/${plugin}.cpp)
  target_include_directories(${plugin} PRIVATE ${mg_dir}/plugins)
endforeach()

add_library(mg_test_support STATIC ${mg_dir}/MgTestSupport.cpp)
target_link_libraries(mg_test_support PUBLIC Corvane tk_process test_support)

zarn_add_test(manager_tests
  SOURCES ${mg_dir}/MgPluginEnvironment.cpp ${mg_dir}/ManagerTest.cpp ${mg_dir}/FlowFileTest.cpp
          ${mg_dir}/GeometryTest.cpp
  LIBS Mesgrave mg_test_support ${CMAKE_DL_LIBS})
add_dependencies(manager_tests ${mg_plugins})

add_executable(mg_catalogue_driver ${mg_dir}/CatalogueDriver.cpp)
target_link_libraries(mg_catalogue_driver PRIVATE Mesgrave)
set_target_properties(mg_catalogue_driver PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests
                                                     INSTALL_RPATH "${CMAKE_BINARY_DIR}/lib")

zarn_add_test(manager_catalogue_tests SOURCES ${mg_dir}/CatalogueTest.cpp LIBS mg_test_support)
target_compile_definitions(manager_catalogue_tests PRIVATE
  MG_CATALOGUE_DRIVER="$<TARGET_FILE:mg_catalogue_driver>")
add_dependencies(manager_catalogue_tests mg_catalogue_driver MgEmpty)
