// The work of the flow Stepper -> Gaussian -> Pennoch written by hand: draws
// normally distributed numbers by the polar method from the unseeded rand(),
// two per pair, and appends each as "%g\n" to a file, flushing after every
// value.
//
//   pipeline_hand <file> <count>

#include <cmath>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: pipeline_hand <file> <count>\n");
        return 2;
    }
    long count = std::atol(argv[2]);
    FILE* file = std::fopen(argv[1], "a");
    if (file == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    const double mean = 10.0, sigma = 1.0;
    bool haveSpare = false;
    double spare = 0;
    for (long i = 0; i < count; ++i) {
        double value;
        if (haveSpare) {
            value = spare;
            haveSpare = false;
        } else {
            double u, v, s;
            do {
                u = rand() / 2147483647.0 * 2 - 1;
                v = rand() / 2147483647.0 * 2 - 1;
                s = v * v + u * u;
            } while (s > 1.0);
            double m = std::sqrt(-2 * std::log(s) / s);
            spare = v * m * sigma + mean;
            haveSpare = true;
            value = u * m * sigma + mean;
        }
        if (std::fprintf(file, "%g\n", value) < 0 || std::fflush(file) != 0) {
            std::perror(argv[1]);
            return 1;
        }
    }
    return std::fclose(file) == 0 ? 0 : 1;
}
