# Event records, formula definitions and formula evaluation (Tavrel.so).
zarn_add_test(event_test
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/event/printers_test.cpp
          ${CMAKE_CURRENT_SOURCE_DIR}/event/record_test.cpp
          ${CMAKE_CURRENT_SOURCE_DIR}/event/definitions_test.cpp
          ${CMAKE_CURRENT_SOURCE_DIR}/event/evaluation_test.cpp
  LIBS Tavrel TextNumbers test_support tk_process)
