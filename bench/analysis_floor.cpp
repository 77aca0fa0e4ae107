#include "analysis_floor.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <algorithm>

namespace {

// Reads a file through one large buffer.
class Reader {
public:
    explicit Reader(const std::string& path) : file(std::fopen(path.c_str(), "rb")), buffer(1 << 20) {}
    ~Reader() {
        if (file) std::fclose(file);
    }
    bool ok() const { return file != nullptr; }

    bool take(void* out, size_t size) {
        char* to = static_cast<char*>(out);
        while (size > 0) {
            if (next == end && !refill()) return false;
            size_t part = std::min(size, end - next);
            std::memcpy(to, buffer.data() + next, part);
            next += part;
            to += part;
            size -= part;
        }
        return true;
    }
    template <class T> bool get(T& value) { return take(&value, sizeof value); }
    bool word(std::string& out) {
        out.clear();
        char c;
        while (get(c) && c != ' ') out += c;
        return !out.empty();
    }

private:
    bool refill() {
        next = 0;
        end = std::fread(buffer.data(), 1, buffer.size(), file);
        return end > 0;
    }

    FILE* file;
    std::vector<char> buffer;
    size_t next = 0;
    size_t end = 0;
};

template <class T> bool readVector(Reader& in, std::vector<T>& values) {
    uint16_t count;
    if (!in.get(count)) return false;
    values.resize(count);
    return in.take(values.data(), count * sizeof(T));
}

// The bins of a histogram from `low` to `high` with under- and overflow.
struct Binning {
    int bins;
    double low, high, width;
};

// Fills every value of [begin, end) with weight 1 into the cells and the
// in-range total. A function of its own so that the loop keeps its figures
// in registers: spilled to the stack, their reloads collide with the stores
// into the cells in some stack layouts (the same address within a 4 KiB
// page) and the loop runs a third slower in those processes only.
__attribute__((noinline)) void fillCells(const short* begin, const short* end, const Binning& binning,
                                         long* cellCounts, FloorSums* cellSums, FloorSums& total) {
    const int bins = binning.bins;
    const double low = binning.low, high = binning.high, width = binning.width;
    FloorSums inRange = total;
    for (const short* value = begin; value != end; ++value) {
        double x = *value;
        int cell;
        if (x < low) {
            cell = 0;
        } else if (x >= high) {
            cell = bins + 1;
        } else {
            cell = 1 + static_cast<int>((x - low) / width);
            if (cell > bins) cell = bins;
        }
        const double w = 1.0;
        ++cellCounts[cell];
        cellSums[cell].add(x, w);
        if (cell != 0 && cell != bins + 1) inRange.add(x, w);
    }
    total = inRange;
}

}  // namespace

long runFloor(const std::string& path, const std::string& cutName, int threshold, const std::string& fillName,
              int bins, double low, double high, FloorCounts& counts) {
    Reader in(path);
    uint32_t magic;
    uint16_t declared;
    if (!in.ok() || !in.get(magic) || magic != 0xFE022012u || !in.get(declared)) return -1;
    std::vector<uint8_t> types(declared);
    int cutIndex = -1, fillIndex = -1;
    for (int i = 0; i < declared; ++i) {
        std::string name;
        int32_t binCount;
        double range[2];
        if (!in.word(name) || !in.get(types[i]) || !in.get(binCount) || !in.take(range, sizeof range)) return -1;
        if (name == cutName) cutIndex = i;
        if (name == fillName) fillIndex = i;
    }
    uint16_t marker;
    if (!in.get(marker) || marker != 0xDEAD || cutIndex < 0 || fillIndex < 0) return -1;

    counts.bins.assign(bins + 2, 0);
    counts.sums.assign(bins + 2, FloorSums());
    counts.total = FloorSums();
    counts.fills = 0;
    const Binning binning = {bins, low, high, (high - low) / bins};
    std::vector<int> ints;
    std::vector<short> shorts;
    std::vector<short> fill;
    int cut = 0;
    long records = 0;
    for (;;) {
        for (int i = 0; i < declared; ++i) {
            uint16_t index;
            if (!in.get(index)) return records;
            bool read = false;
            switch (types[i]) {
                case 7: read = in.get(cut); break;
                case 10: { double value; read = in.get(value); break; }
                case 20: read = readVector(in, i == fillIndex ? fill : shorts); break;
                case 21:
                    read = readVector(in, ints);
                    if (read && i == cutIndex && !ints.empty()) cut = ints[0];
                    break;
                default: return -1;
            }
            if (!read) return -1;
        }
        if (!in.get(marker) || marker != 0xE0FE) return -1;
        ++records;
        if (!(cut > threshold)) continue;
        // What a histogram keeps for fills of weight 1: per bin and in total.
        fillCells(fill.data(), fill.data() + fill.size(), binning, counts.bins.data(), counts.sums.data(),
                  counts.total);
        counts.fills += static_cast<long>(fill.size());
    }
}
