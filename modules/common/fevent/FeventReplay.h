#ifndef ZARN_MODULES_COMMON_FEVENT_FEVENTREPLAY_H
#define ZARN_MODULES_COMMON_FEVENT_FEVENTREPLAY_H

#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "FeventFormat.h"

class Tavrel;

namespace fevent {

class Source;

// The properties that an event-file reader gives its event for a header,
// and the value storage behind them, which it owns.
// Threads: the flow thread only.
class EventBinding {
public:
    EventBinding() {}
    ~EventBinding();
    EventBinding(const EventBinding&) = delete;
    EventBinding& operator=(const EventBinding&) = delete;

    // Gives `event` a property for every declaration with storage: a
    // property of that name and type that already has a value keeps its
    // storage and gets the declared binning; any other property of that name
    // is removed and replaced by one with new storage of the declared type.
    // A text property always reads into storage of its full size. Properties
    // that an earlier bind added to this event and that `header` no longer
    // declares are removed. Types for which `hasStorage` is false add no
    // property.
    void bind(Tavrel& event, const std::vector<Declaration>& header, bool (*hasStorage)(int type) = carriesValue);
    // Where to read the value of declaration `index` of the last bind; null
    // for a declaration without a stored value.
    void* slot(size_t index) const { return slots_[index]; }
    // Forgets the event of the last bind. With `eventGone` its storage is
    // freed; otherwise the event may still point to it, and it lives on until
    // this binding is destroyed.
    void forgetEvent(bool eventGone);

private:
    struct Owned {
        int type;
        void* storage;
    };

    void release(Owned owned, bool referenced);

    std::map<std::string, Owned> bound_;
    std::vector<Owned> retired_;
    std::vector<void*> slots_;
};

// Writes the report on an index out of sequence to `out`: the index
// expected and `indexText` (the index read), the names around it, and the
// bytes of `in` from 20 before its position on. `module` names the class
// in the closing advice.
void writeSyncReport(std::ostream& out, Source& in, const std::string& instance, unsigned expected,
                     const std::string& indexText, const std::vector<Declaration>& header, const char* module);

// The pause after each value, in microseconds, for an interval in seconds:
// none for a negative, zero or NaN interval; at most kMaxPauseSeconds.
constexpr double kMaxPauseSeconds = 3600;
long pauseMicroseconds(float interval);
void sleepMicroseconds(long microseconds);

}  // namespace fevent

#endif
