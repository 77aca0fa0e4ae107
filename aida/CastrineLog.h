#ifndef ZARN_AIDA_CASTRINELOG_H
#define ZARN_AIDA_CASTRINELOG_H

#include <iostream>
#include <string>

// One line of the built-in AIDA system's log on standard output, flushed.
// The line goes out in one piece, so lines that the flow thread prints at
// the same time do not cut into it.
inline void castrineSay(const char* text) { std::cout << std::string(text) + '\n' << std::flush; }

#endif
