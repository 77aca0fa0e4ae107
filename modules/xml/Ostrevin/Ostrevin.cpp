#include <pthread.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <iostream>
#include <memory>
#include <string>

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>
#include <libxslt/documents.h>
#include <libxslt/imports.h>
#include <libxslt/security.h>
#include <libxslt/transform.h>
#include <libxslt/xslt.h>
#include <libxslt/xsltInternals.h>

#include "Corvane.h"
#include "XmlEntities.h"
#include "XmlMemory.h"

// Ostrevin applies an XSLT stylesheet, given as text, to each XML text that
// arrives and sends the result as a string: the text of the result for a
// stylesheet with output method "text", else the serialised result
// document. The stylesheet is parsed anew for every XML text and receives
// the parameter "currenttime", the local time as an XPath string literal.
//
// Threads: all calls on the flow thread; each transformation runs on a
// helper thread of its own, joined before the call returns.
class Ostrevin : public Corvane {
public:
    explicit Ostrevin(std::string& instanceName);
    // Shuts the XML libraries down when the last instance goes.
    ~Ostrevin() override;

    // Initialises the XML libraries.
    void Init() override;

    // Keeps the stylesheet text (a std::string); nothing is parsed here.
    void setXSLT(void* value);
    // Rebuilds the "currenttime" parameter from the clock.
    void createParams();
    // Transforms one XML text (a C string) and sends the result; sends
    // nothing when there is no stylesheet yet or anything fails. A text or
    // stylesheet whose entities would expand beyond the bound is refused
    // with a line.
    void processXML(void* value);

    std::string xslt;
    // "currenttime", its value, and the null entry that ends the list.
    const char* params[3];
    std::string currentTime;

private:
    // Whether `doc`, parsed from `size` bytes of `input`, may be used;
    // reports a refusal.
    bool bounded(xmlDocPtr doc, size_t size, const char* input);
    // Applies the stylesheet on a thread with a large stack; null when it
    // fails.
    xmlDocPtr transform(xsltStylesheetPtr style, xmlDocPtr input);
};

