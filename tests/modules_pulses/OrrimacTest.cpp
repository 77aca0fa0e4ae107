// Orrimac under torvask: the features of pulses given directly, and of
// pulse properties of event records (one per channel for a list of
// pulses), added to the records that it sends on.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AnSupport.h"

namespace {

using an::Aida;

const std::string kNames = "\tnames \"max_min_ped max_pos int_min_ped\"\n";

using an::expectRan;

// Settings of Orrimac o (flow lines), the pulses sent to it, the lines
// that the settings print and the features shown for each pulse.
struct DirectCase {
    std::string settings;
    std::string pulses;
    std::vector<std::string> printed;
    std::vector<std::string> shown;
};

TEST(Orrimac, FeaturesOfPulsesGivenDirectly) {
    const DirectCase cases[] = {
        {"\tped_len \"2\"\n", "10,10,50,20", {"2"}, {"max_min_ped=40 max_pos=2 int_min_ped=50"}},
        {"\tinverse \"1\"\n\tped_len \"2\"\n", "100,100,20,80", {"2"}, {"max_min_ped=-80 max_pos=2 int_min_ped=-100"}},
        {"", "5,9,9", {}, {"max_min_ped=6.7 max_pos=1 int_min_ped=16.1"}},
        {"", "0,0,0", {}, {"max_min_ped=0 max_pos=0 int_min_ped=0"}},
        {"\tped_len \"0\"\n", "3,8", {"0"}, {"max_min_ped=8 max_pos=1 int_min_ped=11"}},
        // The pedestal is divided by ped_len even for a shorter pulse.
        {"", "1,2,3,4", {}, {"max_min_ped=3 max_pos=3 int_min_ped=6"}},
        {"\tmax_len \"0\"\n\tped_len \"1\"\n", "5,6", {"0", "1"}, {"max_min_ped=-5 max_pos=0 int_min_ped=1"}},
        {"\tmax_len \"0\"\n\tped_len \"1\"\n\tinverse \"1\"\n", "5,6", {"0", "1"},
         {"max_min_ped=1e+32 max_pos=0 int_min_ped=1"}},
        {"\tmax_len \"2\"\n\tped_len \"0\"\n", "1,5,9", {"2", "0"}, {"max_min_ped=5 max_pos=1 int_min_ped=15"}},
        // Samples are unsigned 16-bit numbers.
        {"\tped_len \"0\"\n", "7,-1", {"0"}, {"max_min_ped=65535 max_pos=1 int_min_ped=65542"}},
        {"\tmax_len \"-1\"\n\tped_len \"0\"\n", "1,2", {"65535", "0"}, {"max_min_ped=2 max_pos=1 int_min_ped=3"}},
        // Each pulse replaces the results of the one before.
        {"\tped_len \"0\"\n", "1,3 4,2",
         {"0"},
         {"max_min_ped=3 max_pos=1 int_min_ped=4", "max_min_ped=4 max_pos=0 int_min_ped=6"}},
    };
    for (const DirectCase& c : cases) {
        an::FlowRun run;
        const std::string flow = "PuPulses src\n\tpulses \"" + c.pulses + "\"\n" +
                                 "Orrimac o\n\tsignal src pulse\n" + c.settings +
                                 "PuShow show\n\tfevent o fevent\n" + kNames;
        tk::ChildResult result = run.run(flow, Aida::None);
        expectRan(result);
        std::vector<std::string> lines = tk::splitLines(result.out);
        std::vector<std::string> printed;
        std::vector<std::string> shown;
        for (const std::string& line : lines) {
            if (!line.empty() && line.find_first_not_of("0123456789") == std::string::npos) printed.push_back(line);
            if (line.rfind("show: ", 0) == 0) shown.push_back(line.substr(6));
        }
        EXPECT_EQ(c.printed, printed) << c.settings << c.pulses;
        EXPECT_EQ(c.shown, shown) << c.settings << c.pulses;
        EXPECT_EQ(1u, an::linesWith(result.out, "o instantiated").size());
        EXPECT_EQ(std::vector<std::string>{"Orrimac weg"}, an::linesWith(result.out, "weg"));
    }
}

// Records with an id, a list of pulses (three channels in the first
// record, one in the second), a single pulse and a list of doubles.
void writeRecords(an::FlowRun& run) {
    an::EventFile file;
    file.declare("id", vorn_int);
    file.declare("pulses", vorn_vector_vector_short);
    file.declare("single", vorn_vector_short);
    file.declare("d", vorn_vector_double);
    struct Record {
        int id;
        std::vector<std::vector<short> > pulses;
        std::vector<short> single;
        std::vector<double> d;
    } records[] = {
        {1, {{10, 10, 50, 20}, {5, 9, 9}, {0, 0}}, {10, 10, 50, 20}, {1}},
        {2, {{1, 2}}, {4, 6}, {2}},
    };
    for (Record& r : records) {
        file.value(&r.id);
        file.value(&r.pulses);
        file.value(&r.single);
        file.value(&r.d);
        file.endRecord();
    }
    file.save(run.file("events.fevent"));
}

struct RecordCase {
    std::string signal;
    std::vector<std::string> shown;
    std::string message;
};

TEST(Orrimac, FeaturesOfPulsePropertiesEnrichTheRecords) {
    const RecordCase cases[] = {
        {"pulses",
         {"A id=0 max_min_ped= max_pos= int_min_ped=", "id=1 max_min_ped=40,2,0 max_pos=2,1,0 int_min_ped=50,2,0",
          "id=2 max_min_ped=0.5 max_pos=1 int_min_ped=0"},
         ""},
        {"single",
         {"A id=0 max_min_ped=0 max_pos=0 int_min_ped=0", "id=1 max_min_ped=40 max_pos=2 int_min_ped=50",
          "id=2 max_min_ped=1 max_pos=1 int_min_ped=0"},
         ""},
        {"nope",
         {"A id=0 max_min_ped= max_pos= int_min_ped=", "id=1 max_min_ped= max_pos= int_min_ped=",
          "id=2 max_min_ped= max_pos= int_min_ped="},
         "FlowProperty nope not found."},
        {"d",
         {"A id=0 max_min_ped= max_pos= int_min_ped=", "id=1 max_min_ped= max_pos= int_min_ped=",
          "id=2 max_min_ped= max_pos= int_min_ped="},
         "o: Property d of type 25 cannot reach input signal."},
    };
    for (const RecordCase& c : cases) {
        an::FlowRun run;
        writeRecords(run);
        const std::string flow =
            "Ambrel src\n\tfilename \"events.fevent\"\n"
            "Orrimac o\n\ttavrel src Tavrel\n\tsignal \"" + c.signal + "\"\n\tped_len \"2\"\n"
            "PuShow show\n\tfevent o fevent\n\tnames \"id max_min_ped max_pos int_min_ped\"\n";
        tk::ChildResult result = run.run(flow, Aida::None);
        expectRan(result);
        std::vector<std::string> shown;
        for (const std::string& line : an::linesWith(result.out, "show: ")) shown.push_back(line.substr(6));
        EXPECT_EQ(c.shown, shown) << c.signal;
        if (!c.message.empty()) {
            EXPECT_EQ(std::vector<std::string>{c.message}, an::linesWith(result.out, c.message));
        }
    }
}

TEST(Orrimac, RecordInputIgnoresValuesThatAreNoRecords) {
    an::FlowRun run;
    const std::string flow =
        "AnValues src\n"
        "\tvalues \"1 2 3\"\n"
        "Orrimac o\n"
        "\ttavrel src raw\n"
        "PuShow show\n\tfevent o fevent\n" + kNames;
    for (Aida aida : {Aida::Test, Aida::Castrine, Aida::None}) {
        tk::ChildResult result = run.run(flow, aida);
        expectRan(result);
        EXPECT_EQ(std::vector<std::string>{"o: Input tavrel takes Tavrels only, ignoring a value of type 18."},
                  an::linesWith(result.out, "o: Input"));
        EXPECT_EQ(std::vector<std::string>{}, an::linesWith(result.out, "show: "));
    }
}

}  // namespace
