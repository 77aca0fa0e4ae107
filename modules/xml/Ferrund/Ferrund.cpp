#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlIO.h>
#include <libxml/xpath.h>
#include <libxml/xpathInternals.h>

#include "Corvane.h"
#include "FileWrite.h"
#include "XmlEntities.h"
#include "XmlMemory.h"

// Ferrund merges XML documents that arrive on its input into an XML file:
// copies of the file's nodes that an XPath expression selects (and of the
// siblings that follow them) become the last children of the last node
// that the same expression selects in the arriving document, and the
// result replaces the file, indented and in UTF-8. Without a file the
// arriving document becomes the file; a text that is no XML document is
// appended to the file as a line.
//
// Threads: all calls on the flow thread.
class Ferrund : public Corvane {
public:
    explicit Ferrund(std::string& instanceName);
    // Shuts the XML library down when the last instance goes.
    ~Ferrund() override;

    // Initialises the XML library.
    void Init() override;

    // Handles one text (a std::string): merges an XML document into the
    // file or appends any other text as a line.
    void processXML(void* value);
    // Keeps the file name; a leading $VAR is replaced by the variable.
    void setXMLFile(void* value);
    // Keeps the XPath expression.
    void setXPath(void* value);

    std::string filename;
    std::string xpath;

private:
    void appendLine(const std::string& text);
    void mergeDocument(const std::string& text);
    // Builds the merged document from the source and the file's content;
    // null after reporting why not.
    xmlDocPtr merge(xmlDocPtr source, xmlDocPtr target);
    // Writes `doc` over the file; reports a failure.
    void save(xmlDocPtr doc);
    // Writes `doc` into the file itself, so that all its names show it; on
    // a failure the file keeps `old`, its content before.
    void saveInPlace(xmlDocPtr doc, const std::string& old);
    void report(const std::string& message);
    // Whether `doc`, parsed from `size` bytes of `input`, may be used;
    // reports a refusal.
    bool bounded(xmlDocPtr doc, size_t size, const std::string& input);
};

namespace {

// Instances alive in this process; the last one shuts the library down.
xmlmem::LiveInstances liveInstances;

// Our parses never fetch from the network and keep entity references
// unexpanded.
constexpr int kParseOptions = XML_PARSE_NONET;

struct ContextFree {
    void operator()(xmlXPathContextPtr context) const { xmlXPathFreeContext(context); }
};
struct ObjectFree {
    void operator()(xmlXPathObjectPtr object) const { xmlXPathFreeObject(object); }
};
using xmlmem::Doc;
using Context = std::unique_ptr<xmlXPathContext, ContextFree>;
using Object = std::unique_ptr<xmlXPathObject, ObjectFree>;
using NsList = std::unique_ptr<xmlNsPtr, xmlmem::XmlFree>;
using xmlmem::XmlText;

const xmlChar* xml(const std::string& text) { return reinterpret_cast<const xmlChar*>(text.c_str()); }

std::string firstWord(const std::string& text) {
    const char* blanks = " \t\n\v\f\r";
    size_t begin = text.find_first_not_of(blanks);
    if (begin == std::string::npos) return "";
    return text.substr(begin, text.find_first_of(blanks, begin) - begin);
}

// An XPath context on `doc` that knows the namespaces in `spaces`.
Context contextWith(xmlDocPtr doc, xmlNsPtr* spaces) {
    Context context(xmlXPathNewContext(doc));
    if (context && spaces != nullptr)
        for (xmlNsPtr* space = spaces; *space != nullptr; ++space)
            if ((*space)->prefix != nullptr) xmlXPathRegisterNs(context.get(), (*space)->prefix, (*space)->href);
    return context;
}

// Null when the expression does not evaluate to a node set.
Object evaluate(const std::string& expression, xmlXPathContextPtr context) {
    if (!context) return nullptr;
    Object result(xmlXPathEvalExpression(xml(expression), context));
    if (!result || result->type != XPATH_NODESET) return nullptr;
    return result;
}

bool empty(const Object& nodes) { return nodes->nodesetval == nullptr || nodes->nodesetval->nodeNr == 0; }

// Nodes that may stand among an element's children.
bool isChildKind(xmlNodePtr node) {
    switch (node->type) {
        case XML_ELEMENT_NODE:
        case XML_TEXT_NODE:
        case XML_CDATA_SECTION_NODE:
        case XML_ENTITY_REF_NODE:
        case XML_PI_NODE:
        case XML_COMMENT_NODE: return true;
        default: return false;
    }
}

// The text of `doc` indented in UTF-8, built whole in memory so that every
// write of it is checked (the library's file output reports success after a
// failed write).
bool documentText(xmlDocPtr doc, XmlText& text, size_t& length) {
    xmlChar* dumped = nullptr;
    int size = 0;
    xmlDocDumpFormatMemoryEnc(doc, &dumped, &size, "utf-8", 1);
    text.reset(dumped);
    length = size > 0 ? static_cast<size_t>(size) : 0;
    return dumped != nullptr && size > 0;
}

bool writeDocument(int fd, xmlDocPtr doc) {
    XmlText text;
    size_t length = 0;
    return documentText(doc, text, length) && writeAll(fd, text.get(), length);
}

enum class TargetState { Missing, Unreadable, Open };

// Opens the file for reading without blocking on a pipe or device; only a
// regular file counts as readable.
TargetState openTarget(const std::string& path, int& fd) {
    fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return errno == ENOENT ? TargetState::Missing : TargetState::Unreadable;
    struct stat status;
    if (fstat(fd, &status) == 0 && S_ISREG(status.st_mode)) return TargetState::Open;
    close(fd);
    fd = -1;
    return TargetState::Unreadable;
}

}  // namespace