namespace {

// Instances alive in this process: the libraries' global state is set up
// by the first and torn down with the last.
xmlmem::LiveInstances liveInstances;
xsltSecurityPrefsPtr securityPrefs = nullptr;
xsltDocLoaderFunc libraryLoader = nullptr;

// Our own parses never fetch from the network and keep entity references
// unexpanded.
constexpr int kParseOptions = XML_PARSE_NONET;

// Documents that a stylesheet pulls in (xsl:import, xsl:include,
// document()) are read like our own: offline, without entity expansion, and
// refused when their entities would expand beyond the bound.
xmlDocPtr loadOffline(const xmlChar* uri, xmlDictPtr dict, int options, void* context, xsltLoadType type) {
    xmlDocPtr doc = libraryLoader(uri, dict, (options | XML_PARSE_NONET) & ~XML_PARSE_NOENT, context, type);
    if (doc == nullptr || xmlmem::expansionBounded(doc)) return doc;
    std::cout << "Ostrevin: " + xmlmem::refusal(reinterpret_cast<const char*>(uri), 0) + "\n" << std::flush;
    xmlFreeDoc(doc);
    return nullptr;
}

// Set by libxml2's errors while a transformation runs on this thread.
// Static TLS, as every plug-in's: it is unloaded at the end of a run.
__attribute__((tls_model("initial-exec"))) thread_local bool ranOutOfMemory = false;

// Notes a lack of memory; other errors are printed as libxml2 would.
void noteError(void*, xmlErrorPtr error) {
    if (error == nullptr) return;
    if (error->code == XML_ERR_NO_MEMORY) ranOutOfMemory = true;
    if (error->message != nullptr) xmlGenericError(xmlGenericErrorContext, "%s", error->message);
}

// Stylesheets may read local files but never the network, and write
// neither files nor directories: their only product is the result text.
// False when the restrictions could not be set up.
bool setUpLibraries() {
    xmlInitParser();
    if (securityPrefs != nullptr) return true;
    securityPrefs = xsltNewSecurityPrefs();
    if (securityPrefs == nullptr) return false;
    xsltSetSecurityPrefs(securityPrefs, XSLT_SECPREF_WRITE_FILE, xsltSecurityForbid);
    xsltSetSecurityPrefs(securityPrefs, XSLT_SECPREF_CREATE_DIRECTORY, xsltSecurityForbid);
    xsltSetSecurityPrefs(securityPrefs, XSLT_SECPREF_READ_NETWORK, xsltSecurityForbid);
    xsltSetSecurityPrefs(securityPrefs, XSLT_SECPREF_WRITE_NETWORK, xsltSecurityForbid);
    xsltSetDefaultSecurityPrefs(securityPrefs);
    libraryLoader = xsltDocDefaultLoader;
    xsltSetLoaderFunc(loadOffline);
    return true;
}

void tearDownLibraries() {
    if (securityPrefs != nullptr) {
        xsltSetLoaderFunc(nullptr);
        xsltSetDefaultSecurityPrefs(nullptr);
        xsltFreeSecurityPrefs(securityPrefs);
        securityPrefs = nullptr;
    }
    xsltCleanupGlobals();
    xmlCleanupParser();
}

struct StylesheetFree {
    void operator()(xsltStylesheetPtr style) const { xsltFreeStylesheet(style); }
};
using xmlmem::Doc;
using Stylesheet = std::unique_ptr<xsltStylesheet, StylesheetFree>;
using xmlmem::XmlText;

// The output method as the stylesheet and its imports declare it.
bool hasTextOutput(xsltStylesheetPtr style) {
    const xmlChar* method;
    XSLT_GET_IMPORT_PTR(method, style, method)
    return method != nullptr && xmlStrEqual(method, reinterpret_cast<const xmlChar*>("text"));
}

// The text of every top-level node of the result; escaped and unescaped
// output leave separate nodes.
bool resultText(xmlDocPtr result, std::string& text) {
    if (result->children == nullptr) return false;
    for (xmlNodePtr node = result->children; node != nullptr; node = node->next) {
        XmlText content(xmlNodeGetContent(node));
        if (content) text += reinterpret_cast<const char*>(content.get());
    }
    return true;
}

bool resultDocument(xmlDocPtr result, std::string& text) {
    xmlChar* dumped = nullptr;
    int length = 0;
    xmlDocDumpMemory(result, &dumped, &length);
    XmlText owned(dumped);
    if (dumped == nullptr || length <= 0) return false;
    text.assign(reinterpret_cast<const char*>(dumped), static_cast<size_t>(length));
    return true;
}

// Local time with its offset from UTC, as in 2026-12-09T14:05:09+01:00;
// fixed digits, whatever the process locale.
std::string localTimeStamp() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    if (localtime_r(&now, &local) == nullptr) return "";
    char stamp[64];
    if (std::strftime(stamp, sizeof stamp, "%Y-%m-%dT%H:%M:%S", &local) == 0) return "";
    long offsetMinutes = local.tm_gmtoff / 60;
    char sign = offsetMinutes < 0 ? '-' : '+';
    offsetMinutes = std::labs(offsetMinutes);
    char zone[32];
    std::snprintf(zone, sizeof zone, "%c%02ld:%02ld", sign, offsetMinutes / 60, offsetMinutes % 60);
    return std::string(stamp) + zone;
}

// One transformation, handed to the helper thread.
struct TransformJob {
    xsltStylesheetPtr style;
    xmlDocPtr input;
    const char** params;
    xmlDocPtr result;
};

// The library's nested template calls (up to its depth limit) need far
// more stack than a small limit on the flow thread leaves.
const size_t kTransformStack = 64 << 20;

