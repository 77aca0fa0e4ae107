#ifndef ZARN_TESTS_MODULES_PLOTS_PLOTSUPPORT_H
#define ZARN_TESTS_MODULES_PLOTS_PLOTSUPPORT_H

#include <string>
#include <vector>

// Text helpers of the plot module tests; their dumps are read with
// aidadump::parse.
namespace pl {

// The lines of `text` that begin with `prefix`.
std::vector<std::string> linesStarting(const std::string& text, const std::string& prefix);

// `count` numbers "first first+1 ..." separated by blanks.
std::string ramp(int count, int first = 0);

}  // namespace pl

#endif
