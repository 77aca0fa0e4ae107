#ifndef AIDA_ITUPLE_H
#define AIDA_ITUPLE_H

#include <string>
#include <vector>

namespace AIDA {

class IAnnotation;

// A table of typed columns, filled row by row: the fill operations set the
// columns of the current row, addRow appends it. A column of type ITuple
// holds one nested tuple per row, reached through getTuple.
// Reading walks the rows with start, next, skip and setRow.
class ITuple {
public:
    virtual ~ITuple() {}

    virtual std::string title() const = 0;
    virtual IAnnotation& annotation() = 0;
    virtual const IAnnotation& annotation() const = 0;

    // Set column `column` of the current row; false when the column does
    // not exist or does not take the type.
    virtual bool fill(int column, double value) = 0;
    virtual bool fill(int column, float value) = 0;
    virtual bool fill(int column, int value) = 0;
    virtual bool fill(int column, short value) = 0;
    virtual bool fill(int column, long value) = 0;
    virtual bool fill(int column, char value) = 0;
    virtual bool fill(int column, bool value) = 0;
    virtual bool fill(int column, const std::string& value) = 0;
    // Sets the first columns from a list of numbers, in column order.
    virtual bool fill(const std::vector<double>& values) = 0;
    virtual bool fill(const std::vector<float>& values) = 0;

    // Appends the current row and starts a new one of default values.
    virtual bool addRow() = 0;
    // Sets the current row back to the default values.
    virtual void resetRow() = 0;
    // Removes every row.
    virtual void reset() = 0;
    virtual int rows() const = 0;

    // Reading: start moves before the first row, next to the following row
    // (false after the last), skip by `rows`, setRow to row `row`.
    virtual void start() = 0;
    virtual bool skip(int rows) = 0;
    virtual bool next() = 0;
    virtual bool setRow(int row) = 0;
    // The index of a column, -1 when there is none of that name.
    virtual int findColumn(const std::string& name) const = 0;
    virtual double getDouble(int column) const = 0;
    virtual float getFloat(int column) const = 0;
    virtual int getInt(int column) const = 0;
    virtual short getShort(int column) const = 0;
    virtual long getLong(int column) const = 0;
    virtual char getChar(int column) const = 0;
    virtual bool getBool(int column) const = 0;
    virtual std::string getString(int column) const = 0;
    // The nested tuple of an ITuple column in the current row (while
    // filling: the one being filled); null for other columns.
    virtual ITuple* getTuple(int column) = 0;

    virtual int columns() const = 0;
    virtual std::string columnName(int column) const = 0;
    virtual std::vector<std::string> columnNames() const = 0;
    // Type names of the columns: "double", "float", "int", "short",
    // "long", "char", "boolean", "string", "ITuple".
    virtual std::string columnType(int column) const = 0;
    virtual std::vector<std::string> columnTypes() const = 0;
};

}  // namespace AIDA

#endif
