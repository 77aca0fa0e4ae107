#ifndef ZARN_MODULES_COMMON_FEVENT_FEVENTWRITER_H
#define ZARN_MODULES_COMMON_FEVENT_FEVENTWRITER_H

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "FeventFormat.h"

namespace fevent {

// Builds the bytes of an event file in memory: a header, then index/value
// pairs and end markers. The buffer keeps its capacity across clear().
// Threads: one thread at a time.
class Encoder {
public:
    void clear() { bytes_.clear(); }
    const std::string& bytes() const { return bytes_; }

    // The raw bytes of a number.
    template <class T> void put(T value) { bytes_.append(reinterpret_cast<const char*>(&value), sizeof value); }
    // Characters, then one blank.
    void putToken(const char* text, size_t length);
    void putToken(const std::string& text) { putToken(text.data(), text.size()); }
    // The count (the size modulo 65536), then that many leading elements.
    template <class T> void putVector(const std::vector<T>& values);
    void putVector(const std::vector<bool>& values);
    void putVector(const std::vector<std::string>& values);
    template <class T> void putVector(const std::vector<std::vector<T> >& values);

    // A value of property type `type` as a record stores it; `value` points
    // to the property's storage (see vorn_type.h). Types that a record holds
    // no value for append nothing.
    void putValue(int type, const void* value);
    // Magic, count, declarations and the header end marker.
    void putHeader(const std::vector<Declaration>& header);

private:
    static uint16_t countOf(size_t size) { return static_cast<uint16_t>(size & 0xFFFF); }

    std::string bytes_;
};

template <class T> void Encoder::putVector(const std::vector<T>& values) {
    uint16_t count = countOf(values.size());
    put(count);
    if (count > 0) bytes_.append(reinterpret_cast<const char*>(values.data()), count * sizeof(T));
}

template <class T> void Encoder::putVector(const std::vector<std::vector<T> >& values) {
    uint16_t count = countOf(values.size());
    put(count);
    for (uint16_t i = 0; i < count; ++i) putVector(values[i]);
}

// An event file opened for writing. Every write goes to the file at once, so
// a reader sees whole records, and a failed write is taken back, so the file
// ends after the last whole one. Threads: one thread at a time.
class OutputFile {
public:
    OutputFile() : fd_(-1), size_(0) {}
    ~OutputFile() { close(); }
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Creates or truncates `path`; false when that fails.
    bool open(const std::string& path);
    bool isOpen() const { return fd_ >= 0; }
    // Writes all of `bytes`; false on any failure, and then the file is cut
    // back to what it held before the call.
    bool write(const std::string& bytes);
    void close();

private:
    int fd_;
    uint64_t size_;  // bytes of the whole writes so far
};

}  // namespace fevent

#endif
