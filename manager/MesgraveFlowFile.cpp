// Reading and writing flow description files (.mivet).

#include <fstream>
#include <iostream>
#include <unordered_map>

#include "Corvane.h"
#include "ListIndex.h"
#include "Mesgrave.h"
#include "TextNumbers.h"

namespace {

using mesgrave::inList;

// The name lookups of one pass of a load: the first instance of each name
// and the renames of the load, indexed once per pass so that a load costs
// time in proportion to its lines instead of their square.
class LoadIndex {
public:
    LoadIndex(const std::vector<Corvane*>& instances, const std::vector<std::string>& renamePairs) {
        for (size_t i = 0; i < instances.size(); ++i) added(static_cast<int>(i), instances[i]->GetName());
        for (size_t k = 0; k + 1 < renamePairs.size(); k += 2) renamed(renamePairs[k], renamePairs[k + 1]);
    }

    // Index of the first instance named `name`, or -1.
    int find(const std::string& name) const {
        std::unordered_map<std::string, int>::const_iterator found = firstIndex_.find(name);
        return found == firstIndex_.end() ? -1 : found->second;
    }

    void added(int index, const std::string& name) { firstIndex_.emplace(name, index); }

    // A name of the file as the load renamed it: mapped once, through the
    // first pair whose old name it is.
    const std::string& mapped(const std::string& name) const {
        std::unordered_map<std::string, std::string>::const_iterator found = renames_.find(name);
        return found == renames_.end() ? name : found->second;
    }

    void renamed(const std::string& oldName, const std::string& newName) { renames_.emplace(oldName, newName); }

    // `wanted`, or the first of wanted1, wanted2, ... that no instance has.
    // Names are only added during a load, so the counter never needs to go
    // back below the last one handed out for the same name.
    std::string freeName(const std::string& wanted) {
        if (find(wanted) < 0) return wanted;
        int& counter = nextCounter_[wanted];
        if (counter < 1) counter = 1;
        while (find(wanted + std::to_string(counter)) >= 0) ++counter;
        return wanted + std::to_string(counter);
    }

private:
    std::unordered_map<std::string, int> firstIndex_;
    std::unordered_map<std::string, std::string> renames_;
    std::unordered_map<std::string, int> nextCounter_;
};

// The index of the pass that runs on this thread, and the manager it serves.
// connectObjectInput is an entry point of its own for an outside editor;
// outside a pass it searches the lists instead.
struct ActivePass {
    const Mesgrave* manager;
    const LoadIndex* index;
};
thread_local ActivePass activePass = {nullptr, nullptr};

class ScopedPass {
public:
    ScopedPass(const Mesgrave* manager, const LoadIndex* index) : saved_(activePass) {
        activePass.manager = manager;
        activePass.index = index;
    }
    ~ScopedPass() { activePass = saved_; }
    ScopedPass(const ScopedPass&) = delete;
    ScopedPass& operator=(const ScopedPass&) = delete;

private:
    ActivePass saved_;
};

const LoadIndex* activeIndexFor(const Mesgrave* manager) {
    return activePass.manager == manager ? activePass.index : nullptr;
}

// `name` mapped through the first rename pair whose old name it is.
std::string firstRename(const std::vector<std::string>& renamePairs, const std::string& name) {
    for (size_t k = 0; k + 1 < renamePairs.size(); k += 2)
        if (renamePairs[k] == name) return renamePairs[k + 1];
    return name;
}

// A carriage return before the line feed belongs to the line end.
void dropCarriageReturn(std::string& line) {
    if (!line.empty() && line[line.size() - 1] == '\r') line.erase(line.size() - 1);
}

bool isBlank(const std::string& line) { return line.find_first_not_of(" \t\v\f\r") == std::string::npos; }

// The items of an input line after its input name: one quoted literal
// (blanks and tabs kept, up to the next quote or the line end), or else the
// whitespace-separated tokens. Only blanks may stand before the quote.
std::vector<std::string> inputItems(std::istringstream& line) {
    while (line.peek() == ' ') line.get();
    std::vector<std::string> items;
    if (line.peek() == '"') {
        line.get();
        std::string literal;
        std::getline(line, literal, '"');
        items.push_back(literal);
        return items;
    }
    std::string token;
    while (line >> token) items.push_back(token);
    return items;
}

// A class line: creates the instance under a free variant of its name.
// False when no instance could be made, so its input lines are dropped.
bool createInstance(Mesgrave& manager, const std::string& line, LoadIndex& index) {
    std::istringstream fields(line);
    std::string className, name;
    fields >> className >> name;
    std::string freeName = index.freeName(name);
    if (freeName != name) {
        manager.renamePairs.push_back(name);
        manager.renamePairs.push_back(freeName);
        index.renamed(name, freeName);
    }
    Corvane* instance = manager.makeInstance(className, freeName);
    if (instance == nullptr) {
        manager.notFound.insert(className);
        return false;
    }
    index.added(static_cast<int>(manager.instances.size()) - 1, instance->GetName());
    manager.inputLines.push_back(std::vector<std::string>());
    return true;
}

// A position line: "*<name> x y [C]".
void placeInstance(Mesgrave& manager, const std::string& line, const LoadIndex& index) {
    std::istringstream fields(line);
    std::string star, x, y, flag;
    fields >> star >> x >> y >> flag;
    int found = index.find(index.mapped(star.substr(1)));
    if (found < 0) return;
    Corvane* instance = manager.instances[found];
    instance->SetPosition(static_cast<float>(vorn::parseDouble(x.c_str())),
                          static_cast<float>(vorn::parseDouble(y.c_str())));
    if (flag == "C") instance->SetCollapsed(true);
}

// Opens a flow file for reading, or says why not.
bool openFlowFile(const std::string& name, std::ifstream& in) {
    in.open(name.c_str());
    if (in.is_open()) return true;
    std::cerr << "Configuration file " << name << " not found." << std::endl;
    return false;
}

// False, with one line, when reading the file failed before its end.
bool readToEnd(const std::string& name, const std::ifstream& in) {
    if (!in.bad()) return true;
    std::cerr << "Configuration file " << name << " could not be read." << std::endl;
    return false;
}

}  // namespace

