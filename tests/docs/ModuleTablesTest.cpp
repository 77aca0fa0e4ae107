// The port tables of docs/modules.md against the plug-ins themselves: every
// plug-in of the build is made through the manager, and its inputs and
// outputs (names, types, order) must be those of its section.
//
// The tables are read strictly: a section opens with a line "### `Module`";
// a table whose header's first cell is "input" or "output" lists one port per
// row, the name and the type in backticks in the first two cells.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "Corvane.h"
#include "Mesgrave.h"
#include "pluginHandle.h"

namespace docs {
namespace {

struct Port {
    std::string name;
    std::string type;
    bool operator==(const Port& other) const { return name == other.name && type == other.type; }
};

std::ostream& operator<<(std::ostream& out, const Port& port) { return out << port.name << " " << port.type; }

struct ModuleTables {
    std::vector<Port> inputs;
    std::vector<Port> outputs;
    int inputTables = 0;
    int outputTables = 0;
};

// The type names of the tables: the type codes without their "vorn_".
const std::map<vorn_type, std::string>& typeNames() {
    static const std::map<vorn_type, std::string> names = {
        {vorn_none, "none"}, {vorn_uchar, "uchar"}, {vorn_schar, "schar"}, {vorn_char, "char"},
        {vorn_uint16, "uint16"}, {vorn_short, "short"}, {vorn_uint32, "uint32"}, {vorn_int, "int"},
        {vorn_bool, "bool"}, {vorn_float, "float"}, {vorn_double, "double"}, {vorn_uint64, "uint64"},
        {vorn_cstring, "cstring"}, {vorn_any, "any"}, {vorn_string, "string"},
        {vorn_vector_short, "vector_short"}, {vorn_vector_int, "vector_int"},
        {vorn_vector_uint64, "vector_uint64"}, {vorn_vector_bool, "vector_bool"},
        {vorn_vector_float, "vector_float"}, {vorn_vector_double, "vector_double"},
        {vorn_vector_string, "vector_string"}, {vorn_vector_vector_short, "vector_vector_short"},
        {vorn_vector_vector_int, "vector_vector_int"}, {vorn_vector_vector_float, "vector_vector_float"},
        {vorn_vector_vector_double, "vector_vector_double"}, {vorn_tavrel, "tavrel"},
    };
    return names;
}

std::string typeName(vorn_type type) {
    auto known = typeNames().find(type);
    return known != typeNames().end() ? known->second : "code " + std::to_string(static_cast<int>(type));
}

std::string trim(const std::string& text) {
    size_t begin = text.find_first_not_of(" \t");
    if (begin == std::string::npos) return "";
    return text.substr(begin, text.find_last_not_of(" \t") - begin + 1);
}

// The cells of a table row "| a | b | ... |".
std::vector<std::string> cells(const std::string& line) {
    std::vector<std::string> result;
    std::istringstream row(line.substr(1));
    std::string cell;
    while (std::getline(row, cell, '|')) result.push_back(trim(cell));
    return result;
}

// "`name`" without its backticks; "" when the cell is not one code span.
std::string code(const std::string& cell) {
    if (cell.size() < 3 || cell.front() != '`' || cell.back() != '`') return "";
    std::string inner = cell.substr(1, cell.size() - 2);
    return inner.find('`') == std::string::npos ? inner : "";
}

std::map<std::string, ModuleTables> readTables(const std::string& path) {
    std::map<std::string, ModuleTables> modules;
    std::ifstream in(path);
    std::string line;
    ModuleTables* current = nullptr;
    std::vector<Port>* rows = nullptr;
    while (std::getline(in, line)) {
        if (line.rfind("### ", 0) == 0) {
            std::string name = code(trim(line.substr(4)));
            EXPECT_FALSE(name.empty()) << "section heading without a module name: " << line;
            EXPECT_EQ(0u, modules.count(name)) << "two sections for " << name;
            current = &modules[name];
            rows = nullptr;
            continue;
        }
        if (line.rfind("## ", 0) == 0) current = nullptr;
        if (line.empty() || line[0] != '|') {
            rows = nullptr;
            continue;
        }
        std::vector<std::string> row = cells(line);
        if (row.size() < 2) continue;
        if (row[0] == "input" || row[0] == "output") {
            EXPECT_NE(nullptr, current) << "port table outside a module section: " << line;
            if (current == nullptr) continue;
            bool input = row[0] == "input";
            rows = input ? &current->inputs : &current->outputs;
            ++(input ? current->inputTables : current->outputTables);
            continue;
        }
        if (rows == nullptr || row[0].find_first_not_of("-: ") == std::string::npos) continue;
        Port port{code(row[0]), code(row[1])};
        EXPECT_FALSE(port.name.empty() || port.type.empty()) << "malformed port row: " << line;
        rows->push_back(port);
    }
    return modules;
}

std::vector<Port> inputsOf(Corvane& module) {
    std::vector<Port> ports;
    for (const Corvane::Input& input : *module.GetInputs()) ports.push_back({input.name, typeName(input.type)});
    return ports;
}

std::vector<Port> outputsOf(Corvane& module) {
    std::vector<Port> ports;
    for (const Corvane::Output& output : *module.GetOutputs()) ports.push_back({output.name, typeName(output.type)});
    return ports;
}

TEST(ModuleTables, EveryPluginHasItsPortsAsDocumented) {
    std::map<std::string, ModuleTables> documented = readTables(std::string(ZARN_SOURCE_DIR) + "/docs/modules.md");
    ASSERT_FALSE(documented.empty());

    // Only the shipped plug-ins, with no AIDA system: ports do not depend on one.
    setenv("ZARN_INSTALL", ZARN_BUILD_DIR "/lib/", 1);
    unsetenv("LD_LIBRARY_PATH");
    unsetenv("DYLD_LIBRARY_PATH");
    Mesgrave manager("");
    std::set<std::string> plugins;
    for (const pluginHandle& plugin : *Mesgrave::GetPlugins()) plugins.insert(plugin.name);
    EXPECT_EQ(34u, plugins.size());

    for (const std::string& name : plugins) {
        SCOPED_TRACE(name);
        auto section = documented.find(name);
        ASSERT_NE(documented.end(), section) << "no section in docs/modules.md";
        const ModuleTables& tables = section->second;
        EXPECT_EQ(1, tables.inputTables);
        EXPECT_GE(1, tables.outputTables);
        Corvane* module = manager.makeInstance(name, "doc" + name);
        ASSERT_NE(nullptr, module);
        EXPECT_EQ(tables.inputs, inputsOf(*module));
        EXPECT_EQ(tables.outputs, outputsOf(*module));
    }
    for (const auto& section : documented) EXPECT_EQ(1u, plugins.count(section.first)) << section.first;
}

}  // namespace
}  // namespace docs
