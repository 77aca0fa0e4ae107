#include "Corvane.h"

#include "LinkTable.h"

#include <pthread.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iostream>

namespace {

using vorn::Link;

vorn::LinkTable& links() { return vorn::LinkTable::instance(); }

// After the connection (sender, output) to an input is gone: an input that
// named it as its sender names the most recent remaining sender, or none,
// and an input left without connections is no longer a connected input.
void forgetConnection(Corvane* receiver, unsigned int input, const Corvane* sender, unsigned int output) {
    Corvane::Input& record = receiver->inputs[input];
    if (record.sender == sender && record.senderOutput == output) {
        Link remaining{nullptr, 0, 0};
        links().lastTypedLinkTo(receiver, input, remaining);
        record.sender = remaining.sender;
        record.senderOutput = remaining.output;
    }
    if (!links().hasLinkTo(receiver, input)) receiver->connectedInputs.erase(&record);
}

bool inRange(int index, size_t size) { return index >= 0 && static_cast<size_t>(index) < size; }

// Index of the first output named `name`, or -1.
int outputNamed(const std::vector<Corvane::Output>& outputs, const std::string& name) {
    for (size_t o = 0; o < outputs.size(); ++o)
        if (outputs[o].name == name) return static_cast<int>(o);
    return -1;
}

// The empty text that a null pointer stands for on text inputs.
char emptyText[1] = {'\0'};

}  // namespace

// A null value reaches an input of type any as it is, a text input as the
// empty text, and no other input: converters never see a null pointer.
static void deliverNullTo(Corvane* receiver, Corvane::Input& input) {
    std::string emptyString;
    switch (input.type) {
        case vorn_any: (receiver->*input.callback)(nullptr); break;
        case vorn_cstring: (receiver->*input.callback)(emptyText); break;
        case vorn_string: (receiver->*input.callback)(&emptyString); break;
        default: break;
    }
}

Corvane::Input::Input(const std::string& name, void (Corvane::*callback)(void*), vorn_type type,
                      const std::string& description)
    : name(name),
      callback(callback),
      converter(callback),
      type(type),
      description(description),
      sender(nullptr),
      converterObject(nullptr),
      senderOutput(0) {}

Corvane::Input::~Input() {}

std::string Corvane::Input::GetInputString() {
    if (sender == nullptr) return value;
    std::vector<Corvane::Output>& senderOutputs = *sender->GetOutputs();
    std::string outputName = senderOutput < senderOutputs.size() ? senderOutputs[senderOutput].name : "";
    return sender->GetName() + " " + outputName;
}

Corvane::Output::Output(const std::string& name, vorn_type type, const std::string& description)
    : name(name), type(type), description(description) {}

Corvane::Output::Output() : type(vorn_none) {}

Corvane::Corvane(pluginHandle* handle, const std::string& name)
    : converterCallback(nullptr),
      converterTarget(nullptr),
      connectionChanged(true),
      running(false),
      posX(100),
      posY(100),
      sizeX(125),
      sizeY(100),
      collapsed(false),
      name(name),
      handle(handle),
      manager(nullptr),
      currentInput(0),
      replacingInputs(false) {}

Corvane::~Corvane() {
    // Receivers of this module's outputs forget it as their sender.
    for (unsigned int o = 0; o < outputs.size(); ++o) {
        Output& output = outputs[o];
        for (size_t k = 0; k < output.receivers.size(); ++k) {
            Corvane* receiver = output.receivers[k];
            unsigned int input = output.receiverInputs[k];
            links().remove(receiver, this, o, input);
            if (receiver == this || input >= receiver->inputs.size()) continue;
            forgetConnection(receiver, input, this, o);
        }
    }
    // Every sender that still delivers to this module drops those connections,
    // through its own RemoveReceiver so that a sender guarding its lists
    // against its own thread (a reader thread) can do so.
    for (const Link& link : links().linksTo(this)) {
        if (link.sender == this || link.output >= link.sender->outputs.size()) continue;
        link.sender->RemoveReceiver(static_cast<int>(link.output), this, static_cast<int>(link.input));
        Output& output = link.sender->outputs[link.output];
        for (size_t k = 0; k < output.receivers.size(); ++k) {
            if (output.receivers[k] == this && output.receiverInputs[k] == link.input) {
                link.sender->detachReceiver(link.output, static_cast<unsigned int>(k));
                break;
            }
        }
    }
    links().forget(this);
}