Ferrund::Ferrund(std::string& instanceName) : Corvane(nullptr, "NoName") {
    liveInstances.add();
    name = instanceName;
    description = "Insert XML nodes into XML documents";
    inputs.push_back(Corvane::Input("XMLtext", CORVANE_HANDLER(&Ferrund::processXML), vorn_string,
                                    "The XML source text conataining the node to be inserted"));
    inputs.push_back(
        Corvane::Input("XMLfile", CORVANE_HANDLER(&Ferrund::setXMLFile), vorn_string, "Path to the XML target file"));
    inputs.push_back(Corvane::Input(
        "xpath", CORVANE_HANDLER(&Ferrund::setXPath), vorn_string,
        "XPath addressing the node in the source and in the target. The node will be inserted after the last node "
        "in the target that matches the xpath expresion. If the target file is not present the complete source "
        "will be written to the newly created file."));
    std::cout << name << " instantiated" << std::endl;
}

Ferrund::~Ferrund() {
    // No document outlives a call, so only a live instance of another XML
    // module can still need the library; it initialises it again.
    if (liveInstances.removeIsLast()) xmlCleanupParser();
    std::cout << name << " deleted" << std::endl;
}

void Ferrund::Init() { xmlInitParser(); }

void Ferrund::setXMLFile(void* value) {
    if (value == nullptr) return;
    filename = *static_cast<std::string*>(value);
    if (filename.empty() || filename[0] != '$') return;
    size_t slash = filename.find('/');
    std::string variable = filename.substr(1, slash == std::string::npos ? std::string::npos : slash - 1);
    const char* setting = std::getenv(variable.c_str());
    std::string rest = slash == std::string::npos ? "" : filename.substr(slash);
    filename = (setting != nullptr ? setting : "") + rest;
}

void Ferrund::setXPath(void* value) {
    if (value != nullptr) xpath = *static_cast<std::string*>(value);
}

void Ferrund::processXML(void* value) {
    static const std::string nothing;
    const std::string& text = value != nullptr ? *static_cast<std::string*>(value) : nothing;
    if (firstWord(text) == "<?xml")
        mergeDocument(text);
    else
        appendLine(text);
}

void Ferrund::appendLine(const std::string& text) {
    // A pipe without a reader fails here instead of stopping the flow.
    int fd = open(filename.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0) {
        report("Could not open/create text file " + filename);
        return;
    }
    // Text and line feed leave in one write where the system allows it.
    std::string line = text + "\n";
    bool written = writeAll(fd, line);
    if (close(fd) != 0 || !written) report("Could not write to text file " + filename);
}

