// Wexlo under torvask: pulses given directly and taken from event records
// are written to numbered files until the limit, channels are selected by
// another property, and files that cannot be written are reported.

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "AnSupport.h"

namespace {

using an::Aida;

using an::expectRan;

bool exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

std::string direct(const std::string& pulses, const std::string& settings) {
    return "PuPulses src\n\tpulses \"" + pulses + "\"\n" + "Wexlo w\n\tsignal src pulse\n" + settings;
}

TEST(Wexlo, PulsesAreWrittenUntilTheLimit) {
    an::FlowRun run;
    tk::ChildResult result = run.run(direct("1,2 7,-1 3", "\tfilename \"pulse\"\n\tnum_dumps \"2\"\n"), Aida::None);
    expectRan(result);
    EXPECT_EQ("0\t1\n1\t2\n", tk::readFile(run.file("pulse000.dat")));
    EXPECT_EQ("0\t7\n1\t65535\n", tk::readFile(run.file("pulse001.dat")));
    EXPECT_FALSE(exists(run.file("pulse002.dat")));
    EXPECT_EQ(std::vector<std::string>{"w: written 2 files."}, an::linesWith(result.out, "w: "));
    EXPECT_EQ(1u, an::linesWith(result.out, "w instantiated").size());
    EXPECT_EQ(std::vector<std::string>{"Wexlo weg"}, an::linesWith(result.out, "weg"));
}

TEST(Wexlo, WithoutALimitNothingIsWrittenAndEmptyPulsesAreIgnored) {
    for (const std::string& settings : {std::string("\tnum_dumps \"0\"\n"), std::string()}) {
        an::FlowRun run;
        tk::ChildResult result = run.run(direct("- 1 2", settings + "\tfilename \"p\"\n"), Aida::None);
        expectRan(result);
        EXPECT_EQ((std::vector<std::string>{"w: written 0 files.", "w: written 0 files."}),
                  an::linesWith(result.out, "w: "));
        EXPECT_FALSE(exists(run.file("p000.dat")));
    }
}

TEST(Wexlo, NumbersGrowToFourDigits) {
    an::FlowRun run;
    std::string pulses = "9";
    for (int i = 1; i < 1001; ++i) pulses += " 9";
    tk::ChildResult result = run.run(direct(pulses, "\tnum_dumps \"1001\"\n\tfilename \"p\"\n"), Aida::None);
    expectRan(result);
    EXPECT_EQ("0\t9\n", tk::readFile(run.file("p999.dat")));
    EXPECT_EQ("0\t9\n", tk::readFile(run.file("p1000.dat")));
    EXPECT_FALSE(exists(run.file("p1001.dat")));
    EXPECT_EQ(std::vector<std::string>{}, an::linesWith(result.out, "w: "));
}

TEST(Wexlo, FilesThatCannotBeWrittenAreReportedAndUseTheirNumber) {
    an::FlowRun run;
    ASSERT_EQ(0, symlink("/dev/full", run.file("full001.dat").c_str()));
    const std::string flow =
        "PuPulses src\n\tpulses \"1 2 3 4\"\n"
        "Wexlo w\n\tsignal src pulse\n\tnum_dumps \"9\"\n\tfilename \"missing/p\"\n"
        "Wexlo v\n\tsignal src pulse\n\tnum_dumps \"2\"\n\tfilename \"full\"\n";
    tk::ChildResult result = run.run(flow, Aida::None);
    expectRan(result);
    EXPECT_EQ((std::vector<std::string>{"w: Couldn't open missing/p000.dat", "w: Couldn't open missing/p001.dat",
                                        "w: Couldn't open missing/p002.dat", "w: Couldn't open missing/p003.dat"}),
              an::linesWith(result.out, "w: "));
    EXPECT_EQ((std::vector<std::string>{"v: Couldn't write full001.dat", "v: written 2 files.",
                                        "v: written 2 files."}),
              an::linesWith(result.out, "v: "));
    EXPECT_EQ("0\t1\n", tk::readFile(run.file("full000.dat")));
}

// Records with a list of pulses, the channel numbers of the pulses and a
// single pulse.
void writeRecords(an::FlowRun& run) {
    an::EventFile file;
    file.declare("pulses", vorn_vector_vector_short);
    file.declare("Channel", vorn_vector_int);
    file.declare("single", vorn_vector_short);
    struct Record {
        std::vector<std::vector<short> > pulses;
        std::vector<int> channel;
        std::vector<short> single;
    } records[] = {
        {{{1}, {2}, {3}}, {3, 17, 17}, {5, 6}},
        {{{4}, {5}}, {17}, {}},
    };
    for (Record& r : records) {
        file.value(&r.pulses);
        file.value(&r.channel);
        file.value(&r.single);
        file.endRecord();
    }
    file.save(run.file("events.fevent"));
}

struct RecordCase {
    std::string lines;
    // The sample of each file written, in file order.
    std::vector<std::string> files;
    std::vector<std::string> messages;
};

TEST(Wexlo, PulsePropertiesAreWrittenPerSelectedChannel) {
    const RecordCase cases[] = {
        // The literal that selects the property writes no file itself.
        {"\tnum_dumps \"9\"\n\tsignal \"pulses\"\n\tselect \"Channel 17\"\n", {"0\t2\n", "0\t3\n", "0\t4\n"}, {}},
        {"\tsignal \"pulses\"\n\tnum_dumps \"9\"\n", {"0\t1\n", "0\t2\n", "0\t3\n", "0\t4\n", "0\t5\n"}, {}},
        {"\tsignal \"pulses\"\n\tnum_dumps \"9\"\n\tselect \"Nope 1\"\n",
         {"0\t1\n", "0\t2\n", "0\t3\n", "0\t4\n", "0\t5\n"},
         {"FlowProperty Nope not found."}},
        {"\tsignal \"pulses\"\n\tnum_dumps \"9\"\n\tselect \"Channel\"\n",
         {"0\t1\n", "0\t2\n", "0\t3\n", "0\t4\n", "0\t5\n"},
         {"w: Selection 'Channel' needs a property and a value, nothing selected."}},
        // A single pulse is not selected; an empty one is not written.
        {"\tsignal \"single\"\n\tnum_dumps \"9\"\n\tselect \"Channel 17\"\n", {"0\t5\n1\t6\n"}, {}},
        {"\tsignal \"nope\"\n\tnum_dumps \"9\"\n", {}, {"FlowProperty nope not found."}},
    };
    for (const RecordCase& c : cases) {
        an::FlowRun run;
        writeRecords(run);
        const std::string flow = "Ambrel src\n\tfilename \"events.fevent\"\n"
                                 "Wexlo w\n\ttavrel src Tavrel\n\tfilename \"p\"\n" + c.lines;
        tk::ChildResult result = run.run(flow, Aida::None);
        expectRan(result);
        std::vector<std::string> files;
        for (int i = 0; i < 10; ++i) {
            std::string path = run.file("p00" + std::to_string(i) + ".dat");
            if (exists(path)) files.push_back(tk::readFile(path));
        }
        EXPECT_EQ(c.files, files) << c.lines;
        std::vector<std::string> messages = an::linesWith(result.out, "w: ");
        for (const std::string& line : an::linesWith(result.out, "not found.")) messages.push_back(line);
        EXPECT_EQ(c.messages, messages) << c.lines;
    }
}

TEST(Wexlo, RecordInputIgnoresValuesThatAreNoRecords) {
    an::FlowRun run;
    const std::string flow =
        "AnValues src\n"
        "\tvalues \"1 2 3\"\n"
        "Wexlo w\n"
        "\ttavrel src raw\n"
        "\tsignal \"x\"\n"
        "\tnum_dumps \"5\"\n";
    for (Aida aida : {Aida::Test, Aida::Castrine, Aida::None}) {
        tk::ChildResult result = run.run(flow, aida);
        expectRan(result);
        EXPECT_EQ(std::vector<std::string>{"w: Input tavrel takes Tavrels only, ignoring a value of type 18."},
                  an::linesWith(result.out, "w: "));
        EXPECT_FALSE(exists(run.file("000.dat")));
    }
}

}  // namespace
