#ifndef AIDA_IBASEHISTOGRAM_H
#define AIDA_IBASEHISTOGRAM_H

#include <string>

namespace AIDA {

class IAnnotation;

// What every histogram, cloud and profile has: a title, an annotation and
// a count of entries. Objects held by a tree are also IManagedObjects.
class IBaseHistogram {
public:
    virtual ~IBaseHistogram() {}

    virtual std::string title() const = 0;
    virtual bool setTitle(const std::string& title) = 0;
    virtual IAnnotation& annotation() = 0;
    virtual const IAnnotation& annotation() const = 0;
    // Number of axes: 1 for an IHistogram1D, 2 for an IHistogram2D.
    virtual int dimension() const = 0;
    // Empties all bins and statistics; the binning stays.
    virtual bool reset() = 0;
    // Entries inside the range.
    virtual int entries() const = 0;
    // This object seen as the named interface, or null when it is none.
    virtual void* cast(const std::string& className) const = 0;
};

}  // namespace AIDA

#endif
