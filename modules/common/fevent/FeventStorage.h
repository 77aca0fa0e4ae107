#ifndef ZARN_MODULES_COMMON_FEVENT_FEVENTSTORAGE_H
#define ZARN_MODULES_COMMON_FEVENT_FEVENTSTORAGE_H

namespace fevent {

// Value storage of a property of type code `type`, as the readers create it:
// zero scalars, empty strings and vectors, a zeroed text buffer of
// kTextCapacity bytes for vorn_cstring; null for types without a stored
// value. Free it with deleteStorage and the same type.
void* newStorage(int type);
void deleteStorage(int type, void* storage);

}  // namespace fevent

#endif
