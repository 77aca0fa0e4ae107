#ifndef ZARN_TESTS_AIDATEST_TESTTUPLES_H
#define ZARN_TESTS_AIDATEST_TESTTUPLES_H

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "AIDA/ITuple.h"
#include "AIDA/ITupleFactory.h"
#include "TestHistograms.h"
#include "TestTree.h"

// What a tuple column holds, one per AIDA type name.
enum class TestColumnKind { Double, Float, Int, Short, Long, Char, Boolean, String, Tuple };

struct TestTupleLayout;
class TestTuple;

// One column: its name, kind and the value a new row starts with; an
// ITuple column has the layout of its nested tuples instead.
struct TestColumn {
    std::string name;
    TestColumnKind kind = TestColumnKind::Double;
    long integerDefault = 0;
    double realDefault = 0;
    std::string textDefault;
    std::shared_ptr<const TestTupleLayout> nested;
};

struct TestTupleLayout {
    std::vector<TestColumn> columns;
};

// Reads a column description such as
// "int n = 0, m; ITuple hits = { float e, x }; string tag": items are
// separated by ',' or ';' outside braces; an item without a type takes the
// type of the item before it; empty items (a trailing separator) are
// skipped. Null when the text names an unknown type, lacks a name, has a
// default that does not fit the type, unbalanced braces or no column.
std::shared_ptr<const TestTupleLayout> parseTupleLayout(const std::string& text);

// One cell of a row: integer kinds, characters and booleans use `integer`,
// double and float `real`, strings `text`, ITuple columns `tuple`.
struct TestTupleCell {
    long integer = 0;
    double real = 0;
    std::string text;
    std::unique_ptr<TestTuple> tuple;
};

// A tuple: rows of typed cells. The fill operations set cells of the
// current row (a number goes into any numeric column, converted to the
// column's type, saturating; booleans, characters and strings only into
// their own kind); addRow appends the current row and starts a new one of
// defaults with new, empty nested tuples. getTuple gives the nested tuple
// of the current row: the row being filled, or the row that the reading
// operations (start, next, skip, setRow) stand on.
// Threads: one thread at a time.
class TestTuple : public TestObject, public AIDA::ITuple {
public:
    TestTuple(const std::string& name, const std::string& title, std::shared_ptr<const TestTupleLayout> layout);

    std::string typeName() const override;
    // The header line, the annotation, then the rows with their nested
    // tuples indented below them (format in README.md).
    void dump(std::ostream& out, const std::string& path) const override;
    void* cast(const std::string& className) const override;

    std::string title() const override;
    AIDA::IAnnotation& annotation() override;
    const AIDA::IAnnotation& annotation() const override;
    bool fill(int column, double value) override;
    bool fill(int column, float value) override;
    bool fill(int column, int value) override;
    bool fill(int column, short value) override;
    bool fill(int column, long value) override;
    bool fill(int column, char value) override;
    bool fill(int column, bool value) override;
    bool fill(int column, const std::string& value) override;
    bool fill(const std::vector<double>& values) override;
    bool fill(const std::vector<float>& values) override;
    bool addRow() override;
    void resetRow() override;
    void reset() override;
    int rows() const override;
    void start() override;
    bool skip(int rows) override;
    bool next() override;
    bool setRow(int row) override;
    int findColumn(const std::string& name) const override;
    double getDouble(int column) const override;
    float getFloat(int column) const override;
    int getInt(int column) const override;
    short getShort(int column) const override;
    long getLong(int column) const override;
    char getChar(int column) const override;
    bool getBool(int column) const override;
    std::string getString(int column) const override;
    AIDA::ITuple* getTuple(int column) override;
    int columns() const override;
    std::string columnName(int column) const override;
    std::vector<std::string> columnNames() const override;
    std::string columnType(int column) const override;
    std::vector<std::string> columnTypes() const override;

private:
    typedef std::vector<TestTupleCell> Row;

    Row freshRow() const;
    // The cell of the current row for a fill, or null when the column is
    // missing or not of an accepted kind.
    TestTupleCell* fillCell(int column, bool numeric, TestColumnKind own);
    bool fillNumber(int column, double real, long integer, bool isInteger);
    // The cell that the getters read, or null.
    const TestTupleCell* readCell(int column) const;
    double numberAt(int column) const;
    void dumpRows(std::ostream& out, const std::string& indent, const std::string& prefix) const;

    std::string titleText;
    std::shared_ptr<const TestTupleLayout> layout;
    TestAnnotation notes;
    std::vector<Row> stored;
    Row current;
    long cursor = -1;
};

// Creates tuples in its tree from a description text or from lists of
// names and type names.
// Threads: one thread at a time.
class TestTupleFactory : public AIDA::ITupleFactory {
public:
    explicit TestTupleFactory(TestTree& tree);

    // Null when the lists differ in length or name an unknown type or
    // "ITuple" (whose columns a list cannot give).
    AIDA::ITuple* create(const std::string& path, const std::string& title,
                         const std::vector<std::string>& columnNames, const std::vector<std::string>& columnTypes,
                         const std::string& options) override;
    // Null when the description does not parse (see parseTupleLayout).
    AIDA::ITuple* create(const std::string& path, const std::string& title, const std::string& columns,
                         const std::string& options) override;

private:
    AIDA::ITuple* make(const std::string& path, const std::string& title,
                       std::shared_ptr<const TestTupleLayout> layout);
    TestTree& tree;
};

#endif
