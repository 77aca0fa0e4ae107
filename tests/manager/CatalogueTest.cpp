// The plug-in and example catalogue, each scenario in a fresh process with
// its own environment (the scan runs once per process).

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "MgTestSupport.h"

namespace {

typedef std::vector<std::string> Lines;

class Catalogue : public testing::Test {
protected:
    void SetUp() override { dir_ = tk::makeScratchDir(); }
    void TearDown() override { tk::removeTree(dir_); }

    // The driver's output lines, asserted to end with exit status 0.
    Lines run(const std::vector<std::string>& args, const std::vector<std::string>& env) {
        mgtest::ChildResult result = mgtest::runChild(MG_CATALOGUE_DRIVER, args, env, dir_);
        EXPECT_EQ(0, result.exitStatus) << result.output;
        return tk::splitLines(result.output);
    }

    // The catalogue lines of entries below the scratch directory, with its
    // path written as S, so that system directories do not matter.
    Lines scratchEntries(const Lines& lines) {
        Lines entries;
        for (std::string line : lines) {
            if (line.compare(0, 7, "plugin ") != 0 && line.compare(0, 8, "example ") != 0) continue;
            bool below = false;
            for (size_t at = line.find(dir_); at != std::string::npos; at = line.find(dir_)) {
                line.replace(at, dir_.size(), "S");
                below = true;
            }
            if (below) entries.push_back(line);
        }
        return entries;
    }

    void touch(const std::string& relative) { tk::writeFile(dir_ + "/" + relative, "x\n"); }

    std::string dir_;
};

struct SearchPathCase {
    std::vector<std::string> env;
    Lines dirs;
};

TEST_F(Catalogue, SearchDirectoriesComeFromTheEnvironmentInOrderWithoutRepeats) {
    std::string name4086(4086, 'n');
    name4086[0] = '/';
    std::string name4085(4085, 'n');
    name4085[0] = '/';
    const SearchPathCase cases[] = {
        {{"ZARN_INSTALL=/a:/b/", "LD_LIBRARY_PATH=/b::/a/"}, {"dir /a/", "dir /b/", "dir /usr/lib/", "dir /lib/"}},
        {{}, {"dir /usr/lib/", "dir /lib/"}},
        {{"DYLD_LIBRARY_PATH=:/d:", "LD_LIBRARY_PATH=/usr/lib:/usr//lib/:rel"},
         {"dir /d/", "dir /usr/lib/", "dir /usr//lib/", "dir rel/", "dir /lib/"}},
        // A directory of 4087 characters with its '/' ends its variable.
        {{"ZARN_INSTALL=/x:" + name4086 + ":/y", "LD_LIBRARY_PATH=/z"},
         {"dir /x/", "dir /z/", "dir /usr/lib/", "dir /lib/"}},
        {{"ZARN_INSTALL=" + name4085 + ":/y"}, {"dir " + name4085 + "/", "dir /y/", "dir /usr/lib/", "dir /lib/"}},
    };
    for (const SearchPathCase& c : cases) EXPECT_EQ(c.dirs, run({"paths"}, c.env)) << c.dirs[0];
}

TEST_F(Catalogue, ScanFindsPluginsAndExamplesSortedByDirectoryNameThenName) {
    for (const char* dir : {"lib", "alpha", "flows", "lib/Dir.zlk"}) mgtest::makeDir(dir_ + "/" + dir);
    for (const char* file : {"lib/Corvane.zlk", "lib/Twin.zlk", "lib/Stepper.zlk", "lib/Stepper.so", "lib/readme",
                             "lib/gaussian.mivet", "lib/Histo.zlk.bak", "lib/zlk", "alpha/Twin.zlk", "flows/abs.mivet"})
        touch(file);
    mgtest::makeLink("../mods/Linked.zlk", dir_ + "/lib/Linked.zlk");
    mgtest::makeLink(dir_ + "/flows/abs.mivet", dir_ + "/lib/abs.mivet");

    Lines lines = run({"scan"}, {"ZARN_INSTALL=" + dir_ + "/lib:" + dir_ + "/alpha/"});
    EXPECT_EQ(Lines({"plugin Twin|S/alpha/|S/alpha|alpha", "plugin Stepper|S/lib/|S/lib|lib",
                     "plugin Twin|S/lib/|S/lib|lib", "plugin zlk|S/lib/|S/lib|lib", "plugin Linked|S/lib/|../mods|mods",
                     "example abs.mivet|S/flows|flows", "example gaussian.mivet|S/lib|lib"}),
              scratchEntries(lines));
    EXPECT_EQ("New manager", lines.at(0));
    EXPECT_EQ("New manager done", lines.at(1));
    EXPECT_EQ("Delete manager done", lines.back());
}

TEST_F(Catalogue, RelativeSearchDirectoryGivesRelativePaths) {
    mgtest::makeDir(dir_ + "/lib");
    touch("lib/Counter.zlk");
    Lines lines = run({"scan"}, {"ZARN_INSTALL=lib"});
    EXPECT_NE(lines.end(), std::find(lines.begin(), lines.end(), "plugin Counter|lib/|lib|lib"));
}

TEST_F(Catalogue, SecondManagerOfAProcessDoesNotScanAgain) {
    mgtest::makeDir(dir_ + "/lib");
    touch("lib/First.zlk");
    Lines lines = run({"twice", dir_ + "/lib/Later.zlk"}, {"ZARN_INSTALL=" + dir_ + "/lib"});
    EXPECT_EQ(Lines({"plugin First|S/lib/|S/lib|lib"}), scratchEntries(lines));
    EXPECT_EQ(2, std::count(lines.begin(), lines.end(), "New manager done"));
}

TEST_F(Catalogue, PluginFoundThroughARelativeLinkedDirectoryLoads) {
    mgtest::makeDir(dir_ + "/plugins");
    mgtest::makeLink(std::string(ZARN_TEST_PLUGINS) + "/MgEmpty.zlk", dir_ + "/plugins/MgEmpty.zlk");
    Lines lines = run({"make", "MgEmpty"}, {"ZARN_INSTALL=plugins"});
    EXPECT_EQ(Lines({"New manager", "New manager done", "Loading: MgEmpty", "i instantiated", "made i",
                     "Delete manager", "MgEmpty delObject i", "i deleted", "Delete manager done", "Unloading: MgEmpty"}),
              lines);
}

}  // namespace
