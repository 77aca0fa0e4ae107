#include "eventfile_floor.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

const char* const kNames[] = {"d0", "d1", "d2", "d3", "d4", "i0", "i1", "i2", "i3", "v"};
const int8_t kTypes[] = {10, 10, 10, 10, 10, 7, 7, 7, 7, 20};

[[noreturn]] void fail(const std::string& path) {
    std::perror(path.c_str());
    std::exit(1);
}

template <class T> void put(const T& value, FILE* file) { std::fwrite(&value, sizeof value, 1, file); }

// Reads with or without the stream's lock around each call.
template <bool locked> size_t readBytes(void* out, size_t size, FILE* file) {
    return locked ? std::fread(out, 1, size, file) : fread_unlocked(out, 1, size, file);
}

template <bool locked, class T> void take(T& value, FILE* file, const std::string& path) {
    if (readBytes<locked>(&value, sizeof value, file) != sizeof value) fail(path);
}

template <bool locked> int takeByte(FILE* file) { return locked ? std::fgetc(file) : getc_unlocked(file); }

template <bool locked> void takeToken(FILE* file) {
    int c;
    while ((c = takeByte<locked>(file)) != ' ' && c != EOF) {
    }
}

template <bool locked> long readRecords(const std::string& path) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) fail(path);
    uint32_t magic;
    uint16_t count, marker;
    take<locked>(magic, file, path);
    take<locked>(count, file, path);
    for (int k = 0; k < count; ++k) {
        takeToken<locked>(file);
        char binning[21];
        take<locked>(binning, file, path);
    }
    take<locked>(marker, file, path);
    BenchRecord record;
    long records = 0;
    for (int c; (c = takeByte<locked>(file)) != EOF; ++records) {
        std::ungetc(c, file);  // locks in both forms, once a record
        uint16_t index, expected = 0;
        for (int k = 0; k < 5; ++k, ++expected) {
            take<locked>(index, file, path);
            if (index != expected) fail(path);
            take<locked>(record.d[k], file, path);
        }
        for (int k = 0; k < 4; ++k, ++expected) {
            take<locked>(index, file, path);
            if (index != expected) fail(path);
            take<locked>(record.i[k], file, path);
        }
        take<locked>(index, file, path);
        if (index != expected) fail(path);
        uint16_t size;
        take<locked>(size, file, path);
        record.v.resize(size);
        size_t bytes = size * sizeof(short);
        if (readBytes<locked>(record.v.data(), bytes, file) != bytes) fail(path);
        take<locked>(marker, file, path);
        if (marker != 0xE0FE) fail(path);
    }
    std::fclose(file);
    return records;
}

}  // namespace

void floorWrite(const std::string& path, long records, bool flushEachRecord) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) fail(path);
    put(uint32_t(0xFE022012u), file);
    put(uint16_t(10), file);
    for (int k = 0; k < 10; ++k) {
        std::fputs(kNames[k], file);
        std::fputc(' ', file);
        put(kTypes[k], file);
        put(int32_t(0), file);
        put(0.0, file);
        put(0.0, file);
    }
    put(uint16_t(0xDEAD), file);
    BenchRecord record;
    for (long r = 0; r < records; ++r) {
        record.fill(r);
        uint16_t index = 0;
        for (int k = 0; k < 5; ++k, ++index) put(index, file), put(record.d[k], file);
        for (int k = 0; k < 4; ++k, ++index) put(index, file), put(record.i[k], file);
        put(index, file);
        put(uint16_t(record.v.size()), file);
        std::fwrite(record.v.data(), sizeof(short), record.v.size(), file);
        put(uint16_t(0xE0FE), file);
        if (flushEachRecord && std::fflush(file) != 0) fail(path);
    }
    if (std::fclose(file) != 0) fail(path);
}

long floorRead(const std::string& path, bool lockEachRead) {
    return lockEachRead ? readRecords<true>(path) : readRecords<false>(path);
}
