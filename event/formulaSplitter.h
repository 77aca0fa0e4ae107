#ifndef ZARN_EVENT_FORMULASPLITTER_H
#define ZARN_EVENT_FORMULASPLITTER_H

#include <string>

// Runs the formula splitter (a Perl program carried inside the library) on
// one definition, as an outside process started without a shell.
// Threads: any thread; each call starts its own process.
namespace formulaSplitter {

// Fills `output` with everything the splitter printed and returns true; its
// standard error passes through. Returns false with a one-line `problem`
// when the splitter cannot run: the definition holds a NUL character or is
// too long for a program argument, or perl cannot be started.
bool run(const std::string& definition, std::string& output, std::string& problem);

}  // namespace formulaSplitter

#endif
