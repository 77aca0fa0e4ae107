#ifndef ZARN_MODULES_COMMON_XML_XMLENTITIES_H
#define ZARN_MODULES_COMMON_XML_XMLENTITIES_H

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <limits>
#include <string>
#include <unordered_map>

#include <libxml/entities.h>
#include <libxml/tree.h>

// How far the entity references of a parsed document would expand. Our
// parses keep references unexpanded, but whatever reads the document's
// text later (a transformation, an XPath string value) expands them, so a
// small document of nested or repeated entities can stand for gigabytes of
// text. Every XML input is measured before it is used and refused beyond
// the bound. Any thread may call these, on documents it alone uses.
namespace xmlmem {

// The text of a document may grow through its entities to ten times the
// size of the document, and to 1 MB whatever its size.
const size_t kExpansionFactor = 10;
const size_t kExpansionFloor = 1 << 20;

class EntityExpansion {
public:
    // With `expand` false, a reference counts as written ("&name;").
    EntityExpansion(xmlDocPtr doc, size_t limit, bool expand = true) : doc_(doc), limit_(limit), expand_(expand) {}

    // The characters of the document's text with every reference expanded;
    // any value above the limit means "too many".
    size_t ofDocument() { return ofNodes(doc_->children); }

private:
    static size_t add(size_t a, size_t b) { return a > std::numeric_limits<size_t>::max() - b ? a : a + b; }

    size_t ofNodes(xmlNodePtr node) {
        size_t total = 0;
        for (; node != nullptr && total <= limit_; node = node->next) total = add(total, ofNode(node));
        return total;
    }

    size_t ofNode(xmlNodePtr node) {
        switch (node->type) {
            case XML_ENTITY_REF_NODE:
                return expand_ ? ofEntity(node->name) : std::strlen(reinterpret_cast<const char*>(node->name)) + 2;
            case XML_DTD_NODE: return 0;
            case XML_ELEMENT_NODE: {
                size_t total = ofNodes(node->children);
                for (xmlAttrPtr attr = node->properties; attr != nullptr && total <= limit_; attr = attr->next)
                    total = add(total, ofNodes(attr->children));
                return total;
            }
            default:
                return add(node->content != nullptr ? std::strlen(reinterpret_cast<const char*>(node->content)) : 0,
                           ofNodes(node->children));
        }
    }

    // An entity's replacement text keeps references to other entities as
    // "&name;"; character references are already replaced.
    size_t ofEntity(const xmlChar* name) {
        const xmlEntity* entity = xmlGetDocEntity(doc_, name);
        if (entity == nullptr || entity->content == nullptr) return 0;
        auto known = sizes_.find(entity);
        if (known != sizes_.end()) return known->second;
        // A loop of references never ends: mark the entity as too big while it is measured.
        sizes_[entity] = std::numeric_limits<size_t>::max();
        const char* text = reinterpret_cast<const char*>(entity->content);
        size_t total = 0;
        for (const char* at = text; *at != '\0' && total <= limit_;) {
            const char* end = *at == '&' ? std::strchr(at, ';') : nullptr;
            if (end == nullptr) {
                total = add(total, 1);
                ++at;
                continue;
            }
            std::string inner(at + 1, end);
            total = add(total, ofEntity(reinterpret_cast<const xmlChar*>(inner.c_str())));
            at = end + 1;
        }
        sizes_[entity] = total;
        return total;
    }

    xmlDocPtr doc_;
    size_t limit_;
    bool expand_;
    std::unordered_map<const xmlEntity*, size_t> sizes_;
};

// The bound for a document of `size` bytes.
inline size_t expansionLimit(size_t size) {
    size_t scaled = size > std::numeric_limits<size_t>::max() / kExpansionFactor
                        ? std::numeric_limits<size_t>::max()
                        : size * kExpansionFactor;
    return std::max(kExpansionFloor, scaled);
}

// Whether the text of `doc`, parsed from `size` bytes, stays within the
// bound; a `size` of 0 takes the size of the document's text as written.
inline bool expansionBounded(xmlDocPtr doc, size_t size = 0) {
    if (size == 0) size = EntityExpansion(doc, std::numeric_limits<size_t>::max(), false).ofDocument();
    size_t limit = expansionLimit(size);
    return EntityExpansion(doc, limit).ofDocument() <= limit;
}

// The line (after "<module>: ") that refuses the input named `input`.
inline std::string refusal(const std::string& input, size_t size) {
    return "entities in " + input + " would expand beyond " + std::to_string(expansionLimit(size)) +
           " characters; refused";
}

}  // namespace xmlmem

#endif
