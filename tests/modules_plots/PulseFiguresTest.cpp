// The pulse figures and the info labels that the pulse plots write into
// their annotations.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "PulseFigures.h"

namespace {

TEST(PulseFigures, PedestalHeightAndPosition) {
    std::vector<double> long_pulse(40, 1.0);
    long_pulse[35] = 100.0;  // beyond the pedestal samples, but the maximum
    long_pulse[0] = 9.0;
    double nan = std::nan("");
    struct Case {
        const char* what;
        std::vector<double> samples;
        double pedestal;
        double height;
        size_t maxPos;
    } cases[] = {
        {"halving average", {2, 4, 10, 4}, 5.25, 10, 2},
        {"all negative", {-1, -2, -3, -1}, -1.625, 0, 0},
        {"two equal maxima", {1, 5, 5, 2}, 3, 5, 1},
        {"one sample", {7}, 7, 7, 0},
        {"no samples", {}, 0, 0, 0},
        // 9 halved 29 times with ones: the first sample has all but gone.
        {"30 samples at most", long_pulse, 1.0 + 8.0 / (1 << 29), 100, 35},
        {"NaN is no maximum", {nan, 3, nan}, nan, 3, 1},
    };
    for (const Case& c : cases) {
        PulseFigures figures = measurePulse(c.samples);
        if (std::isnan(c.pedestal))
            EXPECT_TRUE(std::isnan(figures.pedestal)) << c.what;
        else
            EXPECT_DOUBLE_EQ(c.pedestal, figures.pedestal) << c.what;
        EXPECT_EQ(c.height, figures.height) << c.what;
        EXPECT_EQ(c.maxPos, figures.maxPos) << c.what;
    }
}

TEST(PulseFigures, TextsAreIntegerPartsWithErrorZero) {
    EXPECT_EQ("-1 0", figureText(-1.0));
    EXPECT_EQ("0 0", figureText(-0.5));
    EXPECT_EQ("-3 0", figureText(-3.9));
    EXPECT_EQ("5 0", figureText(5.25));
    EXPECT_EQ("0 0", figureText(std::nan("")));
    EXPECT_EQ("9223372036854775807 0", figureText(1e30));
    EXPECT_EQ("-9223372036854775808 0", figureText(-1e30));
    EXPECT_EQ("70000 0", figureText(static_cast<size_t>(70000)));
    EXPECT_EQ("2.25 0", infoValueText(2.25));
    EXPECT_EQ("1.23457e+07 0", infoValueText(12345678));
}

TEST(PulseFigures, InfoLabelsGiveKeysAndIndices) {
    struct Case {
        const char* text;
        std::vector<std::string> keys;
        std::vector<int> indices;
    } cases[] = {
        {"FW-Max=0, FW-Time=2", {"fit.param.FW-Max", "fit.param.FW-Time"}, {0, 2}},
        {"", {}, {}},
        {"a,", {"fit.param.a"}, {0}},
        {",a", {"fit.param.", "fit.param.a"}, {0, 0}},
        {" .;x=-3,;. ", {"fit.param.x", "fit.param."}, {-3, 0}},
        {"12", {"fit.param.12"}, {12}},
        {"z= 7abc=4", {"fit.param.z"}, {7}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> keys = {"old"};
        std::vector<int> indices = {9};
        parseInfoLabels(c.text, keys, indices);
        EXPECT_EQ(c.keys, keys) << c.text;
        EXPECT_EQ(c.indices, indices) << c.text;
    }
    std::vector<std::string> keys;
    std::vector<int> indices;
    parseInfoLabels(nullptr, keys, indices);
    EXPECT_TRUE(keys.empty() && indices.empty());
}

}  // namespace
