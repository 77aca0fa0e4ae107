#ifndef ZARN_TESTS_SHELL_TKSAY_H
#define ZARN_TESTS_SHELL_TKSAY_H

#include <iostream>
#include <string>

#include "Corvane.h"

// One line on standard output in a single write, so that lines of the flow
// thread and of the main thread never cut into each other.
inline void tkSay(const std::string& line) { std::cout << line + '\n' << std::flush; }

#endif
