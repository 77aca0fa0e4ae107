// Every example flow of flows/ run by torvask as a process, from the source
// tree as the README runs them, and the copies of flows/ in build/Base.

#include <dirent.h>

#include <algorithm>
#include <map>

#include "fm_flow_run.h"

namespace docs {
namespace {

const std::string kFlows = std::string(ZARN_SOURCE_DIR) + "/flows";

// What a flow needs beyond torvask and the plug-ins, and a line of its
// output that shows it did its work. Flows not named here need nothing.
struct FlowSetUp {
    bool testAida = false;        // run with -a naming the test AIDA system
    std::string before;           // a flow run first in the same directory
    std::string shows;            // a piece of the standard output
};

const std::map<std::string, FlowSetUp>& setUps() {
    static const std::map<std::string, FlowSetUp> table = {
        {"gaussian.mivet", {false, "", "gauss: 11.1123\n"}},
        {"halves.mivet", {false, "", "Stop()\n"}},
        {"text-pipeline.mivet", {false, "", "run 2: energy 7.25, hits 8\n"}},
        {"pashtin.mivet", {false, "", "numberer: Runnnning command \"cat -n\"\n"}},
        {"events-write.mivet", {false, "", "writer closed.\n"}},
        {"events-read.mivet", {false, "events-write.mivet", "record with count 5\nrecords read: 5\n"}},
        {"transform.mivet", {false, "", "failed, twice = 4 \npassed: count 3, twice 6\n"}},
        {"histogram.mivet", {true, "", "Writing histograms.dump.\nWritten.\n"}},
        {"graph.mivet", {false, "", "window: 10.6081 10.641 9.28792 11.1592 \n"}},
        {"pulses.mivet", {false, "", "height 110 at sample 13, integral 351\n"}},
        {"xslt.mivet", {false, "", "detector D1: 3 runs, total energy 28.75\n"}},
    };
    return table;
}

// Names of the entries of `dir` (without "." and ".."), sorted.
std::vector<std::string> entries(const std::string& dir) {
    std::vector<std::string> names;
    DIR* d = opendir(dir.c_str());
    if (d == nullptr) return names;
    while (dirent* e = readdir(d)) {
        std::string name = e->d_name;
        if (name != "." && name != "..") names.push_back(name);
    }
    closedir(d);
    std::sort(names.begin(), names.end());
    return names;
}

bool endsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

std::vector<std::string> flowFiles() {
    std::vector<std::string> flows;
    for (const std::string& name : entries(kFlows))
        if (endsWith(name, ".mivet")) flows.push_back(name);
    return flows;
}

class FlowExampleTest : public fm::FlowRunTest, public ::testing::WithParamInterface<std::string> {
protected:
    tk::ChildResult run(const std::string& flow, bool testAida) {
        std::vector<std::string> args;
        if (testAida) args = {"-a", ZARN_TEST_AIDA};
        args.push_back(kFlows + "/" + flow);
        return runTorvask(args);
    }

    // A run that ended by itself, reported nothing on standard error and
    // deleted its instances.
    static void expectNormalEnd(const tk::ChildResult& result) {
        ASSERT_FALSE(result.timedOut);
        EXPECT_EQ(0, result.exitStatus);
        EXPECT_EQ("", result.err);
        EXPECT_NE(std::string::npos, result.out.find("Delete manager done\n")) << result.out;
        EXPECT_EQ(std::string::npos, result.out.find("could not be found")) << result.out;
    }
};

TEST_P(FlowExampleTest, RunsToItsEnd) {
    const std::string& flow = GetParam();
    FlowSetUp setUp;
    auto known = setUps().find(flow);
    if (known != setUps().end()) setUp = known->second;
    if (!setUp.before.empty()) {
        SCOPED_TRACE(setUp.before);
        expectNormalEnd(run(setUp.before, false));
    }
    tk::ChildResult result = run(flow, setUp.testAida);
    expectNormalEnd(result);
    EXPECT_NE(std::string::npos, result.out.find(setUp.shows)) << result.out;
}

std::string testName(const ::testing::TestParamInfo<std::string>& info) {
    std::string name = info.param.substr(0, info.param.size() - 6);
    std::replace_if(name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
    return name;
}

INSTANTIATE_TEST_SUITE_P(Flows, FlowExampleTest, ::testing::ValuesIn(flowFiles()), testName);

TEST(FlowExamples, EveryFlowWithASetUpExists) {
    std::vector<std::string> flows = flowFiles();
    for (const auto& entry : setUps())
        EXPECT_NE(flows.end(), std::find(flows.begin(), flows.end(), entry.first)) << entry.first;
}

TEST(FlowExamples, BuildTreeHoldsACopyOfEveryFlowAndInput) {
    const std::string base = std::string(ZARN_BUILD_DIR) + "/Base";
    std::vector<std::string> files = flowFiles();
    for (const std::string& name : entries(kFlows + "/data")) files.push_back("data/" + name);
    ASSERT_FALSE(files.empty());
    for (const std::string& file : files)
        EXPECT_EQ(tk::readFile(kFlows + "/" + file), tk::readFile(base + "/" + file)) << file;
}

}  // namespace
}  // namespace docs