bool Mesgrave::configureFromString(const std::string& text) {
    std::istringstream in(text);
    return configureFromStream(in);
}

bool Mesgrave::configureFromFile(const std::string& fileName) {
    filename = fileName;
    std::ifstream in;
    if (!openFlowFile(fileName, in)) return false;
    configureFromStream(in);
    return readToEnd(fileName, in);
}

bool Mesgrave::loadFromFile(const std::string& fileName) {
    filename = fileName;
    std::ifstream in;
    if (!openFlowFile(fileName, in)) return false;
    loadFromStream(in);
    return readToEnd(fileName, in);
}

bool Mesgrave::configureFromStream(std::istream& in) {
    int first = static_cast<int>(instances.size());
    loadFromStream(in);
    valuePass = true;
    connectObjects(first);
    valuePass = false;
    connectObjects(first);
    valuePass = true;
    renamePairs.clear();
    return true;
}

bool Mesgrave::loadFromStream(std::istream& in) {
    inputLines.clear();
    renamePairs.clear();
    LoadIndex index(instances, renamePairs);
    bool lastClassCreated = false;
    std::string line;
    while (std::getline(in, line)) {
        dropCarriageReturn(line);
        if (isBlank(line) || line[0] == '#') continue;
        if (line[0] == '\t') {
            if (lastClassCreated) inputLines.back().push_back(line);
        } else if (line[0] == '*') {
            placeInstance(*this, line, index);
        } else {
            lastClassCreated = createInstance(*this, line, index);
        }
    }
    return true;
}

void Mesgrave::connectObjects(int first) {
    if (first < 0) return;
    LoadIndex index(instances, renamePairs);
    ScopedPass pass(this, &index);
    // Sizes are read again at every step: handlers run in between.
    size_t start = static_cast<size_t>(first);
    for (size_t i = start; i < instances.size() && i - start < inputLines.size(); ++i) {
        for (size_t k = 0; i - start < inputLines.size() && k < inputLines[i - start].size(); ++k) {
            std::istringstream line(inputLines[i - start][k]);
            connectObject(static_cast<int>(i), line);
        }
    }
}

void Mesgrave::connectObject(int instance, std::istringstream& line) {
    if (!inList(instance, instances.size())) return;
    std::string inputName;
    if (!(line >> inputName)) return;
    int input = instances[instance]->GetNumberForInput(inputName);
    if (input >= 0) connectObjectInput(instance, input, line);
}

void Mesgrave::connectObjectInput(int instance, int input, std::istringstream& line) {
    std::vector<std::string> items = inputItems(line);
    if (items.size() == 1 && valuePass) {
        connectObjectInputValue(instance, input, items[0]);
    } else if (items.size() == 2 && !valuePass) {
        const LoadIndex* index = activeIndexFor(this);
        int sender = index != nullptr ? index->find(index->mapped(items[0]))
                                      : findObjectNr(firstRename(renamePairs, items[0]));
        if (sender >= 0) connectObjectInputSource(instance, input, sender, items[1]);
    }
}

void Mesgrave::connectObjectInputSource(int instance, int input, int source, const std::string& output) {
    if (!inList(source, instances.size())) return;
    std::vector<Corvane::Output>& outputs = *instances[source]->GetOutputs();
    for (size_t o = 0; o < outputs.size(); ++o) {
        if (outputs[o].name == output) {
            connectObjectInputSourceOutput(instance, input, source, static_cast<int>(o));
            return;
        }
    }
}

void Mesgrave::connectObjectInputValue(int instance, int input, const std::string& value) {
    if (!inList(instance, instances.size())) return;
    std::vector<Corvane::Input>& inputs = *instances[instance]->GetInputs();
    if (!inList(input, inputs.size())) return;
    inputs[input].value = value;
    // A copy of its own: the handler may replace the input records.
    std::string text = value;
    instances[instance]->SetInput(input, &text[0]);
}

void Mesgrave::connectObjectInputSourceOutput(int instance, int input, int source, int output) {
    if (!inList(instance, instances.size()) || !inList(source, instances.size())) return;
    instances[instance]->SetSender(input, instances[source], output);
}

std::string Mesgrave::stringRepresentation() {
    std::string text;
    for (Corvane* instance : instances) {
        pluginHandle* handle = instance->GetHandle();
        if (handle == nullptr) continue;
        text += handle->name + " " + instance->GetName() + "\n";
        std::vector<Corvane::Input>& inputs = *instance->GetInputs();
        for (Corvane::Input& input : inputs) {
            std::string form = input.GetInputString();
            if (form.empty()) continue;
            text += "\t" + input.name + " ";
            text += input.sender != nullptr ? form : "\"" + form + "\"";
            text += "\n";
        }
        text += "\n";
    }
    text += "\n";
    for (Corvane* instance : instances) {
        if (instance->GetHandle() == nullptr) continue;
        float x, y;
        instance->GetPosition(x, y);
        text += "*" + instance->GetName() + " " + vorn::toText(x) + " " + vorn::toText(y) + " " +
                (instance->IsCollapsed() ? "C" : "") + "\n";
    }
    return text;
}
