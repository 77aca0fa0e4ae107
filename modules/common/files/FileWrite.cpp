#include "FileWrite.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <vector>

namespace {

// Links followed at most, as the system does.
const int kMaxLinks = 40;

// The folder part of `path`, "." for a bare name.
std::string folderOf(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The name that `path` finally stands for once its links are followed; it
// need not exist. False for a loop of links or a link that cannot be read.
bool followLinks(std::string path, std::string& target) {
    for (int hops = 0; hops <= kMaxLinks; ++hops) {
        struct stat info;
        if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            target = path;
            return true;
        }
        std::vector<char> text(PATH_MAX + 1);
        ssize_t length = readlink(path.c_str(), text.data(), text.size());
        if (length <= 0 || static_cast<size_t>(length) >= text.size()) return false;
        std::string next(text.data(), static_cast<size_t>(length));
        path = next[0] == '/' ? next : folderOf(path) + "/" + next;
    }
    return false;
}

// A new, empty file in `folder` under a short name of its own; -1 with
// errno set when the folder takes none.
int createTemporary(const std::string& folder, std::string& created) {
    static std::atomic<unsigned int> serial{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        created = folder + "/." + std::to_string(getpid()) + "." + std::to_string(++serial % 100000) + ".tmp";
        int fd = open(created.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// Gives the new file what the old one was: owner and group where allowed,
// then the mode (a change of owner may clear set-id bits).
bool takeOver(int fd, const struct stat& old) {
    if (fchown(fd, old.st_uid, old.st_gid) != 0) (void)!fchown(fd, static_cast<uid_t>(-1), old.st_gid);
    return fchmod(fd, old.st_mode & 07777) == 0;
}

// Puts back what an overwrite that got `reached` bytes far changed: the
// overwritten bytes of `old`, and its length if the file grew. Those
// offsets took a write a moment ago, so this works under the same limits.
void restore(int fd, const std::string& old, uint64_t reached) {
    size_t overwritten = static_cast<size_t>(std::min<uint64_t>(reached, old.size()));
    if (lseek(fd, 0, SEEK_SET) != 0 || !writeAll(fd, old.data(), overwritten)) return;
    if (reached > old.size()) (void)!ftruncate(fd, static_cast<off_t>(old.size()));
    (void)!fsync(fd);
}

// Rewrites the file open as `fd` in place from what it holds now.
bool rewriteInPlace(int fd, const std::function<bool(int)>& write) {
    std::string old;
    return readAll(fd, old) && overwriteInPlace(fd, old, write);
}

}  // namespace

bool writeAll(int fd, const void* data, size_t size) {
    const char* next = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t written = ::write(fd, next, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        next += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

bool writeAll(int fd, const std::string& text) { return writeAll(fd, text.data(), text.size()); }

bool readAll(int fd, std::string& text) {
    char chunk[65536];
    for (;;) {
        ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return false;
        if (got == 0) return true;
        text.append(chunk, static_cast<size_t>(got));
    }
}

bool overwriteInPlace(int fd, const std::string& old, const std::function<bool(int fd)>& write) {
    if (lseek(fd, 0, SEEK_SET) != 0) return false;
    bool written = write(fd);
    off_t end = lseek(fd, 0, SEEK_CUR);
    // Without the position, all of the old text goes back.
    uint64_t reached = end >= 0 ? static_cast<uint64_t>(end) : UINT64_MAX;
    bool shrinks = reached < old.size();
    if (!written || end < 0 || fsync(fd) != 0 || (shrinks && ftruncate(fd, end) != 0)) {
        restore(fd, old, reached);
        return false;
    }
    // Once cut, the old text may no longer fit under the limits: a failed
    // sync now can only be reported.
    return !shrinks || fsync(fd) == 0;
}

bool replaceFile(const std::string& path, const std::function<bool(int fd)>& write) {
    std::string target;
    if (path.empty() || !followLinks(path, target)) return false;
    // Opening the old file for writing is the test that it may be replaced;
    // a rewrite in place also needs to read it.
    const int flags = O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    int old = open(target.c_str(), O_RDWR | flags);
    bool readable = old >= 0;
    if (old < 0 && errno == EACCES) old = open(target.c_str(), O_WRONLY | flags);
    if (old < 0 && errno != ENOENT) return false;
    struct stat oldInfo;
    if (old >= 0 && (fstat(old, &oldInfo) != 0 || !S_ISREG(oldInfo.st_mode))) {
        close(old);
        return false;
    }
    std::string temporary;
    int fd = createTemporary(folderOf(target), temporary);
    if (fd < 0) {
        bool rewritten = readable && (errno == EACCES || errno == EPERM) && rewriteInPlace(old, write);
        if (old >= 0 && close(old) != 0) rewritten = false;
        return rewritten;
    }
    if (old >= 0) close(old);
    bool written = (old < 0 || takeOver(fd, oldInfo)) && write(fd) && fsync(fd) == 0;
    if (close(fd) != 0) written = false;
    if (written && rename(temporary.c_str(), target.c_str()) == 0) return true;
    unlink(temporary.c_str());
    return false;
}
