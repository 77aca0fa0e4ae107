# The XML modules Ostrevin and Ferrund, run by torvask on flow files in
# scratch directories, fed with file contents by the XmFeed test plug-in;
# and both plug-ins loaded side by side in one process.
set(xm_dir ${CMAKE_CURRENT_LIST_DIR}/modules_xml)
# The memory test starves libxml2 through its allocator hooks.
find_package(LibXml2 REQUIRED)
zarn_add_test_module(XmFeed SOURCES ${xm_dir}/plugins/XmFeed.cpp)

zarn_add_test(modules_xml_tests
  SOURCES ${xm_dir}/XmSupport.cpp ${xm_dir}/OstrevinTest.cpp ${xm_dir}/FerrundTest.cpp
          ${xm_dir}/XmlLibraryTest.cpp ${xm_dir}/XmlEntitiesTest.cpp
  LIBS Corvane tk_process LibXml2::LibXml2)
target_include_directories(modules_xml_tests PRIVATE ${xm_dir})
if(ZARN_SANITIZE)
  # The modules' type information lives in their plug-ins, which a test loads at run time.
  target_compile_options(modules_xml_tests PRIVATE -fno-sanitize=vptr)
endif()
add_dependencies(modules_xml_tests torvask Stepper Display Ostrevin Ferrund XmFeed)
