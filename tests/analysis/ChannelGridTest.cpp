// The channel grid's numbering and names, without an AIDA system.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ChannelGrid.h"

namespace {

ChannelGrid grid(const std::vector<unsigned int>& radices, const std::vector<std::string>& labels = {}) {
    ChannelGrid made("/Histograms");
    made.dimension = radices;
    made.labels = labels;
    return made;
}

TEST(ChannelGrid, AddressAndIndexAreMixedRadixWithTheLastDigitFastest) {
    ChannelGrid g = grid({3, 4, 2});
    EXPECT_EQ(24u, g.objectCount());
    EXPECT_EQ(14u, g.IndexFromAddress({1, 3, 0}));
    EXPECT_EQ((std::vector<unsigned int>{1, 3, 0}), g.AddressFromIndex(14));
    for (unsigned int j = 0; j < 24; ++j) EXPECT_EQ(j, g.IndexFromAddress(g.AddressFromIndex(j)));
    EXPECT_EQ(1u, grid({}).objectCount());
    EXPECT_EQ(0u, grid({3, 0}).objectCount());
}

TEST(ChannelGrid, FoldersAndSuffixesFollowTheLabels) {
    struct Case {
        std::vector<unsigned int> radices;
        std::vector<std::string> labels;
        unsigned int index;
        std::string folder;
        std::string suffix;
    } cases[] = {
        {{3, 4, 2}, {"Module", "Channel"}, 14, "/Histograms/h/Module01/Channel03", "_Module01_Channel03_x00"},
        {{3, 4, 1}, {"Module", "Channel"}, 7, "/Histograms/h/Module01", "_Module01_Channel03"},
        {{1, 1}, {}, 0, "/Histograms", ""},
        {{}, {}, 0, "/Histograms", ""},
        {{200}, {}, 150, "/Histograms/h", "_x150"},
        {{2, 1, 3}, {"a"}, 5, "/Histograms/h/a01", "_a01_x02"},
    };
    for (const Case& c : cases) {
        ChannelGrid g = grid(c.radices, c.labels);
        std::string folder, suffix;
        g.placeOf(c.index, "h", folder, suffix);
        EXPECT_EQ(c.folder, folder) << c.index;
        EXPECT_EQ(c.suffix, suffix) << c.index;
    }
}

TEST(ChannelGrid, AddressesThatDoNotFitGiveChannelZero) {
    ChannelGrid g = grid({3, 4, 2});
    testing::internal::CaptureStdout();
    EXPECT_EQ(14, g.setAddress({1, 3, 0}, "h"));
    EXPECT_EQ(0, g.setAddress({1, 5, 0}, "h"));
    // A digit equal to its radix is one past it, not the next channel's first.
    EXPECT_EQ(0, g.setAddress({1, 4, 0}, "h"));
    EXPECT_EQ(0, g.setAddress({1, 3}, "h"));
    EXPECT_EQ("h: Dimension mismatch! : 5 >= 4\nh: Dimension mismatch! : 4 >= 4\n",
              testing::internal::GetCapturedStdout());
}

TEST(ChannelGrid, RefusesNegativeRadicesAndSetsTooLargeToNumber) {
    ChannelGrid g = grid({});
    testing::internal::CaptureStdout();
    EXPECT_TRUE(g.acceptDimensions({128, 256}, "h"));
    EXPECT_FALSE(g.acceptDimensions({128, 257}, "h"));
    EXPECT_FALSE(g.acceptDimensions({2, static_cast<unsigned int>(-3)}, "h"));
    EXPECT_FALSE(g.acceptDimensions({65536, 65536, 65536}, "h"));
    EXPECT_TRUE(g.acceptDimensions({0, 100000}, "h"));
    EXPECT_EQ("h: Dimension refused: more than 32768 objects.\n"
              "h: Dimension refused: -3 is negative.\n"
              "h: Dimension refused: more than 32768 objects.\n",
              testing::internal::GetCapturedStdout());
}

}  // namespace
