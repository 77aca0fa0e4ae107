#ifndef ZARN_BENCH_EVENTFILE_FLOOR_H
#define ZARN_BENCH_EVENTFILE_FLOOR_H

#include <string>
#include <vector>

// The values of one record of the benchmark: five doubles d0..d4, four ints
// i0..i3 and a vector v of 100 shorts, declared in that (name) order.
struct BenchRecord {
    double d[5];
    int i[4];
    std::vector<short> v;

    BenchRecord() : d(), i(), v(100) {}
    // The values of record `r`.
    void fill(long r) {
        for (int k = 0; k < 5; ++k) d[k] = r * 0.5 + k;
        for (int k = 0; k < 4; ++k) i[k] = static_cast<int>(r) + k;
        for (size_t n = 0; n < v.size(); ++n) v[n] = static_cast<short>(r + n);
    }
};

// The floor: the event file layout written and read with plain fwrite and
// fread, one flush per record as the recorder does (or, for scale, none), and
// reads that each take the stream's lock (or, for scale, do not). Both check
// every index and end marker and exit on failure; read returns the number of
// records.
void floorWrite(const std::string& path, long records, bool flushEachRecord = true);
long floorRead(const std::string& path, bool lockEachRead = true);

#endif
