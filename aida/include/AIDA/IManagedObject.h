#ifndef AIDA_IMANAGEDOBJECT_H
#define AIDA_IMANAGEDOBJECT_H

#include <string>

namespace AIDA {

// An object that an ITree holds: histograms, data point sets, tuples.
// Threads: as the AIDA system that made it.
class IManagedObject {
public:
    virtual ~IManagedObject() {}

    // The object's name: the last part of its path in the tree.
    virtual std::string name() const = 0;
    // This object seen as the named interface, or null when it is none.
    virtual void* cast(const std::string& className) const = 0;
};

}  // namespace AIDA

#endif
