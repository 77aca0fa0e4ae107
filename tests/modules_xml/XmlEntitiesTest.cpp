// Entities in every XML input of Ostrevin and Ferrund: internal ones are
// bounded in how far they expand, external ones are never fetched, neither
// from a file nor from the network.

#include <unistd.h>

#include <algorithm>

#include "XmSupport.h"

namespace xm {
namespace {

using XmlEntitiesTest = XmFlowTest;

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
    const std::string quadraticLog = document(quadraticEntities(), "<entry>" + quadraticReferences() + "</entry>", "log");
    const std::string wideLog = document(wideEntities(), "<entry>&b;&b;</entry>", "log");
    const std::string laughLog = document(laughEntities(9), "<entry>&l9;</entry>", "log");

    const struct {
        const char* what;
        std::string style, xml;
        std::string refused;
    } ostrevinCases[] = {
        {"quadratic XMLtext", kShowRoot, quadratic, refusal("ostrevin", "XMLtext", quadratic.size())},
        {"wide XMLtext", kShowRoot, wide, refusal("ostrevin", "XMLtext", wide.size())},
        // The parser stops a billion laughs itself: nothing to refuse.
        {"laughing XMLtext", kShowRoot, laughs, ""},
        {"quadratic XSLTtext", quadraticStyle, "<r/>", refusal("ostrevin", "XSLTtext", quadraticStyle.size())},
    };
    for (const auto& c : ostrevinCases) {
        SCOPED_TRACE(c.what);
        write("style.xsl", c.style);
        write("in.xml", c.xml);
        EXPECT_EQ(c.refused, runOutput(run(ostrevinFlow()).out));
    }

    const struct {
        const char* what;
        std::string source, target;
        std::string refused;
    } ferrundCases[] = {
        {"quadratic XMLtext", quadraticLog, kTarget, refusal("ferrund", "XMLtext", quadraticLog.size())},
        {"wide XMLtext", wideLog, kTarget, refusal("ferrund", "XMLtext", wideLog.size())},
        {"laughing XMLtext", laughLog, kTarget, ""},
        {"quadratic target", kSource, quadraticLog,
         refusal("ferrund", "XML target file target.xml", quadraticLog.size())},
        {"wide target", kSource, wideLog, refusal("ferrund", "XML target file target.xml", wideLog.size())},
        {"laughing target", kSource, laughLog, "ferrund: Not a properly formed XML file: target.xml\n"},
        // Without a target the source alone would become the file.
        {"quadratic XMLtext, no target", quadraticLog, "", refusal("ferrund", "XMLtext", quadraticLog.size())},
    };
    for (const auto& c : ferrundCases) {
        SCOPED_TRACE(c.what);
        write("source.xml", c.source);
        if (c.target.empty())
            unlink(path("target.xml").c_str());
        else
            write("target.xml", c.target);
        EXPECT_EQ(c.refused, runOutput(run(ferrundFlow()).out));
        EXPECT_EQ(c.target, read("target.xml"));
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
    const struct {
        const char* what;
        std::string style, xml;
    } ostrevinCases[] = {
        {"XMLtext", kShowRoot, document(external, "a&file;b&net;c")},
        {"XSLTtext", style, "<r>a</r>"},
    };
    for (const auto& c : ostrevinCases) {
        SCOPED_TRACE(c.what);
        write("style.xsl", c.style);
        write("in.xml", c.xml);
        tk::ChildResult result = run(ostrevinFlow());
        EXPECT_EQ(std::string::npos, result.out.find("SECRET"));
        EXPECT_FALSE(listener.wasContacted());
    }

    const std::string withEntities = document(external, "<entry>&file;&net;</entry>", "log");
    const struct {
        const char* what;
        std::string source, target;
    } ferrundCases[] = {
        {"XMLtext", withEntities, kTarget},
        {"target", kSource, withEntities},
        {"XMLtext, no target", withEntities, ""},
    };
    for (const auto& c : ferrundCases) {
        SCOPED_TRACE(c.what);
        write("source.xml", c.source);
        if (c.target.empty())
            unlink(path("target.xml").c_str());
        else
            write("target.xml", c.target);
        tk::ChildResult result = run(ferrundFlow());
        EXPECT_EQ(std::string::npos, result.out.find("SECRET"));
        EXPECT_NE("", read("target.xml"));
        EXPECT_EQ(std::string::npos, read("target.xml").find("SECRET"));
        EXPECT_FALSE(listener.wasContacted());
    }
}

}  // namespace
}  // namespace xm
