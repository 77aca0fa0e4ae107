# Shared libraries of the system: RUNPATH $ORIGIN, output in build/lib.
function(zarn_library target)
  set_target_properties(${target} PROPERTIES INSTALL_RPATH "$ORIGIN")
endfunction()

# A program: RUNPATH $ORIGIN/../lib so it finds the libraries of the build.
function(zarn_program target)
  set_target_properties(${target} PROPERTIES INSTALL_RPATH "$ORIGIN/../lib")
endfunction()

# A module plug-in <Name>.zlk. Links Corvane.zlk, and Tavrel.so with TAVREL.
#   zarn_add_module(Name SOURCES a.cpp [TAVREL] [LIBS lib...] [OUTPUT_DIR dir])
function(zarn_add_module name)
  cmake_parse_arguments(ARG "TAVREL" "OUTPUT_DIR" "SOURCES;LIBS" ${ARGN})
  add_library(${name} MODULE ${ARG_SOURCES})
  set_target_properties(${name} PROPERTIES PREFIX "" SUFFIX ".zlk" INSTALL_RPATH "$ORIGIN")
  if(ARG_OUTPUT_DIR)
    set_target_properties(${name} PROPERTIES LIBRARY_OUTPUT_DIRECTORY ${ARG_OUTPUT_DIR}
                                             INSTALL_RPATH "$ORIGIN;${CMAKE_BINARY_DIR}/lib")
  endif()
  target_link_libraries(${name} PRIVATE Corvane ${ARG_LIBS})
  if(ARG_TAVREL)
    target_link_libraries(${name} PRIVATE Tavrel)
  endif()
endfunction()
