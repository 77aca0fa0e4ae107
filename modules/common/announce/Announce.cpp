#include "Announce.h"

namespace announcement {

void sendToAll(Corvane& sender, unsigned int output, Tavrel& event) {
    event.announce = true;
    sender.SendOutput(output, static_cast<stringstore*>(&event));
    event.announce = false;
}

int connectionSlot(Corvane& sender, int output, const Corvane* receiver, int input) {
    if (receiver == nullptr || output < 0 || static_cast<size_t>(output) >= sender.outputs.size()) return -1;
    const Corvane::Output& record = sender.outputs[output];
    for (size_t k = 0; k < record.receivers.size(); ++k)
        if (record.receivers[k] == receiver && record.receiverInputs[k] == static_cast<unsigned int>(input))
            return static_cast<int>(k);
    return -1;
}

void sendToConnection(Corvane& sender, int output, size_t slot, Tavrel& event) {
    Corvane::Output& record = sender.outputs[output];
    if (record.targets[slot] == nullptr) return;
    event.announce = true;
    record.receivers[slot]->currentInput = static_cast<int>(record.receiverInputs[slot]);
    (record.targets[slot]->*record.methods[slot])(static_cast<stringstore*>(&event));
    event.announce = false;
}

}  // namespace announcement
