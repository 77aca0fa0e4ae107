#ifndef AIDA_ITREEFACTORY_H
#define AIDA_ITREEFACTORY_H

#include <string>

namespace AIDA {

class ITree;

// Creates trees. The caller may delete a tree that it got; whether
// memory trees are shared between callers is the AIDA system's choice.
class ITreeFactory {
public:
    virtual ~ITreeFactory() {}

    // A tree held in memory.
    virtual ITree* create() = 0;
    // A tree backed by the store `storeName` of type `storeType` (a file
    // format the AIDA system offers); null when it cannot be made.
    virtual ITree* create(const std::string& storeName, const std::string& storeType = "", bool readOnly = false,
                          bool createNew = false, const std::string& options = "") = 0;
};

}  // namespace AIDA

#endif
