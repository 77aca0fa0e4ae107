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

// Appends to `text` what the file open as `fd` holds from its position on,
// going on after interruptions; false when a read fails.
bool readAll(int fd, std::string& text);

// Writes what `write` writes to the regular file `fd` (writing in turn from
// where it stands) over the file from its start, so that every name of the
// file shows it; `old` is what the file holds now. The file is neither cut
// nor grown until all of it is written and synced; when a write fails, the
// bytes of `old` that were overwritten are put back and the file is cut to
// its old length, which needs no room or size beyond what the file had.
// False on a failure.
bool overwriteInPlace(int fd, const std::string& old, const std::function<bool(int fd)>& write);

// Replaces the file `path` by what `write` writes to the descriptor it is
// given (true when it wrote everything). A link is followed: its target is
// replaced (a dangling one gets its target created) and the link stays. The
// new content is written beside the file under a short temporary name and
// renamed over it, so readers see the old file or the new one; it keeps the
// old file's mode and, where the process may set them, owner and group. A
// file the process may not write is never replaced. Where the folder takes
// no new entry but the file may be read and written, the file is rewritten
// in place (overwriteInPlace), so a failure leaves it as it was. False when
// nothing was replaced or the rewrite in place failed.
bool replaceFile(const std::string& path, const std::function<bool(int fd)>& write);

#endif
