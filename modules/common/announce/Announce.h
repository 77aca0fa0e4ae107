#ifndef ZARN_MODULES_COMMON_ANNOUNCE_ANNOUNCE_H
#define ZARN_MODULES_COMMON_ANNOUNCE_ANNOUNCE_H

#include <cstddef>

#include "Corvane.h"
#include "Tavrel.h"

// Sending an event record with its announce flag set, so that receivers
// learn its properties. Threads: the thread that delivers to `sender`.
namespace announcement {

// Sends `event` on `output` of `sender` to every receiver.
void sendToAll(Corvane& sender, unsigned int output, Tavrel& event);

// The slot on `output` of `sender` that connects `receiver` at `input`; -1
// when there is none (a null receiver or an output out of range included).
int connectionSlot(Corvane& sender, int output, const Corvane* receiver, int input);

// Hands `event` to the receiver of connection `slot` on `output` of `sender`
// alone; nothing when that connection has no target.
void sendToConnection(Corvane& sender, int output, size_t slot, Tavrel& event);

}  // namespace announcement

#endif
