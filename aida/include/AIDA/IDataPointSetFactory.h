#ifndef AIDA_IDATAPOINTSETFACTORY_H
#define AIDA_IDATAPOINTSETFACTORY_H

#include <string>

namespace AIDA {

class IDataPointSet;

// Creates data point sets in the tree that the factory was made for.
// A path is relative to the tree's current folder unless it begins with
// '/'; its last part names the object. The tree owns what is created.
class IDataPointSetFactory {
public:
    virtual ~IDataPointSetFactory() {}

    // An empty set whose points have `dimOfPoints` coordinates; null when
    // the path cannot be used.
    virtual IDataPointSet* create(const std::string& path, const std::string& title, int dimOfPoints) = 0;
    // As above with the path's last part as the title.
    virtual IDataPointSet* create(const std::string& pathAndTitle, int dimOfPoints) = 0;
    virtual IDataPointSet* createCopy(const std::string& path, const IDataPointSet& dataPointSet) = 0;
    // Removes the set from its tree and deletes it.
    virtual bool destroy(IDataPointSet* dataPointSet) = 0;
};

}  // namespace AIDA

#endif
