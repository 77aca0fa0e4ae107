#include "LinkTable.h"

#include "Corvane.h"

namespace vorn {

LinkTable& LinkTable::instance() {
    static LinkTable* table = new LinkTable;
    return *table;
}

void LinkTable::add(const Corvane* receiver, const Link& link) {
    std::lock_guard<std::mutex> held(lock);
    links[receiver].push_back(link);
}

void LinkTable::remove(const Corvane* receiver, const Corvane* sender, unsigned int output, unsigned int input) {
    std::lock_guard<std::mutex> held(lock);
    auto found = links.find(receiver);
    if (found == links.end()) return;
    std::vector<Link>& list = found->second;
    for (size_t i = 0; i < list.size(); ++i) {
        if (list[i].sender == sender && list[i].output == output && list[i].input == input) {
            list.erase(list.begin() + i);
            break;
        }
    }
    if (list.empty()) links.erase(found);
}

std::vector<Link> LinkTable::linksTo(const Corvane* receiver) const {
    std::lock_guard<std::mutex> held(lock);
    auto found = links.find(receiver);
    return found != links.end() ? found->second : std::vector<Link>();
}

bool LinkTable::lastTypedLinkTo(const Corvane* receiver, unsigned int input, Link& found) const {
    std::lock_guard<std::mutex> held(lock);
    auto list = links.find(receiver);
    if (list == links.end()) return false;
    bool any = false;
    for (const Link& link : list->second)
        if (link.input == input && link.output < link.sender->outputs.size() &&
            link.sender->outputs[link.output].type != vorn_none) {
            found = link;
            any = true;
        }
    return any;
}

bool LinkTable::hasLinkTo(const Corvane* receiver, unsigned int input) const {
    std::lock_guard<std::mutex> held(lock);
    auto list = links.find(receiver);
    if (list == links.end()) return false;
    for (const Link& link : list->second)
        if (link.input == input) return true;
    return false;
}

void LinkTable::moveInputs(const Corvane* receiver, unsigned int from, int step) {
    std::lock_guard<std::mutex> held(lock);
    auto list = links.find(receiver);
    if (list == links.end()) return;
    for (Link& link : list->second)
        if (link.input >= from) link.input = static_cast<unsigned int>(static_cast<int>(link.input) + step);
}

void LinkTable::forget(const Corvane* receiver) {
    std::lock_guard<std::mutex> held(lock);
    links.erase(receiver);
}

}  // namespace vorn
