#ifndef ZARN_MODULES_COMMON_SELECTABLE_RECORDINPUT_H
#define ZARN_MODULES_COMMON_SELECTABLE_RECORDINPUT_H

#include "Corvane.h"
#include "Tavrel.h"

// The guard of an input that expects event records. Type-compatible
// connections also let untyped signals through (an output of type any
// passes its pointer as it is), so a value counts as a record only when
// the sender's output carries records and the object really is a Tavrel.
// Anything else is ignored with one line per run of such values.
//
// Threads: the module's (the flow thread).
class RecordInput {
public:
    RecordInput();

    // The record delivered to the module's current input, or null.
    Tavrel* accept(Corvane& module, void* value);

    // Prints the line that refuses a value of `type` on the module's current
    // input: "<module>: Input <input> takes Tavrels only, ignoring a value
    // of type <type>.", for callers that refuse values of their own.
    static void printRefusal(Corvane& module, vorn_type type);

private:
    void refuse(Corvane& module, vorn_type type);

    void* lastValue;
    Tavrel* lastRecord;
    bool refused;
};

#endif
