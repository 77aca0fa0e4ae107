#include "RecordInput.h"

#include <iostream>
#include <vector>

RecordInput::RecordInput() : lastValue(nullptr), lastRecord(nullptr), refused(false) {}

Tavrel* RecordInput::accept(Corvane& module, void* value) {
    if (value == nullptr) return nullptr;
    std::vector<Corvane::Input>& inputs = *module.GetInputs();
    int index = module.currentInput;
    if (index >= 0 && static_cast<size_t>(index) < inputs.size()) {
        Corvane::Input& input = inputs[index];
        // Without a sender only a record input can tell what arrives: a
        // literal reaching an input of type any is text, never a record.
        if (input.sender == nullptr && input.type != vorn_tavrel) {
            refuse(module, vorn_cstring);
            return nullptr;
        }
        if (input.sender != nullptr) {
            std::vector<Corvane::Output>& outputs = *input.sender->GetOutputs();
            vorn_type type = input.senderOutput < outputs.size() ? outputs[input.senderOutput].type : vorn_none;
            if (type != vorn_tavrel) {
                refuse(module, type);
                return nullptr;
            }
        }
    }
    if (value != lastValue) {
        Tavrel* record = dynamic_cast<Tavrel*>(static_cast<stringstore*>(value));
        if (record == nullptr) {
            refuse(module, vorn_tavrel);
            return nullptr;
        }
        lastValue = value;
        lastRecord = record;
    }
    refused = false;
    return lastRecord;
}

void RecordInput::refuse(Corvane& module, vorn_type type) {
    if (refused) return;
    refused = true;
    printRefusal(module, type);
}

void RecordInput::printRefusal(Corvane& module, vorn_type type) {
    std::vector<Corvane::Input>& inputs = *module.GetInputs();
    int index = module.currentInput;
    std::string name = index >= 0 && static_cast<size_t>(index) < inputs.size() ? inputs[index].name : "";
    std::cout << module.GetName() << ": Input " << name << " takes Tavrels only, ignoring a value of type "
              << static_cast<int>(type) << "." << std::endl;
}
