// Entities in every XML input of Ostrevin and Ferrund: internal ones are
// bounded in how far they expand, external ones are never fetched, neither
// from a file nor from the network.

#include <unistd.h>

#include <algorithm>

#include "XmSupport.h"

namespace xm {
namespace {

enum Flow { kOstrevin, kFerrund };

// Ostrevin gets the stylesheet `first` and the document `second`; Ferrund
// the source `first` and the target file `second` (none when empty).
struct Case {
    const char* what;
    Flow flow;
    std::string first, second;
    std::string expected;
};

class XmlEntitiesTest : public XmFlowTest {
protected:
    tk::ChildResult runCase(const Case& c);
};

const std::string kXslNamespace = "xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\"";
const std::string kDeclaration = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n";

// A text stylesheet whose template holds `body`, after the document type
// declaration `doctype`.
std::string textStylesheet(const std::string& body, const std::string& doctype = "") {
    return "<?xml version=\"1.0\"?>" + doctype + "<xsl:stylesheet version=\"1.0\" " + kXslNamespace +
           "><xsl:output method=\"text\"/><xsl:template match=\"/\">" + body +
           "</xsl:template></xsl:stylesheet>";
}
const std::string kShowRoot = textStylesheet("<xsl:value-of select=\"/r\"/>");

// One internal entity of 20,000 characters referenced 50,000 times: 170 kB
// that stand for 10^9 characters.
std::string quadraticEntities() { return "<!ENTITY e \"" + std::string(20000, 'x') + "\">"; }
std::string quadraticReferences() {
    std::string text;
    for (int i = 0; i < 50000; ++i) text += "&e;";
    return text;
}

// 10,000 characters, 500 times in one entity.
std::string wideEntities() {
    std::string twice;
    for (int i = 0; i < 500; ++i) twice += "&a;";
    return "<!ENTITY a \"" + std::string(10000, 'x') + "\"><!ENTITY b \"" + twice + "\">";
}

// Ten characters, multiplied by ten at each of `levels` levels.
std::string laughEntities(int levels) {
    std::string entities = "<!ENTITY l0 \"lollollol!\">";
    for (int level = 1; level <= levels; ++level) {
        entities += "<!ENTITY l" + std::to_string(level) + " \"";
        for (int i = 0; i < 10; ++i) entities += "&l" + std::to_string(level - 1) + ";";
        entities += "\">";
    }
    return entities;
}

std::string document(const std::string& entities, const std::string& content, const std::string& root = "r") {
    return "<?xml version=\"1.0\"?><!DOCTYPE " + root + " [" + entities + "]><" + root + ">" + content + "</" +
           root + ">";
}

std::string ostrevinFlow() {
    return stepper(1) + feed("style", "style.xsl") + feed("xml", "in.xml") +
           module("Ostrevin", "ostrevin", {"XSLTtext style text", "XMLtext xml text"}) + display("ostrevin output");
}

std::string ferrundFlow() {
    return stepper(1) + feed("source", "source.xml") +
           module("Ferrund", "ferrund", {"XMLfile \"target.xml\"", "xpath \"/log/entry\"", "XMLtext source text"});
}

const std::string kSource = "<?xml version=\"1.0\"?><log><entry>new</entry></log>";
const std::string kTarget = "<?xml version=\"1.0\"?><log><entry>old</entry></log>";

tk::ChildResult XmlEntitiesTest::runCase(const Case& c) {
    if (c.flow == kOstrevin) {
        write("style.xsl", c.first);
        write("in.xml", c.second);
        return run(ostrevinFlow());
    }
    write("source.xml", c.first);
    if (c.second.empty())
        unlink(path("target.xml").c_str());
    else
        write("target.xml", c.second);
    return run(ferrundFlow());
}

// The line that refuses an input whose text has `size` bytes.
std::string refusal(const std::string& module, const std::string& input, size_t size) {
    return module + ": entities in " + input + " would expand beyond " +
           std::to_string(std::max<size_t>(1 << 20, 10 * size)) + " characters; refused\n";
}

TEST_F(XmlEntitiesTest, EntitiesThatExpandTooFarAreRefusedWithALine) {
    const std::string quadratic = document(quadraticEntities(), quadraticReferences());
    // 11 kB for 10^7 characters: the parser itself stops only deeper nests.
    const std::string wide = document(wideEntities(), "&b;&b;");
    const std::string laughs = document(laughEntities(9), "&l9;");
    const std::string quadraticStyle = textStylesheet(quadraticReferences(), "<!DOCTYPE xsl:stylesheet [" +
                                                                                 quadraticEntities() + "]>");
    const std::string quadraticLog =
        document(quadraticEntities(), "<entry>" + quadraticReferences() + "</entry>", "log");
    const std::string wideLog = document(wideEntities(), "<entry>&b;&b;</entry>", "log");
    const std::string laughLog = document(laughEntities(9), "<entry>&l9;</entry>", "log");
    const std::string target = "XML target file target.xml";

    const Case cases[] = {
        {"Ostrevin, quadratic XMLtext", kOstrevin, kShowRoot, quadratic,
         refusal("ostrevin", "XMLtext", quadratic.size())},
        {"Ostrevin, wide XMLtext", kOstrevin, kShowRoot, wide, refusal("ostrevin", "XMLtext", wide.size())},
        // The parser stops a billion laughs itself: nothing to refuse.
        {"Ostrevin, laughing XMLtext", kOstrevin, kShowRoot, laughs, ""},
        {"Ostrevin, quadratic XSLTtext", kOstrevin, quadraticStyle, "<r/>",
         refusal("ostrevin", "XSLTtext", quadraticStyle.size())},
        {"Ferrund, quadratic XMLtext", kFerrund, quadraticLog, kTarget,
         refusal("ferrund", "XMLtext", quadraticLog.size())},
        {"Ferrund, wide XMLtext", kFerrund, wideLog, kTarget, refusal("ferrund", "XMLtext", wideLog.size())},
        {"Ferrund, laughing XMLtext", kFerrund, laughLog, kTarget, ""},
        {"Ferrund, quadratic target", kFerrund, kSource, quadraticLog, refusal("ferrund", target, quadraticLog.size())},
        {"Ferrund, wide target", kFerrund, kSource, wideLog, refusal("ferrund", target, wideLog.size())},
        {"Ferrund, laughing target", kFerrund, kSource, laughLog,
         "ferrund: Not a properly formed XML file: target.xml\n"},
        // Without a target the source alone would become the file.
        {"Ferrund, quadratic XMLtext, no target", kFerrund, quadraticLog, "",
         refusal("ferrund", "XMLtext", quadraticLog.size())},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.expected, runOutput(runCase(c).out));
        // Ferrund writes nothing.
        if (c.flow == kFerrund) {
            EXPECT_EQ(c.second, read("target.xml"));
        }
    }
}

TEST_F(XmlEntitiesTest, EntitiesUsedAFewTimesAreAccepted) {
    const std::string entities = "<!ENTITY who \"World\"><!ENTITY hi \"Hello &who;\">";
    write("style.xsl", textStylesheet("<xsl:value-of select=\"concat(/r, '&who;')\"/>",
                                      "<!DOCTYPE xsl:stylesheet [" + entities + "]>"));
    write("in.xml", document(entities, "&hi;, &hi;, &hi;!"));
    EXPECT_EQ("[Hello World, Hello World, Hello World!World]\n", runOutput(run(ostrevinFlow()).out));

    write("source.xml", document(entities, "<entry>&hi;</entry>", "log"));
    write("target.xml", kTarget);
    EXPECT_EQ("", runOutput(run(ferrundFlow()).out));
    EXPECT_NE(std::string::npos, read("target.xml").find("<entry>&hi;<entry>old</entry></entry>"));
}

// An external entity naming a local file and one naming a URL of a
// listener: the file's text never appears and nobody connects.
TEST_F(XmlEntitiesTest, ExternalEntitiesAreNeverFetched) {
    Listener listener;
    write("secret.txt", "SECRET");
    const std::string external = "<!ENTITY file SYSTEM \"file://" + path("secret.txt") + "\"><!ENTITY net SYSTEM \"" +
                                 listener.url("entity.txt") + "\">";
    const std::string style = textStylesheet("<xsl:value-of select=\"/r\"/>|&file;|&net;|",
                                             "<!DOCTYPE xsl:stylesheet [" + external + "]>");
    const std::string withEntities = document(external, "<entry>&file;&net;</entry>", "log");
    const Case cases[] = {
        {"Ostrevin, XMLtext", kOstrevin, kShowRoot, document(external, "a&file;b&net;c"), ""},
        {"Ostrevin, XSLTtext", kOstrevin, style, "<r>a</r>", ""},
        {"Ferrund, XMLtext", kFerrund, withEntities, kTarget, ""},
        {"Ferrund, target", kFerrund, kSource, withEntities, ""},
        {"Ferrund, XMLtext, no target", kFerrund, withEntities, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(std::string::npos, runCase(c).out.find("SECRET"));
        EXPECT_FALSE(listener.wasContacted());
        if (c.flow != kFerrund) continue;
        EXPECT_NE("", read("target.xml"));
        EXPECT_EQ(std::string::npos, read("target.xml").find("SECRET"));
    }
}

}  // namespace
}  // namespace xm
