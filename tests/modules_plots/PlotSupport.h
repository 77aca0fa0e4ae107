#ifndef ZARN_TESTS_MODULES_PLOTS_PLOTSUPPORT_H
#define ZARN_TESTS_MODULES_PLOTS_PLOTSUPPORT_H

#include <string>
#include <vector>

#include "TkProcess.h"

// What the plot module tests read from torvask runs and from the test AIDA
// system's dumps.
namespace pl {

// The run ended normally, in time and without a sanitizer report.
void expectRan(const tk::ChildResult& result);

// The lines of the object at `path` in a dump: its header line and its
// indented lines (annotation, bins, points), each ended by '\n'; "" when
// the dump holds no such object.
std::string objectBlock(const std::string& dump, const std::string& path);

// The value of the annotation item `key` in an object's lines, or
// "(none)" when it has no such item.
std::string annotationOf(const std::string& block, const std::string& key);

// The paths of the objects of a dump below `folder`, in dump order.
std::vector<std::string> objectsBelow(const std::string& dump, const std::string& folder);

// The plot log of a dump, without the "log " in front.
std::vector<std::string> plotLog(const std::string& dump);

// The lines of `text` that begin with `prefix`.
std::vector<std::string> linesStarting(const std::string& text, const std::string& prefix);

// `count` numbers "first first+1 ..." separated by blanks.
std::string ramp(int count, int first = 0);

}  // namespace pl

#endif
