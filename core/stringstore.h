#ifndef ZARN_CORE_STRINGSTORE_H
#define ZARN_CORE_STRINGSTORE_H

#include <string>

// A value that can render itself as text. Event records derive from it, so
// the core's converters can print a record without knowing what it is.
class stringstore {
public:
    virtual ~stringstore() {}
    // The object as text; the result is the caller's copy.
    virtual std::string str() = 0;
};

#endif
