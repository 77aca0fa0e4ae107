#ifndef ZARN_TESTS_CORE_COREPROBE_H
#define ZARN_TESTS_CORE_COREPROBE_H

#include <string>
#include <vector>

#include "Corvane.h"

// A test module with one input of every port type and one output whose
// type a test sets. Every delivery appends "<instance>.<input>=<value>" to
// the log the test hands it; the input "relay" sends what it gets on.
class CoreProbe : public Corvane {
public:
    explicit CoreProbe(std::string& name);
    ~CoreProbe();

    void record(void* value);
    void relay(void* value);

    std::vector<std::string>* log;
    void* lastPointer;
};

#endif