void Corvane::detachReceiver(unsigned int output, unsigned int k) {
    Output& record = outputs[output];
    record.receivers.erase(record.receivers.begin() + k);
    record.receiverInputs.erase(record.receiverInputs.begin() + k);
    record.targets.erase(record.targets.begin() + k);
    record.methods.erase(record.methods.begin() + k);
    if (record.receivers.empty()) connectedOutputs.erase(&record);
}

void Corvane::Init() {}
void Corvane::Reset() {}

void Corvane::AddReceiver(const std::string& output, Corvane* receiver, const std::string& input) {
    int index = outputNamed(outputs, output);
    if (receiver != nullptr && index >= 0) AddReceiver(index, receiver, receiver->GetNumberForInput(input));
}

void Corvane::AddReceiver(int output, Corvane* receiver, int input) {
    if (receiver == nullptr || !inRange(output, outputs.size())) return;
    std::vector<Input>& receiverInputs = *receiver->GetInputs();
    if (!inRange(input, receiverInputs.size())) return;
    Output& record = outputs[output];
    Input& target = receiverInputs[input];
    bool present = false;
    for (size_t k = 0; k < record.receivers.size(); ++k)
        if (record.receivers[k] == receiver && record.receiverInputs[k] == static_cast<unsigned int>(input))
            present = true;
    if (!present) {
        record.receivers.push_back(receiver);
        record.receiverInputs.push_back(static_cast<unsigned int>(input));
        if (record.type != vorn_none && target.callback != nullptr) {
            record.targets.push_back(FindReceiver(receiver, record.type, target));
            record.methods.push_back(target.converter);
            receiver->connectionChanged = true;
            target.sender = this;
            target.senderOutput = static_cast<unsigned int>(output);
        } else {
            record.targets.push_back(nullptr);
            record.methods.push_back(nullptr);
        }
        links().add(receiver, Link{this, static_cast<unsigned int>(output), static_cast<unsigned int>(input)});
    }
    connectedOutputs.insert(&record);
    receiver->connectedInputs.insert(&target);
}

void Corvane::RemoveReceiver(const std::string& output, Corvane* receiver, const std::string& input) {
    int index = outputNamed(outputs, output);
    if (receiver != nullptr && index >= 0) RemoveReceiver(index, receiver, receiver->GetNumberForInput(input));
}

void Corvane::RemoveReceiver(int output, Corvane* receiver, int input) {
    if (receiver == nullptr || !inRange(output, outputs.size())) return;
    std::vector<Input>& receiverInputs = *receiver->GetInputs();
    if (!inRange(input, receiverInputs.size())) return;
    Output& record = outputs[output];
    for (size_t k = 0; k < record.receivers.size(); ++k) {
        if (record.receivers[k] == receiver && record.receiverInputs[k] == static_cast<unsigned int>(input)) {
            detachReceiver(static_cast<unsigned int>(output), static_cast<unsigned int>(k));
            links().remove(receiver, this, static_cast<unsigned int>(output), static_cast<unsigned int>(input));
            break;
        }
    }
    forgetConnection(receiver, static_cast<unsigned int>(input), this, static_cast<unsigned int>(output));
    if (record.receivers.empty()) connectedOutputs.erase(&record);
}

void Corvane::RefreshReceivers(int output) {
    if (!inRange(output, outputs.size())) return;
    Output& record = outputs[output];
    for (size_t k = 0; k < record.receivers.size(); ++k) {
        std::vector<Input>& receiverInputs = *record.receivers[k]->GetInputs();
        if (record.receiverInputs[k] >= receiverInputs.size()) continue;
        Input& target = receiverInputs[record.receiverInputs[k]];
        if (record.type == vorn_none || target.callback == nullptr) {
            record.targets[k] = nullptr;
            record.methods[k] = nullptr;
            continue;
        }
        record.targets[k] = FindReceiver(record.receivers[k], record.type, target);
        record.methods[k] = target.converter;
    }
}

void Corvane::SetSender(const std::string& input, Corvane* sender, const std::string& output) {
    if (sender == nullptr) return;
    int inputIndex = GetNumberForInput(input);
    int outputIndex = outputNamed(*sender->GetOutputs(), output);
    if (inputIndex >= 0 && outputIndex >= 0) SetSender(inputIndex, sender, outputIndex);
}

void Corvane::SetSender(int input, Corvane* sender, int output) {
    if (sender == nullptr || !inRange(input, inputs.size())) return;
    if (!inRange(output, sender->GetOutputs()->size())) return;
    Input& record = inputs[input];
    if (record.sender != nullptr) record.sender->RemoveReceiver(static_cast<int>(record.senderOutput), this, input);
    sender->AddReceiver(output, this, input);
}

void Corvane::SetInput(const std::string& input, void* value) { SetInput(GetNumberForInput(input), value); }

