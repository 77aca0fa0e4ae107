#include "parserTable.h"

#include <mutex>
#include <unordered_map>
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

}  // namespace

void adopt(const Tavrel* event, formulaParser* parser) {
    std::lock_guard<std::mutex> guard(table().lock);
    table().owned[event].push_back(parser);
}

void freeParsers(const Tavrel* event) {
    std::vector<formulaParser*> parsers;
    {
        std::lock_guard<std::mutex> guard(table().lock);
        auto found = table().owned.find(event);
        if (found == table().owned.end()) return;
        parsers.swap(found->second);
        table().owned.erase(found);
    }
    for (formulaParser* parser : parsers) delete parser;
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

void forgetResolvedNames(const FlowProperty* gone) {
    std::lock_guard<std::mutex> guard(table().lock);
    for (auto& entry : table().owned) {
        for (formulaParser* parser : entry.second) {
            parser->propertiesSet = false;
            if (gone && parser->property == gone) parser->property = nullptr;
        }
    }
}

}  // namespace parserTable
