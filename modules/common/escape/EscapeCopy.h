#ifndef ZARN_MODULES_COMMON_ESCAPE_ESCAPECOPY_H
#define ZARN_MODULES_COMMON_ESCAPE_ESCAPECOPY_H

#include <string>

namespace vorn {

// The text that a prefix or suffix input stores for `text`: a backslash
// followed by 'n' becomes a line feed, followed by 't' a tab; a backslash
// followed by any other character keeps both characters, and a backslash at
// the end stays. A null `text` gives the empty text. Any thread may call it.
std::string escapeCopy(const char* text);

}  // namespace vorn

#endif
