#include "TestTuples.h"

#include <cmath>
#include <limits>
#include <locale>
#include <sstream>

namespace {

const char* const kBlanks = " \t\n\r";

std::string trim(const std::string& text) {
    std::string::size_type first = text.find_first_not_of(kBlanks);
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

std::vector<std::string> words(const std::string& text) {
    std::vector<std::string> found;
    std::string::size_type at = text.find_first_not_of(kBlanks);
    while (at != std::string::npos) {
        std::string::size_type end = text.find_first_of(kBlanks, at);
        found.push_back(text.substr(at, end == std::string::npos ? std::string::npos : end - at));
        at = end == std::string::npos ? end : text.find_first_not_of(kBlanks, end);
    }
    return found;
}

// The items of a description, cut at ',' and ';' outside braces; false
// for unbalanced braces.
bool splitItems(const std::string& text, std::vector<std::string>& items) {
    int depth = 0;
    std::string item;
    for (char c : text) {
        if (c == '{') ++depth;
        if (c == '}' && --depth < 0) return false;
        if ((c == ',' || c == ';') && depth == 0) {
            items.push_back(trim(item));
            item.clear();
        } else {
            item += c;
        }
    }
    items.push_back(trim(item));
    return depth == 0;
}

const struct {
    const char* name;
    TestColumnKind kind;
} kKinds[] = {
    {"double", TestColumnKind::Double}, {"float", TestColumnKind::Float},   {"int", TestColumnKind::Int},
    {"short", TestColumnKind::Short},   {"long", TestColumnKind::Long},     {"char", TestColumnKind::Char},
    {"boolean", TestColumnKind::Boolean}, {"string", TestColumnKind::String}, {"ITuple", TestColumnKind::Tuple},
};

bool kindOf(const std::string& name, TestColumnKind& kind) {
    for (const auto& entry : kKinds)
        if (name == entry.name) {
            kind = entry.kind;
            return true;
        }
    return false;
}

std::string kindName(TestColumnKind kind) {
    for (const auto& entry : kKinds)
        if (kind == entry.kind) return entry.name;
    return "";
}

bool isReal(TestColumnKind kind) { return kind == TestColumnKind::Double || kind == TestColumnKind::Float; }

bool isNumeric(TestColumnKind kind) {
    return isReal(kind) || kind == TestColumnKind::Int || kind == TestColumnKind::Short ||
           kind == TestColumnKind::Long;
}

template <class T> T saturate(double value) {
    if (std::isnan(value)) return 0;
    if (value <= static_cast<double>(std::numeric_limits<T>::min())) return std::numeric_limits<T>::min();
    if (value >= static_cast<double>(std::numeric_limits<T>::max())) return std::numeric_limits<T>::max();
    return static_cast<T>(value);
}

template <class T> T saturate(long value) {
    if (value < static_cast<long>(std::numeric_limits<T>::min())) return std::numeric_limits<T>::min();
    if (value > static_cast<long>(std::numeric_limits<T>::max())) return std::numeric_limits<T>::max();
    return static_cast<T>(value);
}

// The whole text as a number, read in the C locale.
bool readNumber(const std::string& text, double& value) {
    std::istringstream in(text);
    in.imbue(std::locale::classic());
    in >> value;
    return !in.fail() && (in >> std::ws).eof();
}

bool readDefault(const std::string& text, TestColumn& column) {
    switch (column.kind) {
        case TestColumnKind::Boolean:
            if (text != "true" && text != "false" && text != "1" && text != "0") return false;
            column.integerDefault = text == "true" || text == "1";
            return true;
        case TestColumnKind::String:
            column.textDefault =
                text.size() >= 2 && text.front() == '"' && text.back() == '"' ? text.substr(1, text.size() - 2) : text;
            return true;
        case TestColumnKind::Char:
            if (text.size() == 3 && text.front() == '\'' && text.back() == '\'') {
                column.integerDefault = text[1];
                return true;
            }
            if (text.size() != 1) return false;
            column.integerDefault = text[0];
            return true;
        default: {
            double value = 0;
            if (!readNumber(text, value)) return false;
            column.realDefault = column.kind == TestColumnKind::Float ? static_cast<float>(value) : value;
            column.integerDefault = column.kind == TestColumnKind::Int     ? saturate<int>(value)
                                    : column.kind == TestColumnKind::Short ? saturate<short>(value)
                                                                           : saturate<long>(value);
            return true;
        }
    }
}

// "ITuple <name> [=] { <columns> }".
bool readTupleItem(const std::string& item, TestColumn& column) {
    std::string::size_type open = item.find('{');
    std::string::size_type close = item.rfind('}');
    if (close == std::string::npos || close < open || !trim(item.substr(close + 1)).empty()) return false;
    std::string head = trim(item.substr(0, open));
    if (!head.empty() && head.back() == '=') head = trim(head.substr(0, head.size() - 1));
    std::vector<std::string> parts = words(head);
    if (parts.size() != 2 || parts[0] != "ITuple") return false;
    column.nested = parseTupleLayout(item.substr(open + 1, close - open - 1));
    if (!column.nested) return false;
    column.name = parts[1];
    column.kind = TestColumnKind::Tuple;
    return true;
}

// "[<type>] <name> [= <default>]"; an item without a type takes `kind`.
bool readValueItem(const std::string& item, bool& haveKind, TestColumnKind& kind, TestColumn& column) {
    std::string::size_type equals = item.find('=');
    std::vector<std::string> parts = words(item.substr(0, equals));
    if (parts.size() == 2) {
        if (!kindOf(parts[0], kind) || kind == TestColumnKind::Tuple) return false;
        haveKind = true;
    } else if (parts.size() != 1 || !haveKind) {
        return false;
    }
    column.name = parts.back();
    column.kind = kind;
    return equals == std::string::npos || readDefault(trim(item.substr(equals + 1)), column);
}

std::string describe(const TestTupleLayout& layout) {
    std::string text;
    for (const TestColumn& column : layout.columns) {
        if (!text.empty()) text += ", ";
        if (column.kind == TestColumnKind::Tuple)
            text += "ITuple " + column.name + " = { " + describe(*column.nested) + " }";
        else
            text += kindName(column.kind) + " " + column.name;
    }
    return text;
}

}  // namespace

std::shared_ptr<const TestTupleLayout> parseTupleLayout(const std::string& text) {
    std::vector<std::string> items;
    if (!splitItems(text, items)) return nullptr;
    auto layout = std::make_shared<TestTupleLayout>();
    bool haveKind = false;
    TestColumnKind kind = TestColumnKind::Double;
    for (const std::string& item : items) {
        if (item.empty()) continue;
        TestColumn column;
        if (item.find('{') != std::string::npos) {
            if (!readTupleItem(item, column)) return nullptr;
            haveKind = false;
        } else if (!readValueItem(item, haveKind, kind, column)) {
            return nullptr;
        }
        layout->columns.push_back(column);
    }
    if (layout->columns.empty()) return nullptr;
    return layout;
}

// --- TestTuple

TestTuple::TestTuple(const std::string& name, const std::string& title, std::shared_ptr<const TestTupleLayout> layout)
    : TestObject(name), titleText(title), layout(std::move(layout)) {
    current = freshRow();
}

TestTuple::Row TestTuple::freshRow() const {
    Row row(layout->columns.size());
    for (size_t i = 0; i < row.size(); ++i) {
        const TestColumn& column = layout->columns[i];
        row[i].integer = column.integerDefault;
        row[i].real = column.realDefault;
        row[i].text = column.textDefault;
        if (column.kind == TestColumnKind::Tuple)
            row[i].tuple = std::make_unique<TestTuple>(column.name, column.name, column.nested);
    }
    return row;
}

std::string TestTuple::typeName() const { return "ITuple"; }

void TestTuple::dump(std::ostream& out, const std::string& path) const {
    out << "ITuple " << path << " title=\"" << titleText << "\" rows=" << stored.size()
        << " columns=" << describe(*layout) << '\n';
    notes.dump(out);
    dumpRows(out, "  ", "");
}

void TestTuple::dumpRows(std::ostream& out, const std::string& indent, const std::string& prefix) const {
    for (size_t r = 0; r < stored.size(); ++r) {
        const Row& row = stored[r];
        out << indent << (prefix.empty() ? "" : prefix + " ") << "row " << r;
        for (size_t i = 0; i < row.size(); ++i) {
            const TestColumn& column = layout->columns[i];
            out << ' ' << column.name << '=';
            switch (column.kind) {
                case TestColumnKind::Double:
                case TestColumnKind::Float: out << numberText(row[i].real); break;
                case TestColumnKind::Boolean: out << (row[i].integer ? "true" : "false"); break;
                case TestColumnKind::String: out << '"' << row[i].text << '"'; break;
                case TestColumnKind::Tuple: out << '[' << row[i].tuple->rows() << " rows]"; break;
                default: out << row[i].integer; break;
            }
        }
        out << '\n';
        for (size_t i = 0; i < row.size(); ++i)
            if (row[i].tuple)
                row[i].tuple->dumpRows(out, indent + "  ",
                                       (prefix.empty() ? "" : prefix + "/") + layout->columns[i].name);
    }
}

void* TestTuple::cast(const std::string& className) const {
    if (className == "ITuple") return const_cast<AIDA::ITuple*>(static_cast<const AIDA::ITuple*>(this));
    if (className == "IManagedObject")
        return const_cast<AIDA::IManagedObject*>(static_cast<const AIDA::IManagedObject*>(this));
    return nullptr;
}

std::string TestTuple::title() const { return titleText; }
AIDA::IAnnotation& TestTuple::annotation() { return notes; }
const AIDA::IAnnotation& TestTuple::annotation() const { return notes; }

TestTupleCell* TestTuple::fillCell(int column, bool numeric, TestColumnKind own) {
    if (column < 0 || static_cast<size_t>(column) >= current.size()) return nullptr;
    TestColumnKind kind = layout->columns[column].kind;
    return (numeric ? isNumeric(kind) : kind == own) ? &current[column] : nullptr;
}

bool TestTuple::fillNumber(int column, double real, long integer, bool isInteger) {
    TestTupleCell* cell = fillCell(column, true, TestColumnKind::Double);
    if (cell == nullptr) return false;
    switch (layout->columns[column].kind) {
        case TestColumnKind::Double: cell->real = isInteger ? static_cast<double>(integer) : real; break;
        case TestColumnKind::Float:
            cell->real = static_cast<float>(isInteger ? static_cast<double>(integer) : real);
            break;
        case TestColumnKind::Int: cell->integer = isInteger ? saturate<int>(integer) : saturate<int>(real); break;
        case TestColumnKind::Short:
            cell->integer = isInteger ? saturate<short>(integer) : saturate<short>(real);
            break;
        default: cell->integer = isInteger ? integer : saturate<long>(real); break;
    }
    return true;
}

bool TestTuple::fill(int column, double value) { return fillNumber(column, value, 0, false); }
bool TestTuple::fill(int column, float value) { return fillNumber(column, value, 0, false); }
bool TestTuple::fill(int column, int value) { return fillNumber(column, 0, value, true); }
bool TestTuple::fill(int column, short value) { return fillNumber(column, 0, value, true); }
bool TestTuple::fill(int column, long value) { return fillNumber(column, 0, value, true); }

bool TestTuple::fill(int column, char value) {
    TestTupleCell* cell = fillCell(column, false, TestColumnKind::Char);
    if (cell == nullptr) return false;
    cell->integer = value;
    return true;
}

bool TestTuple::fill(int column, bool value) {
    TestTupleCell* cell = fillCell(column, false, TestColumnKind::Boolean);
    if (cell == nullptr) return false;
    cell->integer = value ? 1 : 0;
    return true;
}

bool TestTuple::fill(int column, const std::string& value) {
    TestTupleCell* cell = fillCell(column, false, TestColumnKind::String);
    if (cell == nullptr) return false;
    cell->text = value;
    return true;
}

bool TestTuple::fill(const std::vector<double>& values) {
    bool all = true;
    for (size_t i = 0; i < values.size(); ++i) all = fill(static_cast<int>(i), values[i]) && all;
    return all;
}

bool TestTuple::fill(const std::vector<float>& values) {
    bool all = true;
    for (size_t i = 0; i < values.size(); ++i) all = fill(static_cast<int>(i), values[i]) && all;
    return all;
}

bool TestTuple::addRow() {
    stored.push_back(std::move(current));
    current = freshRow();
    return true;
}

void TestTuple::resetRow() { current = freshRow(); }

void TestTuple::reset() {
    stored.clear();
    current = freshRow();
    cursor = -1;
}

int TestTuple::rows() const { return saturate<int>(static_cast<long>(stored.size())); }

void TestTuple::start() { cursor = -1; }

bool TestTuple::skip(int rows) { return setRow(static_cast<int>(saturate<int>(cursor + static_cast<long>(rows)))); }

bool TestTuple::next() {
    if (cursor + 1 >= static_cast<long>(stored.size())) {
        cursor = static_cast<long>(stored.size());
        return false;
    }
    ++cursor;
    return true;
}

bool TestTuple::setRow(int row) {
    if (row < 0 || static_cast<size_t>(row) >= stored.size()) return false;
    cursor = row;
    return true;
}

int TestTuple::findColumn(const std::string& name) const {
    for (size_t i = 0; i < layout->columns.size(); ++i)
        if (layout->columns[i].name == name) return static_cast<int>(i);
    return -1;
}

const TestTupleCell* TestTuple::readCell(int column) const {
    if (cursor < 0 || cursor >= static_cast<long>(stored.size())) return nullptr;
    if (column < 0 || static_cast<size_t>(column) >= layout->columns.size()) return nullptr;
    return &stored[cursor][column];
}

double TestTuple::numberAt(int column) const {
    const TestTupleCell* cell = readCell(column);
    if (cell == nullptr) return 0;
    TestColumnKind kind = layout->columns[column].kind;
    if (isReal(kind)) return cell->real;
    if (kind == TestColumnKind::String || kind == TestColumnKind::Tuple) return 0;
    return static_cast<double>(cell->integer);
}

double TestTuple::getDouble(int column) const { return numberAt(column); }
float TestTuple::getFloat(int column) const { return static_cast<float>(numberAt(column)); }
int TestTuple::getInt(int column) const { return saturate<int>(numberAt(column)); }
short TestTuple::getShort(int column) const { return saturate<short>(numberAt(column)); }
long TestTuple::getLong(int column) const { return saturate<long>(numberAt(column)); }
char TestTuple::getChar(int column) const { return saturate<char>(numberAt(column)); }
bool TestTuple::getBool(int column) const { return numberAt(column) != 0; }

std::string TestTuple::getString(int column) const {
    const TestTupleCell* cell = readCell(column);
    return cell != nullptr && layout->columns[column].kind == TestColumnKind::String ? cell->text : "";
}

AIDA::ITuple* TestTuple::getTuple(int column) {
    if (column < 0 || static_cast<size_t>(column) >= layout->columns.size()) return nullptr;
    if (layout->columns[column].kind != TestColumnKind::Tuple) return nullptr;
    const Row& row = cursor >= 0 && cursor < static_cast<long>(stored.size()) ? stored[cursor] : current;
    return row[column].tuple.get();
}

int TestTuple::columns() const { return static_cast<int>(layout->columns.size()); }

std::string TestTuple::columnName(int column) const {
    return column >= 0 && column < columns() ? layout->columns[column].name : "";
}

std::vector<std::string> TestTuple::columnNames() const {
    std::vector<std::string> names;
    for (const TestColumn& column : layout->columns) names.push_back(column.name);
    return names;
}

std::string TestTuple::columnType(int column) const {
    return column >= 0 && column < columns() ? kindName(layout->columns[column].kind) : "";
}

std::vector<std::string> TestTuple::columnTypes() const {
    std::vector<std::string> types;
    for (const TestColumn& column : layout->columns) types.push_back(kindName(column.kind));
    return types;
}

// --- TestTupleFactory

TestTupleFactory::TestTupleFactory(TestTree& tree) : tree(tree) {}

AIDA::ITuple* TestTupleFactory::make(const std::string& path, const std::string& title,
                                     std::shared_ptr<const TestTupleLayout> layout) {
    if (!layout) return nullptr;
    TestObject* made = tree.insert(path, std::make_unique<TestTuple>(lastPart(path), title, std::move(layout)));
    return dynamic_cast<AIDA::ITuple*>(made);
}

AIDA::ITuple* TestTupleFactory::create(const std::string& path, const std::string& title,
                                       const std::vector<std::string>& columnNames,
                                       const std::vector<std::string>& columnTypes, const std::string&) {
    if (columnNames.empty() || columnNames.size() != columnTypes.size()) return nullptr;
    auto layout = std::make_shared<TestTupleLayout>();
    for (size_t i = 0; i < columnNames.size(); ++i) {
        TestColumn column;
        column.name = columnNames[i];
        if (!kindOf(columnTypes[i], column.kind) || column.kind == TestColumnKind::Tuple) return nullptr;
        layout->columns.push_back(column);
    }
    return make(path, title, layout);
}

AIDA::ITuple* TestTupleFactory::create(const std::string& path, const std::string& title, const std::string& columns,
                                       const std::string&) {
    return make(path, title, parseTupleLayout(columns));
}