void Ferrund::mergeDocument(const std::string& text) {
    // Another XML module may have shut the library down since Init.
    xmlInitParser();
    Doc source(xmlmem::parseText(text.data(), text.size(), kParseOptions));
    if (!source || !bounded(source.get(), text.size(), "XMLtext")) return;

    int fd;
    TargetState state = openTarget(filename, fd);
    if (state == TargetState::Missing) {
        report("Generating new file: " + filename);
        save(source.get());
        return;
    }
    if (state == TargetState::Unreadable) {
        // Never write over a file that could not be read.
        report("Could not read XML file " + filename);
        return;
    }
    // Blank text between elements is the file's old indentation; dropping
    // it lets the file be indented afresh, while text content stays intact.
    std::string old;
    bool read = readAll(fd, old);
    struct stat status;
    bool linked = fstat(fd, &status) == 0 && status.st_nlink > 1;
    close(fd);
    if (!read) {
        report("Could not read XML file " + filename);
        return;
    }
    Doc target(xmlmem::parseText(old.data(), old.size(), kParseOptions | XML_PARSE_NOBLANKS));
    size_t size = old.size();
    if (!target) {
        report("Not a properly formed XML file: " + filename);
        return;
    }
    if (!bounded(target.get(), size, "XML target file " + filename)) return;
    Doc merged(merge(source.get(), target.get()));
    if (!merged) return;
    if (linked)
        saveInPlace(merged.get(), old);
    else
        save(merged.get());
}

void Ferrund::saveInPlace(xmlDocPtr doc, const std::string& old) {
    int fd = open(filename.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        report("Could not write XML file " + filename);
        return;
    }
    bool written = overwriteInPlace(fd, old, [doc](int out) { return writeDocument(out, doc); });
    if (close(fd) != 0) written = false;
    if (!written) report("Could not write XML file " + filename);
}

xmlDocPtr Ferrund::merge(xmlDocPtr source, xmlDocPtr target) {
    xmlNodePtr root = xmlDocGetRootElement(source);
    NsList spaces(root != nullptr ? xmlGetNsList(source, root) : nullptr);

    std::string lastInSource = xpath + "[last()]";
    Object sourceNodes = evaluate(lastInSource, contextWith(source, spaces.get()).get());
    if (!sourceNodes) return nullptr;
    if (empty(sourceNodes)) {
        report("Cound not find \"" + lastInSource + "\" in XML source");
        return nullptr;
    }
    Object targetNodes = evaluate(xpath, contextWith(target, spaces.get()).get());
    if (!targetNodes) return nullptr;
    if (empty(targetNodes)) {
        report("Cound not find \"" + xpath + "\" in XML target file " + filename);
        return nullptr;
    }

    xmlNodeSetPtr sourceSet = sourceNodes->nodesetval;
    xmlNodePtr parent = sourceSet->nodeTab[sourceSet->nodeNr - 1];
    if (parent->type != XML_ELEMENT_NODE) {
        report("Cannot insert into \"" + lastInSource + "\" in XML source: not an element");
        return nullptr;
    }
    xmlNodePtr first = targetNodes->nodesetval->nodeTab[0];
    if (!isChildKind(first)) {
        report("Cannot copy \"" + xpath + "\" from XML target file " + filename + ": not an element or text");
        return nullptr;
    }
    // The first match and the siblings after it, in order; a document type
    // declaration among them stays behind.
    for (xmlNodePtr node = first; node != nullptr; node = node->next) {
        if (!isChildKind(node)) continue;
        xmlNodePtr copy = xmlDocCopyNode(node, source, 1);
        if (copy != nullptr && xmlAddChild(parent, copy) == nullptr) xmlFreeNode(copy);
    }

    // Parsing the merged text again drops the namespace declarations that
    // the copies brought along and the parent already makes.
    xmlChar* dumped = nullptr;
    int length = 0;
    xmlDocDumpMemory(source, &dumped, &length);
    XmlText owned(dumped);
    if (dumped == nullptr) {
        report("Could not write XML file " + filename);
        return nullptr;
    }
    xmlDocPtr merged = xmlmem::parseText(reinterpret_cast<const char*>(dumped), static_cast<size_t>(length),
                                         kParseOptions | XML_PARSE_NSCLEAN);
    if (merged == nullptr) report("Merged XML document is not well formed, file left unchanged: " + filename);
    return merged;
}

void Ferrund::save(xmlDocPtr doc) {
    if (!replaceFile(filename, [doc](int fd) { return writeDocument(fd, doc); }))
        report("Could not write XML file " + filename);
}

bool Ferrund::bounded(xmlDocPtr doc, size_t size, const std::string& input) {
    if (xmlmem::expansionBounded(doc, size)) return true;
    report(xmlmem::refusal(input, size));
    return false;
}

void Ferrund::report(const std::string& message) { std::cout << name << ": " << message << std::endl; }

CORVANE_MODULE(Ferrund)
