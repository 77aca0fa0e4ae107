#ifndef AIDA_IANNOTATION_H
#define AIDA_IANNOTATION_H

#include <string>

namespace AIDA {

// Key and value texts attached to a histogram, data point set or tuple,
// in the order they were added. Sticky items survive a reset.
class IAnnotation {
public:
    virtual ~IAnnotation() {}

    // Adds an item; false when the key exists already.
    virtual bool addItem(const std::string& key, const std::string& value, bool sticky = false) = 0;
    // Removes an item; false when there is none of that key.
    virtual bool removeItem(const std::string& key) = 0;
    // The value of a key, "" when absent.
    virtual std::string value(const std::string& key) const = 0;
    // Sets the value of a key, adding the item when absent.
    virtual void setValue(const std::string& key, const std::string& value) = 0;
    virtual void setSticky(const std::string& key, bool sticky) = 0;
    virtual int size() const = 0;
    // Key and value of item `index` (0 .. size()-1), "" outside.
    virtual std::string key(int index) const = 0;
    virtual std::string value(int index) const = 0;
    // Removes every item that is not sticky.
    virtual void reset() = 0;
};

}  // namespace AIDA

#endif
