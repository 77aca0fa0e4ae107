#ifndef AIDA_ITUPLEFACTORY_H
#define AIDA_ITUPLEFACTORY_H

#include <string>
#include <vector>

namespace AIDA {

class ITuple;

// Creates tuples in the tree that the factory was made for. A path is
// relative to the tree's current folder unless it begins with '/'. The
// tree owns what is created.
class ITupleFactory {
public:
    virtual ~ITupleFactory() {}

    // A tuple with the named columns of the given type names; null when a
    // type is unknown or the lists differ in length.
    virtual ITuple* create(const std::string& path, const std::string& title,
                           const std::vector<std::string>& columnNames,
                           const std::vector<std::string>& columnTypes, const std::string& options = "") = 0;
    // A tuple from a column description text such as
    // "int n = 0; double x, y; ITuple hits = { float e }"; null when the
    // text does not parse.
    virtual ITuple* create(const std::string& path, const std::string& title, const std::string& columns,
                           const std::string& options = "") = 0;
};

}  // namespace AIDA

#endif
