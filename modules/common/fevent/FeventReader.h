#ifndef ZARN_MODULES_COMMON_FEVENT_FEVENTREADER_H
#define ZARN_MODULES_COMMON_FEVENT_FEVENTREADER_H

#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "FeventFormat.h"

namespace fevent {

// A buffered, checked byte source over a file or over memory. Every read
// either delivers all the bytes it was asked for or fails; after the first
// failure the source is no longer good and every later read fails too, so
// a reader never works on bytes it did not get.
// Threads: one thread at a time.
class Source {
public:
    Source();
    ~Source();
    Source(const Source&) = delete;
    Source& operator=(const Source&) = delete;

    // Opens a file for reading; false when it cannot be opened or is a
    // directory.
    bool open(const std::string& path);
    // Reads `size` bytes at `data`, which must outlive the source.
    void openMemory(const void* data, size_t size);
    void close();
    bool isOpen() const { return open_; }
    // Open and no read has failed yet.
    bool good() const { return good_; }

    // Exactly `size` bytes into `out`, or false.
    bool read(void* out, size_t size) {
        if (good_ && size <= static_cast<size_t>(end_ - next_)) {
            std::memcpy(out, next_, size);
            next_ += size;
            return true;
        }
        return readSlow(out, size);
    }
    template <class T> bool get(T& value) { return read(&value, sizeof value); }
    // The next byte without consuming it; -1 (and no longer good) at the end.
    int peek() { return good_ && next_ < end_ ? *next_ : peekSlow(); }
    // Skips white space, then reads characters up to white space or the end;
    // false when no character is left. `out` keeps at most `keep` of them.
    bool token(std::string& out);
    bool token(char* out, size_t keep);
    // True when `size` more bytes can still come; otherwise the source stops
    // being good, as if a read had come up short. Lets a reader refuse a
    // count before it allocates for it.
    bool expect(uint64_t size);

    // Offset of the next byte from the start of the input.
    uint64_t position() const { return bufferStart_ + static_cast<uint64_t>(next_ - buffer_); }
    // Moves to `offset` (at most the current end); false when that fails.
    bool seek(uint64_t offset);
    // Up to `size` bytes, fewer at the end, without failing; the count read.
    size_t readSome(unsigned char* out, size_t size);

private:
    bool readSlow(void* out, size_t size);
    int peekSlow();
    // Refills the buffer at the current position; false at the end.
    bool fill();
    bool fail();
    template <class Keep> bool readToken(Keep keep);

    int fd_;
    bool open_;
    bool good_;
    bool memory_;
    std::vector<unsigned char> storage_;
    const unsigned char* buffer_;
    const unsigned char* next_;
    const unsigned char* end_;
    uint64_t bufferStart_;
    uint64_t size_;
    bool sizeKnown_;
};

// Reading primitives, shared by the readers of every layout. A count is
// `countWidth` bytes (1 or 2); a text is a token, followed by one separator
// character where `separated` is set. Each returns false when the input
// ended or could not hold what a count announced; nothing is allocated for
// a count that the rest of the input cannot hold.
bool readCount(Source& in, unsigned countWidth, size_t& count);
// An index stored as an `Index` (an unsigned integer type).
template <class Index> bool readIndex(Source& in, unsigned& index) {
    Index stored;
    if (!in.get(stored)) return false;
    index = stored;
    return true;
}
bool readText(Source& in, std::string& out, bool separated);
// A text into a buffer of `capacity` bytes: its first capacity - 1
// characters, NUL-terminated.
bool readText(Source& in, char* out, size_t capacity, bool separated);
template <class T> bool readVector(Source& in, std::vector<T>& out, unsigned countWidth);
bool readVector(Source& in, std::vector<bool>& out, unsigned countWidth);
bool readVector(Source& in, std::vector<std::string>& out, unsigned countWidth, bool separated);
template <class T> bool readVector(Source& in, std::vector<std::vector<T> >& out, unsigned countWidth);

template <class T> bool readVector(Source& in, std::vector<T>& out, unsigned countWidth) {
    size_t count;
    if (!readCount(in, countWidth, count) || !in.expect(count * sizeof(T))) return false;
    out.resize(count);
    return count == 0 || in.read(out.data(), count * sizeof(T));
}

template <class T> bool readVector(Source& in, std::vector<std::vector<T> >& out, unsigned countWidth) {
    size_t count;
    if (!readCount(in, countWidth, count) || !in.expect(count * countWidth)) return false;
    out.resize(count);
    for (std::vector<T>& inner : out)
        if (!readVector(in, inner, countWidth)) return false;
    return true;
}

// The current layout.

// Size of the text buffer of a vorn_cstring property.
constexpr size_t kTextCapacity = 256;

// Reads one value of declared type `type` into `storage` (the storage that
// newStorage makes for that type); types without a stored value read
// nothing. False when the input ended.
bool readValue(Source& in, int type, void* storage);

// The types of the names a header has declared so far. Two properties of
// one name would share one storage, so a name may not come with two types.
// Threads: one thread at a time.
class DeclaredTypes {
public:
    // Notes `declaration`; false when its name came before with another type.
    bool add(const Declaration& declaration);

private:
    std::map<std::string, int> typeOf_;
};

// A header as read: how far reading got, and what it found.
struct Header {
    enum Status { ok, truncated, conflict };

    Status status;
    bool countRead;  // `count` holds the number of declarations
    uint16_t count;
    std::vector<Declaration> declarations;
    uint16_t endMarker;  // the two bytes after the declarations
    std::string conflictName;  // a name declared twice with different types
};

// Reads the header that follows the magic. Declarations are kept only as
// they are read, so a huge count in a short file allocates nothing for it.
void readHeader(Source& in, Header& header);

}  // namespace fevent

#endif
