// libFuzzer target for flow description files: each input is read twice by
// a manager of its own (the second read renames every instance), over the
// real plug-ins found in the directory <program>.plugins. The flow is
// stepped a few times when it holds no loop, written back and read by a
// second manager; instances are removed in an order the input chooses and
// the managers delete the rest. Built and run by run_fuzz.sh, not by ctest.

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_set>

#include "Corvane.h"
#include "FuzzPlugins.h"
#include "Mesgrave.h"

namespace {

const int kSteps = 3;

// True when some output of `from` reaches `from` again.
bool reachesItself(Corvane* from, Corvane* module, std::unordered_set<Corvane*>& visited) {
    for (Corvane::Output& output : *module->GetOutputs()) {
        for (Corvane* receiver : output.receivers) {
            if (receiver == from) return true;
            if (visited.insert(receiver).second && reachesItself(from, receiver, visited)) return true;
        }
    }
    return false;
}

// Deliveries around a loop nest until the stack check drops them; with
// fan-out inside the loop that takes time exponential in the depth, so a
// flow with a loop is read and torn down but not stepped (the nesting
// tests run loops).
bool hasLoop(Mesgrave& manager) {
    for (Corvane* instance : manager.instances) {
        std::unordered_set<Corvane*> visited;
        if (reachesItself(instance, instance, visited)) return true;
    }
    return false;
}

// What a Stepper driver's run does, without its pauses and its end
// condition: an empty signal from every Stepper, a few times.
void step(Mesgrave& manager) {
    if (hasLoop(manager)) return;
    for (int k = 0; k < kSteps; ++k)
        for (size_t i = 0; i < manager.instances.size(); ++i)
            if (manager.instances[i]->GetHandle()->name == "Stepper") manager.instances[i]->SendOutput(0, nullptr);
    manager.broadcastReset();
}

// Removes about half of the instances, each at an index taken from the
// input's bytes, so deletion meets connections in every order.
void removeSome(Mesgrave& manager, const uint8_t* data, size_t size) {
    size_t removals = manager.instances.size() / 2;
    for (size_t k = 0; k < removals && k < size; ++k)
        manager.removeObject(static_cast<int>(data[size - 1 - k] % manager.instances.size()));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    setUpFuzzPlugins(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::string written;
    {
        Mesgrave manager("");
        manager.configureFromString(text);
        manager.configureFromString(text);
        step(manager);
        written = manager.stringRepresentation();
        removeSome(manager, data, size);
    }
    Mesgrave reread("");
    reread.configureFromString(written);
    step(reread);
    return 0;
}
