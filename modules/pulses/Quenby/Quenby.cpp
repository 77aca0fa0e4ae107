#include <algorithm>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "AIDA/IAnalysisFactory.h"
#include "AIDA/ITree.h"
#include "AIDA/ITuple.h"
#include "AIDA/ITupleFactory.h"
#include "AidaAccess.h"
#include "Corvane.h"
#include "RecordInput.h"
#include "Tavrel.h"

namespace {

const char* const kBlanks = " \t\n";

std::string trim(const std::string& text) {
    std::string::size_type first = text.find_first_not_of(kBlanks);
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// The items of one level of a tuple description: cut at ',' or ';', but an
// item with unbalanced braces runs on to the next separator. Trimmed.
std::vector<std::string> splitItems(const std::string& text) {
    std::vector<std::string> items;
    std::string::size_type begin = 0;
    while (begin <= text.size()) {
        std::string::size_type end = text.find_first_of(",;", begin);
        while (end != std::string::npos) {
            std::string item = text.substr(begin, end - begin);
            std::string::difference_type opened = std::count(item.begin(), item.end(), '{');
            if (opened == std::count(item.begin(), item.end(), '}')) break;
            end = text.find_first_of(",;", end + 1);
        }
        if (end == std::string::npos) end = text.size();
        items.push_back(trim(text.substr(begin, end - begin)));
        begin = end + 1;
    }
    return items;
}

bool isVector(vorn_type type) {
    switch (type) {
        case vorn_vector_short:
        case vorn_vector_int:
        case vorn_vector_uint64:
        case vorn_vector_float:
        case vorn_vector_double:
        case vorn_vector_string: return true;
        default: return false;
    }
}

long vectorSize(vorn_type type, void* data) {
    switch (type) {
        case vorn_vector_short: return static_cast<long>(static_cast<std::vector<short>*>(data)->size());
        case vorn_vector_int: return static_cast<long>(static_cast<std::vector<int>*>(data)->size());
        case vorn_vector_uint64: return static_cast<long>(static_cast<std::vector<unsigned long>*>(data)->size());
        case vorn_vector_float: return static_cast<long>(static_cast<std::vector<float>*>(data)->size());
        case vorn_vector_double: return static_cast<long>(static_cast<std::vector<double>*>(data)->size());
        case vorn_vector_string: return static_cast<long>(static_cast<std::vector<std::string>*>(data)->size());
        default: return -1;
    }
}

}  // namespace

// Fills `column` of the tuple's current row with element `row` of the
// vector, through the fill overload of the element type.
template <class T> void VectorToTuple(std::vector<T>* values, AIDA::ITuple* tuple, int column, size_t row) {
    tuple->fill(column, (*values)[row]);
}

void VectorToTuple(std::vector<unsigned long>* values, AIDA::ITuple* tuple, int column, size_t row) {
    tuple->fill(column, static_cast<long>((*values)[row]));
}

// Writes the properties of every event record it receives as rows of an
// AIDA tuple. The layout is an AIDA tuple description; a column named like
// a property (or property path) gets its value. An "ITuple" column opens a
// nested tuple whose columns take vector properties element by element,
// one nested row per element.
//
// Threads: built on the flow's creating thread, fed on the flow thread.
class Quenby : public Corvane {
public:
    explicit Quenby(std::string& instanceName);
    ~Quenby() override;

    void Init() override;
    // Prints how many rows the top-level tuple holds.
    void Reset() override;

private:
    // One column fed from the event record.
    struct entry {
        entry(const std::string& name, const std::vector<int>& path, int column, bool nested)
            : name(name),
              path(path),
              column(column),
              size(-1),
              type(nested ? vorn_tavrel : vorn_none),
              data(nullptr),
              formula(nullptr),
              nested(nested) {}

        std::string name;
        // Column indices of the enclosing "ITuple" columns, top level first.
        std::vector<int> path;
        int column;
        long size;
        vorn_type type;
        void* data;
        formulaParser* formula;
        // An "ITuple" column: it opens a nested tuple and holds no value.
        bool nested;
    };
    typedef std::vector<int> Path;
    // The size of a group none of whose entries holds a value (a group of
    // scalars has size -1, a group of vectors their length).
    static constexpr long kNoValue = -2;

    void fill(void* value);
    void createTuple(void* value);
    void parse(const std::string& text, const Path& path);
    void buildStack();
    void resolveEntries(Tavrel& record);
    // Checks that the vectors of each group have one length; false (with
    // the entry dropped) at the first that differs.
    bool measureGroups();
    void removeEntry(size_t index);
    void writeGroup(AIDA::ITuple& target, const std::vector<size_t>& members, long size);
    void fillScalar(AIDA::ITuple& target, const entry& e);
    void fillElement(AIDA::ITuple& target, const entry& e, size_t row);

