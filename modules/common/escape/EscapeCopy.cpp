#include "EscapeCopy.h"

namespace vorn {

std::string escapeCopy(const char* text) {
    std::string stored;
    if (text == nullptr) return stored;
    for (const char* c = text; *c != '\0'; ++c) {
        if (*c != '\\') {
            stored += *c;
            continue;
        }
        char next = c[1];
        if (next == '\0') {
            stored += '\\';
            break;
        }
        if (next == 'n') {
            stored += '\n';
        } else if (next == 't') {
            stored += '\t';
        } else {
            // Both characters are taken, so the second never starts an escape.
            stored += '\\';
            stored += next;
        }
        ++c;
    }
    return stored;
}

}  // namespace vorn
