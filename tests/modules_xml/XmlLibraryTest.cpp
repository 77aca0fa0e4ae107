// Ostrevin and Ferrund side by side in one process: the XML libraries'
// global clean-up when the last instance of one module goes leaves the
// other module's instances working.

#include <sys/resource.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include <libxml/xmlmemory.h>

#include "Corvane.h"
#include "XmSupport.h"
#include "pluginHandle.h"

namespace xm {
namespace {

// Keeps the texts that arrive on its one input.
class Collector : public Corvane {
public:
    Collector() : Corvane(nullptr, "collector") {
        inputs.push_back(Corvane::Input("text", CORVANE_HANDLER(&Collector::take), vorn_string, "Kept"));
    }
    void take(void* value) { texts += *static_cast<std::string*>(value) + "|"; }
    std::string texts;
};

class XmlLibraryTest : public ::testing::Test {
protected:
    void SetUp() override {
        scratch = tk::makeScratchDir();
        for (pluginHandle* handle : {&ostrevinPlugin, &ferrundPlugin}) {
            handle->SetPath(std::string(ZARN_BUILD_DIR) + "/lib/");
            handle->Load();
            ASSERT_NE(nullptr, handle->newObject);
        }
    }
    void TearDown() override { tk::removeTree(scratch); }

    Corvane* make(pluginHandle& plugin, std::string name) {
        Corvane* module = plugin.newObject(name);
        module->Init();
        return module;
    }
    Corvane* ostrevin(const std::string& name) {
        Corvane* module = make(ostrevinPlugin, name);
        std::string style = "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">"
                            "<xsl:output method=\"text\"/><xsl:template match=\"/\">" +
                            name + ":<xsl:value-of select=\"/r\"/></xsl:template></xsl:stylesheet>";
        module->SetInput("XSLTtext", &style[0]);
        module->AddReceiver(0, &collector, 0);
        return module;
    }
    void transform(Corvane* module, std::string xml) { module->SetInput("XMLtext", &xml[0]); }
    Corvane* ferrund() {
        Corvane* module = make(ferrundPlugin, "ferrund");
        std::string file = scratch + "/log.xml";
        std::string xpath = "/log/entry";
        module->SetInput("XMLfile", &file[0]);
        module->SetInput("xpath", &xpath[0]);
        return module;
    }
    void merge(Corvane* module, const std::string& entry) {
        std::string xml = "<?xml version=\"1.0\"?><log><entry>" + entry + "</entry></log>";
        module->SetInput("XMLtext", &xml[0]);
    }
    std::string log() { return tk::readFile(scratch + "/log.xml"); }

    pluginHandle ostrevinPlugin{"Ostrevin", nullptr, nullptr, nullptr};
    pluginHandle ferrundPlugin{"Ferrund", nullptr, nullptr, nullptr};
    Collector collector;
    std::string scratch;
};

TEST_F(XmlLibraryTest, CleanUpOfOneModuleLeavesTheOtherWorking) {
    Corvane* first = ostrevin("first");
    Corvane* second = ostrevin("second");
    Corvane* merger = ferrund();
    transform(first, "<r>1</r>");
    merge(merger, "a");

    ostrevinPlugin.delObject(first);
    transform(second, "<r>2</r>");
    // The last Ostrevin shuts the libraries down; Ferrund goes on.
    ostrevinPlugin.delObject(second);
    merge(merger, "b");
    EXPECT_EQ("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<log>\n  <entry>b<entry>a</entry></entry>\n</log>\n", log());

    Corvane* third = ostrevin("third");
    transform(third, "<r>3</r>");
    ferrundPlugin.delObject(merger);
    transform(third, "<r>4</r>");
    ostrevinPlugin.delObject(third);
    EXPECT_EQ("first:1|second:2|third:3|third:4|", collector.texts);
}

long peakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

// 170 kB whose one entity, referenced 50,000 times, stands for 10^9
// characters: refused before anything expands it.
TEST_F(XmlLibraryTest, AQuadraticDocumentIsRefusedWithinLittleMemory) {
    std::string references;
    for (int i = 0; i < 50000; ++i) references += "&e;";
    std::string xml = "<?xml version=\"1.0\"?><!DOCTYPE r [<!ENTITY e \"" + std::string(20000, 'x') + "\">]><r>" +
                      references + "</r>";
    Corvane* module = ostrevin("quadratic");
    long before = peakMegabytes();
    transform(module, xml);
    EXPECT_LT(peakMegabytes() - before, 200);
    EXPECT_TRUE(collector.texts.empty()) << collector.texts.size() << " characters sent";
    ostrevinPlugin.delObject(module);
}

// While set, libxml2's allocations of more than 64 MB fail.
std::atomic<bool> starving{false};
const size_t kLargestAllocation = 64 << 20;
void* starvedMalloc(size_t size) { return starving && size > kLargestAllocation ? nullptr : std::malloc(size); }
void* starvedRealloc(void* memory, size_t size) {
    return starving && size > kLargestAllocation ? nullptr : std::realloc(memory, size);
}
char* plainStrdup(const char* text) { return strdup(text); }

// A transformation whose string outgrows the memory it may have would give
// a result cut short: nothing is sent.
TEST_F(XmlLibraryTest, ATransformThatRunsOutOfMemorySendsNothing) {
    xmlFreeFunc freeBefore;
    xmlMallocFunc mallocBefore;
    xmlReallocFunc reallocBefore;
    xmlStrdupFunc strdupBefore;
    xmlMemGet(&freeBefore, &mallocBefore, &reallocBefore, &strdupBefore);
    xmlMemSetup(std::free, starvedMalloc, starvedRealloc, plainStrdup);

    Corvane* module = make(ostrevinPlugin, "starved");
    std::string style = "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">"
                        "<xsl:output method=\"text\"/><xsl:template match=\"/\">len=<xsl:value-of select="
                        "\"string-length(concat(/r, /r, /r, /r, /r, /r, /r, /r, /r, /r))\"/></xsl:template>"
                        "</xsl:stylesheet>";
    module->SetInput("XSLTtext", &style[0]);
    module->AddReceiver(0, &collector, 0);
    transform(module, "<r>abc</r>");
    EXPECT_EQ("len=30|", collector.texts);

    starving = true;
    transform(module, "<r>" + std::string(8 << 20, 'x') + "</r>");
    starving = false;
    EXPECT_EQ("len=30|", collector.texts);
    ostrevinPlugin.delObject(module);
    xmlMemSetup(freeBefore, mallocBefore, reallocBefore, strdupBefore);
}

}  // namespace
}  // namespace xm