// Applies the stylesheet; the result stays null when it fails, libxml2
// running out of memory on the way included (its result would be cut
// short). The error handler is this thread's own.
void* applyStylesheet(void* argument) {
    TransformJob& job = *static_cast<TransformJob*>(argument);
    ranOutOfMemory = false;
    xmlSetStructuredErrorFunc(nullptr, noteError);
    job.result = xsltApplyStylesheet(job.style, job.input, job.params);
    if (job.result != nullptr && ranOutOfMemory) {
        xmlFreeDoc(job.result);
        job.result = nullptr;
    }
    return nullptr;
}

// Runs the job on a thread with a stack of its own size and waits for it;
// false when no such thread could be started.
bool runOnLargeStack(TransformJob& job) {
    pthread_attr_t attributes;
    if (pthread_attr_init(&attributes) != 0) return false;
    pthread_t thread;
    bool started = pthread_attr_setstacksize(&attributes, kTransformStack) == 0 &&
                   pthread_create(&thread, &attributes, applyStylesheet, &job) == 0;
    pthread_attr_destroy(&attributes);
    if (started) pthread_join(thread, nullptr);
    return started;
}

}  // namespace

Ostrevin::Ostrevin(std::string& instanceName) : Corvane(nullptr, "NoName"), params{nullptr, nullptr, nullptr} {
    liveInstances.add();
    name = instanceName;
    description = "Transform XML text using an XSLT stylesheet";
    inputs.push_back(Corvane::Input("XMLtext", CORVANE_HANDLER(&Ostrevin::processXML), vorn_cstring, "The XML text"));
    inputs.push_back(Corvane::Input("XSLTtext", CORVANE_HANDLER(&Ostrevin::setXSLT), vorn_string, "The XSLT text"));
    outputs.push_back(Corvane::Output("output", vorn_string, "The transformed output text"));
    std::cout << name << " instantiated" << std::endl;
}

Ostrevin::~Ostrevin() {
    if (liveInstances.removeIsLast()) tearDownLibraries();
    std::cout << name << " deleted" << std::endl;
}

void Ostrevin::Init() { setUpLibraries(); }

void Ostrevin::setXSLT(void* value) {
    if (value != nullptr) xslt = *static_cast<std::string*>(value);
}

void Ostrevin::createParams() {
    // The quotes make the value an XPath string literal.
    currentTime = "\"" + localTimeStamp() + "\"";
    params[0] = "currenttime";
    params[1] = currentTime.c_str();
    params[2] = nullptr;
}

void Ostrevin::processXML(void* value) {
    if (xslt.empty()) return;
    // Another XML module may have shut the libraries down since Init.
    if (!setUpLibraries()) return;
    Doc styleDoc(xmlmem::parseText(xslt.data(), xslt.size(), kParseOptions));
    if (!styleDoc || !bounded(styleDoc.get(), xslt.size(), "XSLTtext")) return;
    // The stylesheet owns its document once it is built.
    Stylesheet style(xsltParseStylesheetDoc(styleDoc.get()));
    if (!style) return;
    styleDoc.release();

    const char* xml = value != nullptr ? static_cast<const char*>(value) : "";
    const size_t length = std::strlen(xml);
    Doc input(xmlmem::parseText(xml, length, kParseOptions));
    if (!input || !bounded(input.get(), length, "XMLtext")) return;
    Doc result(transform(style.get(), input.get()));
    if (!result) return;

    std::string output;
    bool produced = hasTextOutput(style.get()) ? resultText(result.get(), output)
                                                : resultDocument(result.get(), output);
    if (produced) SendOutput(0, &output);
}

bool Ostrevin::bounded(xmlDocPtr doc, size_t size, const char* input) {
    if (xmlmem::expansionBounded(doc, size)) return true;
    std::cout << name + ": " + xmlmem::refusal(input, size) + "\n" << std::flush;
    return false;
}

xmlDocPtr Ostrevin::transform(xsltStylesheetPtr style, xmlDocPtr input) {
    createParams();
    TransformJob job{style, input, params, nullptr};
    if (!runOnLargeStack(job)) std::cout << name << ": could not start the transformation" << std::endl;
    return job.result;
}

CORVANE_MODULE(Ostrevin)