    AIDA::ITree* tree;
    AIDA::ITupleFactory* tupleFactory;
    AIDA::ITuple* tuple;
    std::vector<entry> entries;
    std::map<Path, std::vector<size_t> > groups;
    std::vector<Path> stack;
    // This event's size of each group.
    std::map<Path, long> groupSizes;
    RecordInput recordInput;
    Tavrel* resolvedRecord;
};

Quenby::Quenby(std::string& instanceName)
    : Corvane(nullptr, instanceName), tree(nullptr), tupleFactory(nullptr), tuple(nullptr), resolvedRecord(nullptr) {
    name = instanceName;
    description = "Write Tavrel entries to AIDA ITuple";
    inputs.push_back(Input("fevent", CORVANE_HANDLER(&Quenby::fill), vorn_tavrel, "Tavrel to be written"));
    inputs.push_back(Input("layout", CORVANE_HANDLER(&Quenby::createTuple), vorn_string,
                           "AIDA ITuple creation string (e.g. 'int event =0,  tracks =0; ITuple momentums  = { "
                           "double px = .2, py = 3., pz = 0., ITuple hits = {int x,y,z} }; float ipx, ipy, ipz'"));
    std::cout << name << " instantiated" << std::endl;
}

// The tuples belong to the AIDA system and the tree is shared; only the
// factory, which this module asked for, is its own.
Quenby::~Quenby() {
    delete tupleFactory;
    std::cout << name << " deleted" << std::endl;
}

void Quenby::Init() {
    AIDA::IAnalysisFactory* factory = aidaaccess::analysisFactoryOf(*this);
    if (factory == nullptr) return;
    tree = aidaaccess::createMemoryTree(*factory);
    if (tree == nullptr) return;
    tupleFactory = factory->createTupleFactory(*tree);
    if (tupleFactory == nullptr) return;
    tree->cd("/");
    std::cout << name << " initialized." << std::endl;
}

void Quenby::Reset() {
    if (tuple != nullptr) std::cout << "Filled " << tuple->rows() << " rows." << std::endl;
}

void Quenby::createTuple(void* value) {
    std::string text = *static_cast<std::string*>(value);
    bool replaced = false;
    for (std::string::size_type at = text.find("uint64_t"); at != std::string::npos; at = text.find("uint64_t")) {
        text.replace(at, 8, "long");
        replaced = true;
    }
    if (replaced) std::cout << name << ": Replaced uint64_t with long, new string:\n" << text << std::endl;
    if (tupleFactory == nullptr) {
        std::cout << name << ": No AIDA tuple factory, no ITuple created." << std::endl;
        return;
    }
    // The tree's current folder is shared: the tuple goes where Init put it.
    tree->cd("/");
    tuple = tupleFactory->create("FEventTuple", "Title: Tavrel", text, "");
    if (tuple == nullptr) {
        std::cout << "Something went wrong creating the ITuple. (Error in the construction string?)" << std::endl;
        return;
    }
    entries.clear();
    groups.clear();
    stack.clear();
    parse(text, Path());
    std::cout << groups.size() << " tuples in total" << std::endl;
    buildStack();
    std::cout << stack.size() << " tuples in stack, indices from most to least nested:" << std::endl;
    for (const Path& path : stack) {
        for (int index : path) std::cout << index << '\t';
        std::cout << std::endl;
    }
}

void Quenby::parse(const std::string& text, const Path& path) {
    int k = 0;
    for (const std::string& item : splitItems(text)) {
        // A separator at the end (or two in a row) makes no column.
        if (item.empty()) continue;
        int column = k++;
        size_t index = entries.size();
        std::string::size_type brace = item.find('{');
        if (brace == std::string::npos) {
            std::string left = trim(item.substr(0, item.find('=')));
            std::string::size_type blank = left.find_last_of(kBlanks);
            entries.push_back(entry(blank == std::string::npos ? left : left.substr(blank + 1), path, column, false));
            groups[path].push_back(index);
        } else {
            std::string::size_type blank = item.find_first_of(kBlanks);
            if (item.substr(0, blank) != "ITuple") {
                std::cout << "I don't understand '" << item << "' (Typo?)" << std::endl;
                continue;
            }
            std::string::size_type equals = item.find('=', blank);
            std::string::size_type nameEnd = equals < brace ? equals : brace;
            std::string tupleName = trim(item.substr(blank, nameEnd - blank));
            std::cout << "ITuple name: " << tupleName << std::endl;
            entries.push_back(entry(tupleName, path, column, true));
            groups[path].push_back(index);
            Path inner = path;
            inner.push_back(column);
            parse(item.substr(brace + 1, item.rfind('}') - brace - 1), inner);
        }
        std::cout << index << '\t' << item << '$' << std::endl;
    }
    connectionChanged = true;
}

void Quenby::buildStack() {
    for (const auto& group : groups) {
        auto at = stack.begin();
        while (at != stack.end() && at->size() >= group.first.size()) ++at;
        stack.insert(at, group.first);
    }
}

void Quenby::fill(void* value) {
    Tavrel* record = recordInput.accept(*this, value);
    if (record == nullptr || tuple == nullptr) return;
    if (connectionChanged || record->announce || record != resolvedRecord) {
        connectionChanged = false;
        resolvedRecord = record;
        resolveEntries(*record);
    }
    if (!measureGroups()) return;
    for (const Path& path : stack) {
        AIDA::ITuple* target = tuple;
        for (size_t i = 0; i < path.size() && target != nullptr; ++i) target = target->getTuple(path[i]);
        if (target == nullptr) continue;
        writeGroup(*target, groups[path], groupSizes[path]);
    }
}

void Quenby::resolveEntries(Tavrel& record) {
    for (entry& e : entries) {
        if (e.nested) continue;
        FlowProperty* property = record.GetProperty(e.name);
        if (property == nullptr) {
            std::cout << "Couldn't find " << e.name << std::endl;
            e.type = vorn_none;
            e.data = nullptr;
            e.formula = nullptr;
            continue;
        }
        e.type = property->type;
        e.data = property->value;
        e.formula = property->formula;
    }
}

bool Quenby::measureGroups() {
    for (auto& group : groups) groupSizes[group.first] = kNoValue;
    for (size_t i = 0; i < entries.size(); ++i) {
        entry& e = entries[i];
        // Columns that hold no value (nested tuples, unresolved names) take
        // no part in the length check.
        if (e.data == nullptr) continue;
        if (e.formula != nullptr) e.formula->eval();
        e.size = isVector(e.type) ? vectorSize(e.type, e.data) : -1;
        long& size = groupSizes[e.path];
        if (size == kNoValue) size = e.size;
        if (e.size == size) continue;
        std::cout << "Size mismatch for " << e.name << ", not saved to NTuple." << std::endl;
        std::cout << e.size << " != " << size << std::endl;
        removeEntry(i);
        return false;
    }
    return true;
}

void Quenby::removeEntry(size_t index) {
    entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(index));
    for (auto& group : groups) {
        std::vector<size_t>& members = group.second;
        for (auto at = members.begin(); at != members.end();) {
            if (*at == index) {
                at = members.erase(at);
                continue;
            }
            if (*at > index) --*at;
            ++at;
        }
    }
}

