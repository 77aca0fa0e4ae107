#ifndef ZARN_CORE_STRINGSTORE_H
#define ZARN_CORE_STRINGSTORE_H

// A value that can render itself as text. Event records derive from it, so
// the core's converters can print a record without knowing what it is.
// Separately built plug-ins rely on its table holding str() alone: it has
// no virtual destructor, and is never deleted through this type.
// Threads: whichever thread owns the object.
class stringstore {
public:
    // The object as text; the characters stay valid until the next str()
    // on the same object or its destruction.
    virtual const char* str() = 0;

protected:
    ~stringstore() = default;
};

#endif
