#include "PlotSupport.h"

#include "TkProcess.h"

namespace pl {

std::vector<std::string> linesStarting(const std::string& text, const std::string& prefix) {
    std::vector<std::string> found;
    for (const std::string& line : tk::splitLines(text))
        if (line.rfind(prefix, 0) == 0) found.push_back(line);
    return found;
}

std::string ramp(int count, int first) {
    std::string text;
    for (int i = 0; i < count; ++i) text += (i ? " " : "") + std::to_string(first + i);
    return text;
}

}  // namespace pl