void Quenby::writeGroup(AIDA::ITuple& target, const std::vector<size_t>& members, long size) {
    if (members.empty()) return;
    if (size < 0) {
        // Scalars, or columns without values (nested tuples among them):
        // one row per event.
        for (size_t index : members) fillScalar(target, entries[index]);
        target.addRow();
        return;
    }
    for (size_t row = 0; row < static_cast<size_t>(size); ++row) {
        for (size_t index : members) fillElement(target, entries[index], row);
        target.addRow();
    }
}

void Quenby::fillScalar(AIDA::ITuple& target, const entry& e) {
    void* data = e.data;
    if (data == nullptr) return;
    switch (e.type) {
        case vorn_uint16: target.fill(e.column, static_cast<int>(*static_cast<unsigned short*>(data))); break;
        case vorn_short: target.fill(e.column, *static_cast<short*>(data)); break;
        case vorn_uint32: target.fill(e.column, static_cast<int>(*static_cast<unsigned int*>(data))); break;
        case vorn_int: target.fill(e.column, *static_cast<int*>(data)); break;
        case vorn_bool: target.fill(e.column, *static_cast<bool*>(data)); break;
        case vorn_float: target.fill(e.column, *static_cast<float*>(data)); break;
        case vorn_double: target.fill(e.column, *static_cast<double*>(data)); break;
        case vorn_uint64: target.fill(e.column, static_cast<long>(*static_cast<unsigned long*>(data))); break;
        case vorn_cstring: target.fill(e.column, std::string(static_cast<const char*>(data))); break;
        case vorn_string: target.fill(e.column, *static_cast<std::string*>(data)); break;
        default: break;
    }
}

void Quenby::fillElement(AIDA::ITuple& target, const entry& e, size_t row) {
    void* data = e.data;
    if (data == nullptr) return;
    switch (e.type) {
        case vorn_vector_short: VectorToTuple(static_cast<std::vector<short>*>(data), &target, e.column, row); break;
        case vorn_vector_int: VectorToTuple(static_cast<std::vector<int>*>(data), &target, e.column, row); break;
        case vorn_vector_uint64:
            VectorToTuple(static_cast<std::vector<unsigned long>*>(data), &target, e.column, row);
            break;
        case vorn_vector_float: VectorToTuple(static_cast<std::vector<float>*>(data), &target, e.column, row); break;
        case vorn_vector_double: VectorToTuple(static_cast<std::vector<double>*>(data), &target, e.column, row); break;
        case vorn_vector_string:
            VectorToTuple(static_cast<std::vector<std::string>*>(data), &target, e.column, row);
            break;
        default: break;
    }
}

CORVANE_MODULE(Quenby)