void Corvane::SetInput(int input, void* value) {
    if (!inRange(input, inputs.size())) return;
    Input& record = inputs[input];
    if (record.callback == nullptr) return;
    currentInput = input;
    if (value == nullptr) {
        deliverNullTo(this, record);
        return;
    }
    Corvane* target = FindReceiver(this, vorn_cstring, record);
    if (target == nullptr) return;
    (target->*record.converter)(value);
}

// Out of line, so that sending by index needs no stack frame of its own.
static __attribute__((noinline, cold)) void reportUnknownOutput(unsigned int output) {
    std::cerr << "Function " << output << " not defined" << std::endl;
}

// Both SendOutput functions start on a cache line of their own, so that
// their speed does not hang on where the linker happens to place them
// (up to a tenth of a delivery's time at 4 receivers).
__attribute__((aligned(64))) void Corvane::SendOutput(unsigned int output, void* value) {
    if (__builtin_expect(output >= outputs.size(), 0)) {
        reportUnknownOutput(output);
        return;
    }
    SendOutput(outputs[output], value);
}

namespace {

// Deliveries nest on the sending thread: a loop in a flow would nest until
// the stack ends. A delivery that finds less than a reserve of stack left
// drops its value instead. The stack counted is what lies below the
// thread's first delivery, at most a fixed budget: an unlimited stack is
// reported as terabytes, which the loop would fill before any check fired.
// The reserve (a quarter of that, at most 1 MiB) leaves room for the
// handler that runs below the check and for the report; everything above it
// is free for long chains.
//
// Once a value is dropped, the rest of its cascade is dropped too: every
// delivery until the next outermost one, so a loop that fans out ends after
// one pass down instead of serving each level's other paths. Handlers still
// return normally; only their sends do nothing.
//
// A drop prints one line per run of drops; a run ends with an outermost
// delivery that drops nothing, seen when the next one starts. A delivery
// is surely outermost when it starts at or above the highest stack address
// any delivery on the thread started at, as every delivery it could be
// nested in started higher. So the usual delivery only checks that its
// stack address lies in [lowest, lowest + span); the edges, and every
// delivery while a cascade is being dropped, take the slow path.
//
// Per thread, outside the module records.
struct Nesting {
    uintptr_t lowest;   // 0 until the thread's first delivery looks its stack up
    uintptr_t span;     // set by updateSpan
    uintptr_t highest;  // the highest stack address a delivery started at
    unsigned long drops;
    unsigned long dropsAtOutermost;  // when the last outermost delivery started; all ones after a report
    bool reported;                   // the current run of drops has its line
    bool dropping;                   // a value was dropped; its cascade has not returned yet
};

__attribute__((tls_model("initial-exec"))) thread_local Nesting nesting = {0, 0, 0, 0, 0, false, false};

const size_t kStackBudget = size_t(8) << 20;
const size_t kMaxStackReserve = size_t(1) << 20;

// The lowest address at which this thread may still start a delivery, for
// its first delivery at `here`.
uintptr_t lowestDeliveryAddress(uintptr_t here) {
    size_t size = 0;
    void* base = nullptr;
    pthread_attr_t attributes;
    if (pthread_getattr_np(pthread_self(), &attributes) == 0) {
        pthread_attr_getstack(&attributes, &base, &size);
        pthread_attr_destroy(&attributes);
    }
    // Without a known stack, assume the smallest usual one above this frame.
    uintptr_t bottom = reinterpret_cast<uintptr_t>(base);
    if (base == nullptr || here < bottom) return here - (size_t(128) << 10);
    uintptr_t floor = here - bottom > kStackBudget ? here - kStackBudget : bottom;
    return floor + std::min((here - floor) / 4, kMaxStackReserve);
}

// Deliveries starting below `highest` go straight through; at `highest`
// too unless a run of drops waits for an outermost delivery to end it.
// None does while a cascade is dropped.
void updateSpan() {
    if (nesting.dropping || nesting.highest < nesting.lowest) {
        nesting.span = 0;
        return;
    }
    nesting.span = nesting.highest - nesting.lowest + (nesting.reported ? 0 : 1);
}

void dropNested(const std::string& sender) {
    ++nesting.drops;
    if (nesting.dropping && nesting.reported) return;
    nesting.dropping = true;
    if (!nesting.reported) {
        nesting.reported = true;
        nesting.dropsAtOutermost = ~0ul;
        std::cerr << sender + ": values nested too deep (a loop in the flow?), value dropped\n" << std::flush;
    }
    updateSpan();
}

// An outermost delivery starts: the cascade before it has returned, and it
// ends the run of drops if that cascade dropped nothing.
void startOutermost(uintptr_t here) {
    if (here > nesting.highest) nesting.highest = here;
    nesting.dropping = false;
    if (nesting.reported) {
        if (nesting.drops == nesting.dropsAtOutermost)
            nesting.reported = false;
        else
            nesting.dropsAtOutermost = nesting.drops;
    }
    updateSpan();
}

// The slow start of a delivery from `sender` at stack address `here`: the
// thread's first, an outermost one, or one too deep or within a dropped
// cascade, which is dropped (false).
__attribute__((noinline)) bool startAtAnEdge(uintptr_t here, const std::string& sender) {
    if (nesting.lowest == 0) {
        nesting.lowest = lowestDeliveryAddress(here);
        nesting.highest = here;
    }
    if (here < nesting.lowest) {
        dropNested(sender);
        return false;
    }
    if (here >= nesting.highest) {
        startOutermost(here);
        return true;
    }
    if (nesting.dropping) {
        dropNested(sender);
        return false;
    }
    return true;
}

// Calls `method` on `target`. GCC lays the plain form out with a taken
// branch on the usual, non-virtual path; decoding the pointer here (Itanium
// C++ ABI on x86-64: the function's address, or 1 + its offset in the
// vtable, and the adjustment of `this`) lets that path run straight through.
inline void callHandler(Corvane* target, Corvane::Handler method, void* value) {
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
    struct Decoded {
        uintptr_t function;
        ptrdiff_t adjustment;
    };
    static_assert(sizeof(Decoded) == sizeof(Corvane::Handler), "member function pointers of the Itanium C++ ABI");
    Decoded decoded;
    std::memcpy(&decoded, &method, sizeof decoded);
    char* self = reinterpret_cast<char*>(target) + decoded.adjustment;
    uintptr_t function = decoded.function;
    if (__builtin_expect(function & 1, 0))
        std::memcpy(&function, *reinterpret_cast<char**>(self) + function - 1, sizeof function);
    reinterpret_cast<void (*)(char*, void*)>(function)(self, value);
#else
    (target->*method)(value);
#endif
}

// The lists are read again after every call: a handler may add or remove
// connections of this output while the value is delivered.
void deliverToEachReceiver(Corvane::Output& output, void* value) {
    for (size_t k = 0; k < output.receivers.size(); ++k) {
        Corvane* target = output.targets[k];
        if (target == nullptr) continue;
        output.receivers[k]->currentInput = static_cast<int>(output.receiverInputs[k]);
        callHandler(target, output.methods[k], value);
    }
}

// Where the caller's stack is, without making it keep a frame pointer (as
// __builtin_frame_address would) or a stack slot (as a local's address would).
inline uintptr_t stackAddress() {
#if defined(__x86_64__)
    uintptr_t here;
    asm("mov %%rsp, %0" : "=r"(here));
    return here;
#else
    char here;
    return reinterpret_cast<uintptr_t>(&here);
#endif
}

}  // namespace

