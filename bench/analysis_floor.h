#ifndef ZARN_BENCH_ANALYSIS_FLOOR_H
#define ZARN_BENCH_ANALYSIS_FLOOR_H

#include <string>
#include <vector>

// The floor of the analysis benchmark: reads the event file by hand,
// applies the cut "first element of `cutName` > `threshold`" and counts
// every element of `fillName` into `bins` equal bins from `low` to `high`
// (plus underflow and overflow). Returns the records read, -1 on a bad file.
struct FloorCounts {
    std::vector<long> bins;  // underflow, bins, overflow
    long fills = 0;
};
long runFloor(const std::string& path, const std::string& cutName, int threshold, const std::string& fillName,
              int bins, double low, double high, FloorCounts& counts);

#endif
