# Writes the text of INPUT as the C++ character array NAME into OUTPUT.
#   cmake -DINPUT=file -DOUTPUT=file.cpp -DNAME=symbol -P embedText.cmake
file(READ ${INPUT} content)
file(WRITE ${OUTPUT}
  "// Generated from ${INPUT}; edit that file instead.\n"
  "extern const char ${NAME}[];\n"
  "const char ${NAME}[] = R\"embedded(${content})embedded\";\n")
