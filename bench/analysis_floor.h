#ifndef ZARN_BENCH_ANALYSIS_FLOOR_H
#define ZARN_BENCH_ANALYSIS_FLOOR_H

#include <string>
#include <vector>

// The floor of the analysis benchmark: reads the event file by hand,
// applies the cut "first element of `cutName` > `threshold`" and counts
// every element of `fillName` into `bins` equal bins from `low` to `high`
// (plus underflow and overflow), keeping the sums a histogram keeps per
// bin and for the in-range total. Returns the records read, -1 on a bad file.
struct FloorSums {
    double weights = 0, squares = 0, xWeights = 0, x2Weights = 0;
    void add(double x, double w) {
        weights += w;
        squares += w * w;
        xWeights += x * w;
        x2Weights += x * x * w;
    }
};
struct FloorCounts {
    std::vector<long> bins;  // underflow, bins, overflow
    std::vector<FloorSums> sums;
    FloorSums total;
    long fills = 0;
};
long runFloor(const std::string& path, const std::string& cutName, int threshold, const std::string& fillName,
              int bins, double low, double high, FloorCounts& counts);

#endif
