#include "FeventReplay.h"

#include <time.h>

#include <algorithm>
#include <cerrno>
#include <iostream>
#include <set>

#include "FeventReader.h"
#include "FeventStorage.h"
#include "Tavrel.h"

namespace fevent {

EventBinding::~EventBinding() { forgetEvent(true); }

void EventBinding::bind(Tavrel& event, const std::vector<Declaration>& header, bool (*hasStorage)(int type)) {
    slots_.assign(header.size(), nullptr);
    std::set<std::string> declared;
    for (size_t i = 0; i < header.size(); ++i) {
        const Declaration& declaration = header[i];
        declared.insert(declaration.name);
        FlowBinning binning(declaration.min, declaration.max, declaration.bins);
        bool stored = hasStorage(declaration.type);
        std::map<std::string, Owned>::iterator ours = bound_.find(declaration.name);
        Tavrel::iterator found = event.find(declaration.name);
        if (found != event.end()) {
            FlowProperty& property = found->second;
            bool isOurs = ours != bound_.end() && property.value == ours->second.storage;
            // A text buffer of another module may be shorter than the text read.
            bool usable = !stored || (property.value != nullptr && (declaration.type != vorn_cstring || isOurs));
            if (property.type == declaration.type && usable) {
                property.binning = binning;
                slots_[i] = stored ? property.value : nullptr;
                if (ours != bound_.end() && !isOurs) {
                    deleteStorage(ours->second.type, ours->second.storage);
                    bound_.erase(ours);
                }
                continue;
            }
            event.erase(declaration.name);
        }
        if (ours != bound_.end()) {
            deleteStorage(ours->second.type, ours->second.storage);
            bound_.erase(ours);
        }
        if (!stored) continue;
        void* storage = newStorage(declaration.type);
        bound_[declaration.name] = Owned{declaration.type, storage};
        event[declaration.name] = FlowProperty(static_cast<vorn_type>(declaration.type), binning, storage);
        slots_[i] = storage;
    }
    for (std::map<std::string, Owned>::iterator ours = bound_.begin(); ours != bound_.end();) {
        if (declared.count(ours->first) != 0) {
            ++ours;
            continue;
        }
        Tavrel::iterator found = event.find(ours->first);
        if (found != event.end() && found->second.value == ours->second.storage) event.erase(ours->first);
        deleteStorage(ours->second.type, ours->second.storage);
        ours = bound_.erase(ours);
    }
}

void EventBinding::forgetEvent(bool eventGone) {
    for (const std::pair<const std::string, Owned>& entry : bound_) {
        if (eventGone)
            deleteStorage(entry.second.type, entry.second.storage);
        else
            retired_.push_back(entry.second);
    }
    bound_.clear();
    slots_.clear();
    if (!eventGone) return;
    for (const Owned& owned : retired_) deleteStorage(owned.type, owned.storage);
    retired_.clear();
}

void adoptEvent(ReplayState& state, void* value, bool (*hasStorage)(int type)) {
    Tavrel* incoming = static_cast<Tavrel*>(static_cast<stringstore*>(value));
    if (!incoming->announce) return;
    if (incoming != state.event) {
        if (state.event != nullptr) state.binding.forgetEvent(state.ownsEvent);
        if (state.ownsEvent) delete state.event;
        state.event = incoming;
        state.ownsEvent = false;
        // A header read before the adoption still has to find its storage here.
        if (!state.headerPending) state.binding.bind(*state.event, state.header, hasStorage);
    }
    state.module.SendOutput(0, static_cast<stringstore*>(state.event));
}

void announceEvent(ReplayState& state) {
    Tavrel* announced = state.event;
    announced->announce = true;
    state.module.SendOutput(0, static_cast<stringstore*>(announced));
    announced->announce = false;
}

void endOfFile(ReplayState& state, int records) {
    state.source.close();
    state.module.SendOutput(1, &records);
}

bool headerUsable(ReplayState& state, bool complete, const std::string& conflictName) {
    if (!complete)
        std::cerr << state.module.name << ": file ends inside the header." << std::endl;
    else if (!conflictName.empty())
        std::cerr << state.module.name << ": the header declares " << conflictName << " twice with different types."
                  << std::endl;
    else
        return true;
    endOfFile(state, 0);
    return false;
}

namespace {

void endInsideRecord(ReplayState& state, int records) {
    std::cerr << state.module.name << ": the file ends inside a record." << std::endl;
    endOfFile(state, records);
}

// A record that has begun is always read to its end, also after Stop or at
// the step limit. The pause follows every value. A file opened by a
// receiver meanwhile (a new name, Reset) is left to the next Start.
void readRecords(ReplayState& state, ReplayLayout& layout) {
    Source& source = state.source;
    unsigned j = 0;
    int k = 0;
    while (source.good() && !state.headerPending &&
           (j != 0 || (state.module.running && (state.steps == 0 || static_cast<unsigned int>(k) < state.steps)))) {
        if (j == 0 && source.peek() < 0) return endOfFile(state, k);
        if (j == 0) {
            // Nothing reads the event between the values of a record, so one
            // Reset before its first value is the same as one before each.
            state.event->Reset();
            ++k;
            if (!layout.openRecord()) return endInsideRecord(state, k);
        }
        if (j < layout.valuesPerRecord()) {
            unsigned index;
            if (!layout.readIndex(index)) return endInsideRecord(state, k);
            if (index != j) {
                writeSyncReport(std::cout, source, state.module.name, j, layout.indexText(index), state.header,
                                state.moduleClass);
                return;
            }
            ++j;
            if (!layout.readValue(index)) return endInsideRecord(state, k);
        }
        if (j == layout.valuesPerRecord()) {
            ReplayLayout::Close close = layout.closeRecord();
            if (close == ReplayLayout::fileEnded) return endInsideRecord(state, k);
            if (close == ReplayLayout::broken) return;
            state.module.SendOutput(0, static_cast<stringstore*>(state.event));
            j = 0;
            layout.skipAfterRecord();
        }
        if (source.peek() < 0) return j == 0 ? endOfFile(state, k) : endInsideRecord(state, k);
        sleepMicroseconds(pauseMicroseconds(state.interval));
    }
}

}  // namespace

void runReplay(ReplayState& state, ReplayLayout& layout, std::ostream& notOpen) {
    if (!state.source.isOpen()) {
        notOpen << state.module.name << ": File not open." << std::endl;
        return;
    }
    std::cout << state.module.name << " running." << std::endl;
    state.module.running = true;
    if (state.event == nullptr) {
        state.event = new Tavrel;
        state.ownsEvent = true;
    }
    state.event->Reset();
    if (state.headerPending) {
        state.headerPending = false;
        if (layout.readHeader()) readRecords(state, layout);
    } else {
        readRecords(state, layout);
    }
    state.module.Stop();
}

void writeSyncReport(std::ostream& out, Source& in, const std::string& instance, unsigned expected,
                     const std::string& indexText, const std::vector<Declaration>& header, const char* module) {
    out << instance << ": Something's broken. ((pnum = " << expected << ") != (tag = " << indexText << "))"
        << std::endl;
    if (expected < header.size()) out << "Property name: " << header[expected].name << std::endl;
    if (expected > 0 && expected - 1 < header.size())
        out << "Previous property: " << header[expected - 1].name << std::endl;
    const uint64_t kBefore = 20;
    uint64_t at = in.position();
    in.seek(at > kBefore ? at - kBefore : 0);
    out << "Surrounding bytes:" << std::endl << "pos\tvalue" << std::endl;
    unsigned char bytes[24];
    size_t got = in.readSome(bytes, sizeof bytes);
    for (size_t m = 0; m < got; ++m) {
        bool marked = m == kBefore - 1;
        if (marked) out << "\033[1m\033[5m\033[41m\033[37m";
        out << static_cast<int>(m) - 19 << '\t' << static_cast<int>(bytes[m]) << " = ->" << static_cast<char>(bytes[m])
            << "<-";
        if (marked) out << "\033[0m";
        out << std::endl;
    }
    out << "This sometimes happens. For some reason you can fix it by deleting and newly putting in the " << module
        << " module." << std::endl;
}

long pauseMicroseconds(float interval) {
    if (!(interval > 0)) return 0;
    double seconds = std::min<double>(interval, kMaxPauseSeconds);
    return static_cast<long>(seconds * 1000000);
}

void sleepMicroseconds(long microseconds) {
    if (microseconds <= 0) return;
    struct timespec left;
    left.tv_sec = microseconds / 1000000;
    left.tv_nsec = (microseconds % 1000000) * 1000;
    while (nanosleep(&left, &left) != 0 && errno == EINTR) {
    }
}

}  // namespace fevent