__attribute__((aligned(64))) void Corvane::SendOutput(Corvane::Output& output, void* value) {
    const uintptr_t here = stackAddress();
    if (__builtin_expect(here - nesting.lowest >= nesting.span, 0) && !startAtAnEdge(here, name)) return;
    if (value == nullptr)
        deliverNull(output);
    else
        deliverToEachReceiver(output, value);
}

void Corvane::deliverNull(Corvane::Output& output) {
    for (size_t k = 0; k < output.receivers.size(); ++k) {
        if (output.targets[k] == nullptr) continue;
        Corvane* receiver = output.receivers[k];
        std::vector<Input>& receiverInputs = *receiver->GetInputs();
        if (output.receiverInputs[k] >= receiverInputs.size()) continue;
        receiver->currentInput = static_cast<int>(output.receiverInputs[k]);
        deliverNullTo(receiver, receiverInputs[output.receiverInputs[k]]);
    }
}

// Each line goes out in one write, so a second thread's output cannot split it.
void Corvane::Start() {
    std::cout << name + " has no function 'Run()'!\n" << std::flush;
    std::cout << "Select different plugin as \"driver\" (first plugin in mivet file).\n" << std::flush;
    running = true;
}

void Corvane::Stop() {
    std::cout << "Stop()\n" << std::flush;
    running = false;
}

void Corvane::SetName(const std::string& newName) { name = newName; }
std::string& Corvane::GetName() { return name; }
void Corvane::SetHandle(pluginHandle* newHandle) { handle = newHandle; }
pluginHandle* Corvane::GetHandle() { return handle; }
void Corvane::SetManager(Mesgrave* newManager) { manager = newManager; }
Mesgrave* Corvane::GetManager() { return manager; }

