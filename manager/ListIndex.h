#ifndef ZARN_MANAGER_LISTINDEX_H
#define ZARN_MANAGER_LISTINDEX_H

#include <cstddef>

// The manager's own helpers; not part of its interface.
namespace mesgrave {

// Whether `index` names one of the `size` entries of a list (the indices
// that callers and flow files give are plain ints, possibly negative).
inline bool inList(int index, size_t size) { return index >= 0 && static_cast<size_t>(index) < size; }

}  // namespace mesgrave

#endif
