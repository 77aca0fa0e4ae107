// Ostrevin: XSLT stylesheets applied to XML texts under torvask.

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>

#include "XmSupport.h"

namespace xm {
namespace {

const std::string kXslNamespace = "xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\"";

// A stylesheet of version 1.0 with this root element and content.
std::string stylesheet(const std::string& content, const std::string& root = "xsl:stylesheet",
                       const std::string& version = "1.0") {
    return "<" + root + " version=\"" + version + "\" " + kXslNamespace + ">" + content + "</" + root + ">";
}

const std::string kTextOutput = "<xsl:output method=\"text\"/>";
const std::string kShowName = "<xsl:template match=\"/\"><xsl:value-of select=\"/r/name\"/></xsl:template>";
const std::string kNameDocument = "<?xml version=\"1.0\"?><r><name>World</name></r>";

using OstrevinTest = XmFlowTest;

// The stylesheet style.xsl on Ostrevin's XSLTtext and the files `inputs`
// on its XMLtext, one per step, the results on a Display.
std::string transformFlow(int steps, const std::string& inputs) {
    return stepper(steps) + feed("style", "style.xsl") + feed("xml", inputs) +
           module("Ostrevin", "ostrevin", {"XSLTtext style text", "XMLtext xml text"}) + display("ostrevin output");
}

// What Ostrevin sends for `style` applied to `document`, as the Display shows it.
std::string transformOnce(XmFlowTest& test, const std::string& style, const std::string& document) {
    test.write("style.xsl", style);
    test.write("in.xml", document);
    return runOutput(test.run(transformFlow(1, "in.xml")).out);
}

TEST_F(OstrevinTest, SendsTextOrTheSerialisedDocumentByOutputMethod) {
    write("base.xsl", stylesheet(kTextOutput));
    const struct {
        const char* what;
        std::string style;
        std::string shown;
    } cases[] = {
        {"text method", stylesheet(kTextOutput + kShowName), "[World]\n"},
        {"no output element",
         stylesheet("<xsl:template match=\"/\"><greeting><xsl:value-of select=\"/r/name\"/></greeting></xsl:template>"),
         "[<?xml version=\"1.0\"?>\n<greeting>World</greeting>\n]\n"},
        // The document dump does not follow the other output settings.
        {"xml method with settings",
         stylesheet("<xsl:output method=\"xml\" indent=\"yes\" omit-xml-declaration=\"yes\"/>"
                    "<xsl:template match=\"/\"><a><b><xsl:value-of select=\"/r/name\"/></b></a></xsl:template>"),
         "[<?xml version=\"1.0\"?>\n<a><b>World</b></a>\n]\n"},
        {"xsl:transform root", stylesheet(kTextOutput + kShowName, "xsl:transform"), "[World]\n"},
        {"text method from an import", stylesheet("<xsl:import href=\"base.xsl\"/>" + kShowName), "[World]\n"},
        // Unescaped output stands in text nodes of its own.
        {"escaped and unescaped text",
         stylesheet(kTextOutput +
                    "<xsl:template match=\"/\">a<xsl:value-of select=\"/r/name\" disable-output-escaping=\"yes\"/>"
                    "b<xsl:text>c</xsl:text><xsl:value-of select=\"/r/name\"/></xsl:template>"),
         "[aWorldbcWorld]\n"},
        {"text method, empty result", stylesheet(kTextOutput + "<xsl:template match=\"/\"/>"), ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.shown, transformOnce(*this, c.style, kNameDocument));
    }
}

// A template that calls itself ends at the library's depth limit, with its
// error line, on a 1 MiB stack as on a large one; nothing is sent.
TEST_F(OstrevinTest, EndlessRecursionEndsWithTheLibrarysLineOnASmallStack) {
    write("style.xsl", stylesheet(kTextOutput +
                                  "<xsl:template name=\"loop\"><xsl:param name=\"n\" select=\"0\"/>"
                                  "<xsl:call-template name=\"loop\"><xsl:with-param name=\"n\" select=\"$n + 1\"/>"
                                  "</xsl:call-template></xsl:template>"
                                  "<xsl:template match=\"/\"><xsl:call-template name=\"loop\"/></xsl:template>"));
    write("in.xml", "<r/>");
    for (const char* limits : {"ulimit -s 1024", "ulimit -s unlimited"}) {
        SCOPED_TRACE(limits);
        tk::ChildResult result = runLimited(transformFlow(1, "in.xml"), limits);
        EXPECT_EQ(0, result.exitStatus) << result.termSignal << result.err;
        EXPECT_EQ(0u, result.err.find("runtime error: element call-template\n")) << result.err;
        EXPECT_EQ("", runOutput(result.out));
    }
}

TEST_F(OstrevinTest, TransformsEveryValueAndIgnoresThoseBeforeTheStylesheet) {
    write("style.xsl", stylesheet(kTextOutput + kShowName));
    write("a.xml", "<r><name>a</name></r>");
    write("b.xml", "<r><name>b</name></r>");
    // The first step has no stylesheet to send.
    std::string flow = stepper(3) + feed("style", "missing.xsl style.xsl") + feed("xml", "a.xml b.xml") +
                       module("Ostrevin", "ostrevin", {"XSLTtext style text", "XMLtext xml text"}) +
                       display("ostrevin output");
    tk::ChildResult result = run(flow);
    EXPECT_EQ("[b]\n[a]\n", runOutput(result.out));
    EXPECT_NE(std::string::npos, result.out.find("ostrevin instantiated\n"));
    EXPECT_NE(std::string::npos, result.out.find("ostrevin deleted\n"));
}

// Whatever fails sends nothing and the next value is transformed as usual.
TEST_F(OstrevinTest, BadStylesheetsAndDocumentsSendNothing) {
    write("good.xsl", stylesheet(kTextOutput + kShowName));
    write("broken.xsl", "<xsl:stylesheet version=\"1.0\" " + kXslNamespace + "><xsl:template");
    write("plain.xsl", "<r><name>not a stylesheet</name></r>");
    write("unknown.xsl", stylesheet("<xsl:template match=\"/\"><xsl:value-of select=\"nosuch(1)\"/></xsl:template>"));
    write("stops.xsl",
          stylesheet("<xsl:template match=\"/\"><xsl:message terminate=\"yes\">stop</xsl:message></xsl:template>"));
    write("empty.xsl", "");
    write("good.xml", kNameDocument);
    write("broken.xml", "<r><name>World</name>");
    write("empty.xml", "");
    std::string styles = "broken.xsl plain.xsl unknown.xsl stops.xsl empty.xsl good.xsl good.xsl good.xsl";
    std::string documents = "good.xml good.xml good.xml good.xml good.xml broken.xml empty.xml good.xml";
    std::string flow = stepper(8) + feed("style", styles) + feed("xml", documents) +
                       module("Ostrevin", "ostrevin", {"XSLTtext style text", "XMLtext xml text"}) +
                       display("ostrevin output");
    // Only the last step pairs good.xsl with good.xml.
    tk::ChildResult result = run(flow);
    EXPECT_EQ("[World]\n", runOutput(result.out));
}

// One transformation in the zone `tz`; the "currenttime" parameter as sent.
std::string currentTimeIn(XmFlowTest& test, const std::string& tz) {
    test.write("style.xsl", stylesheet("<xsl:param name=\"currenttime\"/>" + kTextOutput +
                                       "<xsl:template match=\"/\"><xsl:value-of select=\"$currenttime\"/>"
                                       "</xsl:template>"));
    test.write("in.xml", "<r/>");
    return runOutput(test.run(transformFlow(1, "in.xml"), {"TZ=" + tz}).out);
}

TEST_F(OstrevinTest, CurrentTimeIsTheLocalTimeWithItsOffset) {
    const struct {
        const char* tz;  // POSIX zones: the sign is the opposite of the offset's
        const char* offset;
        int offsetMinutes;
    } cases[] = {
        {"UTC0", "+00:00", 0},         {"CET-1", "+01:00", 60},      {"IST-5:30", "+05:30", 330},
        {"TOT-13", "+13:00", 13 * 60}, {"NST3:30", "-03:30", -210}, {"SST11", "-11:00", -660},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tz);
        std::time_t before = std::time(nullptr);
        std::string shown = currentTimeIn(*this, c.tz);
        std::time_t after = std::time(nullptr);
        std::tm local{};
        char sign = 0;
        int hours = 0, minutes = 0, consumed = 0;
        ASSERT_EQ(9, std::sscanf(shown.c_str(), "[%4d-%2d-%2dT%2d:%2d:%2d%c%2d:%2d]\n%n", &local.tm_year, &local.tm_mon,
                                 &local.tm_mday, &local.tm_hour, &local.tm_min, &local.tm_sec, &sign, &hours,
                                 &minutes, &consumed))
            << shown;
        EXPECT_EQ(shown.size(), static_cast<size_t>(consumed)) << shown;
        EXPECT_EQ("[" + shown.substr(1, 19) + c.offset + "]\n", shown);
        // The stamp names the moment of the run.
        local.tm_year -= 1900;
        local.tm_mon -= 1;
        std::time_t stamped = timegm(&local) - c.offsetMinutes * 60;
        EXPECT_LE(before - 1, stamped);
        EXPECT_GE(after + 1, stamped);
    }
}

TEST_F(OstrevinTest, StylesheetsReachNoNetworkAndWriteNoFiles) {
    Listener listener;
    write("local.xml", "<r><name>local</name></r>");
    const struct {
        const char* what;
        std::string style;
        std::string shown;
    } cases[] = {
        {"document() from the network",
         stylesheet(kTextOutput + "<xsl:template match=\"/\">[<xsl:value-of select=\"document('" +
                    listener.url("doc.xml") + "')/r/name\"/>]</xsl:template>"),
         ""},
        {"import from the network", stylesheet("<xsl:import href=\"" + listener.url("style.xsl") + "\"/>" + kShowName),
         ""},
        {"document() of a local file",
         stylesheet(kTextOutput +
                    "<xsl:template match=\"/\"><xsl:value-of select=\"document('local.xml')/r/name\"/></xsl:template>"),
         "[local]\n"},
        {"xsl:document", stylesheet("<xsl:template match=\"/\"><xsl:document href=\"written.txt\" method=\"text\">"
                                    "x</xsl:document>done</xsl:template>",
                                    "xsl:stylesheet", "1.1"),
         ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.shown, transformOnce(*this, c.style, kNameDocument));
        EXPECT_FALSE(listener.wasContacted());
    }
    EXPECT_EQ("", read("written.txt"));
    EXPECT_EQ((std::vector<std::string>{"flow.mivet", "in.xml", "local.xml", "style.xsl"}),
              listDir(work));
}

// Entities that would grow without bound end the parse, in the document
// as in the stylesheet.
TEST_F(OstrevinTest, EntityBombsSendNothing) {
    std::string entities = "<!ENTITY a \"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa\">";
    std::string previous = "a";
    for (char level = 'b'; level <= 'k'; ++level) {
        std::string name(1, level);
        entities += "<!ENTITY " + name + " \"";
        for (int i = 0; i < 10; ++i) entities += "&" + previous + ";";
        entities += "\">";
        previous = name;
    }
    write("bomb.xml", "<?xml version=\"1.0\"?><!DOCTYPE r [" + entities + "]><r><name>&k;</name></r>");
    write("good.xml", kNameDocument);
    write("style.xsl", stylesheet(kTextOutput + kShowName));
    write("bomb.xsl", "<?xml version=\"1.0\"?><!DOCTYPE xsl:stylesheet [" + entities + "]>" +
                          stylesheet(kTextOutput + "<xsl:template match=\"/\">&k;</xsl:template>"));
    std::string flow = stepper(3) + feed("style", "style.xsl style.xsl bomb.xsl") + feed("xml", "bomb.xml good.xml good.xml") +
                       module("Ostrevin", "ostrevin", {"XSLTtext style text", "XMLtext xml text"}) +
                       display("ostrevin output");
    EXPECT_EQ("[World]\n", runOutput(run(flow).out));
}

}  // namespace
}  // namespace xm