std::vector<Corvane::Output>* Corvane::GetOutputs() { return &outputs; }
std::vector<Corvane::Input>* Corvane::GetInputs() { return &inputs; }

std::vector<Corvane::Output*>* Corvane::GetOutputPointers() {
    std::vector<Output*>* pointers = new std::vector<Output*>;
    for (Output& output : outputs) pointers->push_back(&output);
    return pointers;
}

std::vector<Corvane::Input*>* Corvane::GetInputPointers() {
    std::vector<Input*>* pointers = new std::vector<Input*>;
    for (Input& input : inputs) pointers->push_back(&input);
    return pointers;
}

std::vector<Corvane::Output*>* Corvane::GetConOutputs() {
    return new std::vector<Output*>(connectedOutputs.begin(), connectedOutputs.end());
}

std::vector<Corvane::Input*>* Corvane::GetConInputs() {
    return new std::vector<Input*>(connectedInputs.begin(), connectedInputs.end());
}

int Corvane::GetNumberForInput(const std::string& inputName) {
    for (size_t i = 0; i < inputs.size(); ++i)
        if (inputs[i].name == inputName) return static_cast<int>(i);
    return -1;
}

std::string Corvane::GetInputString(int index) {
    if (!inRange(index, inputs.size())) return "";
    return inputs[index].GetInputString();
}

// Every connection to an input of `receiver` at index `from` or later now
// leads to the input `step` places on, in the senders' records and in the
// link table. Each record is re-indexed once, so an index moved onto
// another is not moved again.
static void moveInputConnections(Corvane* receiver, unsigned int from, int step) {
    std::set<Corvane::Output*> records;
    for (const Link& link : links().linksTo(receiver))
        if (link.output < link.sender->outputs.size()) records.insert(&link.sender->outputs[link.output]);
    for (Corvane::Output* record : records)
        for (size_t k = 0; k < record->receivers.size(); ++k)
            if (record->receivers[k] == receiver && record->receiverInputs[k] >= from)
                record->receiverInputs[k] = static_cast<unsigned int>(static_cast<int>(record->receiverInputs[k]) + step);
    links().moveInputs(receiver, from, step);
}

void Corvane::replaceInputs(Corvane::Input prototype, std::vector<std::string>& names, int first, int keepAtEnd) {
    const int count = static_cast<int>(inputs.size());
    if (first < 0 || keepAtEnd < 0 || first + keepAtEnd > count) return;
    const unsigned int begin = static_cast<unsigned int>(first);
    const unsigned int end = static_cast<unsigned int>(count - keepAtEnd);
    replacingInputs = true;

    // Inputs that are erased lose their senders; kept inputs keep theirs.
    for (const Link& link : links().linksTo(this))
        if (link.input >= begin && link.input < end)
            link.sender->RemoveReceiver(static_cast<int>(link.output), this, static_cast<int>(link.input));
    // Inserting and erasing move the input records: connected inputs are
    // kept by index meanwhile.
    auto connectedIndices = [this] {
        std::vector<unsigned int> indices;
        for (Input* input : connectedInputs) indices.push_back(static_cast<unsigned int>(input - inputs.data()));
        return indices;
    };
    auto reconnect = [this](const std::vector<unsigned int>& indices, unsigned int from, int step) {
        moveInputConnections(this, from, step);
        connectedInputs.clear();
        for (unsigned int index : indices)
            connectedInputs.insert(&inputs[index >= from ? static_cast<unsigned int>(static_cast<int>(index) + step) : index]);
    };

    std::vector<unsigned int> kept;
    for (unsigned int index : connectedIndices())
        if (index < begin || index >= end) kept.push_back(index);
    for (unsigned int i = begin; i < end; ++i) rememberedValues[inputs[i].name] = inputs[i].value;
    inputs.erase(inputs.begin() + first, inputs.begin() + end);
    reconnect(kept, end, -static_cast<int>(end - begin));

    // One input at a time, so each handler sees the inputs made before it;
    // the inputs kept at the end move on by one with each.
    for (unsigned int j = 0; j < names.size(); ++j) {
        const unsigned int index = begin + j;
        prototype.name = names[j];
        prototype.value = rememberedValues[names[j]];
        std::vector<unsigned int> before = connectedIndices();
        inputs.insert(inputs.begin() + index, prototype);
        reconnect(before, index, 1);
        std::string text = inputs[index].value;
        SetInput(static_cast<int>(index), const_cast<char*>(text.c_str()));
    }
    replacingInputs = false;
}
