#include "parserTable.h"

#include <mutex>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "Tavrel.h"

namespace parserTable {
namespace {

struct Table {
    std::mutex lock;
    std::unordered_map<const Tavrel*, std::vector<formulaParser*>> owned;
};

// Never destroyed, so events that die during exit still find it.
Table& table() {
    static Table* instance = new Table;
    return *instance;
}

// Whether `parser` holds a looked-up property for which `matches` is true.
template <class Matches> bool resolvedAny(const formulaParser& parser, Matches matches) {
    if (!parser.propertiesSet) return false;
    if (matches(parser.cutProperty) || matches(parser.indexProperty)) return true;
    for (const FlowProperty* argument : parser.argumentProperties) {
        if (matches(argument)) return true;
    }
    return false;
}

}  // namespace

void adopt(const Tavrel* event, formulaParser* parser) {
    std::lock_guard<std::mutex> guard(table().lock);
    table().owned[event].push_back(parser);
}

Tavrel* ownerOf(const formulaParser* parser) {
    std::lock_guard<std::mutex> guard(table().lock);
    for (auto& entry : table().owned) {
        for (formulaParser* owned : entry.second) {
            if (owned == parser) return const_cast<Tavrel*>(entry.first);
        }
    }
    return nullptr;
}

void propertyAdded(const Tavrel* event) {
    std::lock_guard<std::mutex> guard(table().lock);
    auto found = table().owned.find(event);
    if (found == table().owned.end()) return;
    for (formulaParser* parser : found->second) parser->propertiesSet = false;
}

void propertyErased(const Tavrel* event, const FlowProperty* gone) {
    std::lock_guard<std::mutex> guard(table().lock);
    for (auto& entry : table().owned) {
        for (formulaParser* parser : entry.second) {
            if (entry.first == event || resolvedAny(*parser, [gone](const FlowProperty* p) { return p == gone; })) {
                parser->propertiesSet = false;
            }
            if (parser->property == gone) parser->property = nullptr;
        }
    }
}

void eventDestroyed(const Tavrel* event) {
    std::vector<formulaParser*> parsers;
    std::lock_guard<std::mutex> guard(table().lock);
    auto found = table().owned.find(event);
    if (found != table().owned.end()) {
        parsers.swap(found->second);
        table().owned.erase(found);
    }
    for (formulaParser* parser : parsers) delete parser;
    if (table().owned.empty() || event->properties.empty()) return;
    std::unordered_set<const FlowProperty*> dying;
    for (auto& entry : event->properties) dying.insert(&entry.second);
    auto inDying = [&dying](const FlowProperty* p) { return dying.count(p) != 0; };
    for (auto& entry : table().owned) {
        for (formulaParser* parser : entry.second) {
            if (resolvedAny(*parser, inDying)) parser->propertiesSet = false;
        }
    }
}

}  // namespace parserTable
