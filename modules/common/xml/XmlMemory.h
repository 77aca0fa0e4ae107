#ifndef ZARN_MODULES_COMMON_XML_XMLMEMORY_H
#define ZARN_MODULES_COMMON_XML_XMLMEMORY_H

#include <climits>
#include <cstddef>
#include <memory>

#include <libxml/parser.h>
#include <libxml/tree.h>

// What the XML modules share around libxml2: owners of its documents and
// of memory it allocates, parsing from memory, and the instance count that
// tells the last instance to shut the library down.
namespace xmlmem {

struct DocFree {
    void operator()(xmlDocPtr doc) const { xmlFreeDoc(doc); }
};
struct XmlFree {
    void operator()(void* memory) const { xmlFree(memory); }
};
using Doc = std::unique_ptr<xmlDoc, DocFree>;
using XmlText = std::unique_ptr<xmlChar, XmlFree>;

// Null for texts that do not parse, and for texts beyond the parser's size.
inline xmlDocPtr parseText(const char* text, size_t length, int options) {
    if (length > static_cast<size_t>(INT_MAX)) return nullptr;
    return xmlReadMemory(text, static_cast<int>(length), nullptr, nullptr, options);
}

// The instances of one module alive in this process.
// Threads: the threads that create and destroy modules, one at a time.
class LiveInstances {
public:
    void add() { ++count_; }
    // Counts one instance less; true when it was the last.
    bool removeIsLast() { return --count_ == 0; }

private:
    int count_ = 0;
};

}  // namespace xmlmem

#endif
