#ifndef ZARN_MODULES_COMMON_FILES_FILEWRITE_H
#define ZARN_MODULES_COMMON_FILES_FILEWRITE_H

#include <cstddef>
#include <functional>
#include <string>

// Writing whole files. Safe on any thread; each call works on its own
// descriptors.

// Writes all `size` bytes to `fd`, going on after interruptions and short
// writes; false when a write fails.
bool writeAll(int fd, const void* data, size_t size);
bool writeAll(int fd, const std::string& text);

// Replaces the file `path` by what `write` writes to the descriptor it is
// given (true when it wrote everything). A link is followed: its target is
// replaced (a dangling one gets its target created) and the link stays. The
// new content is written beside the file under a short temporary name and
// renamed over it, so readers see the old file or the new one; it keeps the
// old file's mode and, where the process may set them, owner and group. A
// file the process may not write is never replaced. Where the folder takes
// no new entry but the file may be written, the file is rewritten in place.
// False when nothing was replaced or the rewrite in place failed.
bool replaceFile(const std::string& path, const std::function<bool(int fd)>& write);

#endif
