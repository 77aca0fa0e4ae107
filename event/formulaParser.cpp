// Reading a formula definition: name and label, the diagnostic check of the
// right side, and the fields that the formula splitter yields.
#include "formulaParser.h"

#include <cstring>
#include <iostream>

#include "TextNumbers.h"
#include "formulaSplitter.h"

const char* formulaParser::symbols[24] = {
    "", "", "", "&&", "||", "<", ">", "==", "<=", ">=", "(", ")", "*", "/", "+", "-",
    "=", "{", "}", "[", "]", "|", ":", nullptr};

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isSign(char c) { return c == '+' || c == '-'; }

// The characters of all operator tokens.
const std::string& symbolCharacters() {
    static const std::string characters = [] {
        std::string joined;
        for (const char* const* entry = formulaParser::symbols; *entry; ++entry) joined += *entry;
        return joined;
    }();
    return characters;
}

// Length of the first operator token that stands at `at`, or 0.
size_t symbolAt(const std::string& word, size_t at) {
    for (const char* const* entry = formulaParser::symbols; *entry; ++entry) {
        size_t length = std::strlen(*entry);
        if (length && word.compare(at, length, *entry) == 0) return length;
    }
    return 0;
}

// Whether a number as strtod reads it starts `text` (after blanks).
bool startsWithNumber(const char* text) {
    while (isBlank(*text)) ++text;
    if (isSign(*text)) ++text;
    if (isDigit(text[0]) || (text[0] == '.' && isDigit(text[1]))) return true;
    return strncasecmp(text, "inf", 3) == 0 || strncasecmp(text, "nan", 3) == 0;
}

int toInt(const char* text) { return vorn::numericCast<int>(vorn::parseDouble(text)); }

// An optional sign, blanks after it ignored, then the number.
double signedNumber(const char* text) {
    double sign = 1;
    if (isSign(*text)) {
        sign = *text == '-' ? -1 : 1;
        ++text;
    }
    return sign * vorn::parseDouble(text);
}

std::vector<std::string> words(const std::string& text) {
    std::vector<std::string> found;
    size_t at = 0;
    while (at < text.size()) {
        while (at < text.size() && isBlank(text[at])) ++at;
        size_t start = at;
        while (at < text.size() && !isBlank(text[at])) ++at;
        if (at > start) found.push_back(text.substr(start, at - start));
    }
    return found;
}

}  // namespace

formulaParser::formulaParser()
    : Index(-1), Sum(0), Modulus(0), Offset(0), Factor(1), CutBegin(0), CutLength(1), Divider(1),
      cutProperty(nullptr), indexProperty(nullptr), result(new std::vector<double>), evaluated(false),
      ok(false), constant(false), propertiesSet(false), all(false), hasSum(false), isSize(false),
      isDiff(false), isAbs(false), property(nullptr), symbol(symUnknown), position(0), end(0) {}

formulaParser::~formulaParser() { delete result; }

std::string formulaParser::parse(const std::string& definition) {
    std::cout << "Formula \"" << definition << "\"" << std::endl;
    if (definition.empty()) return std::string();
    size_t equals = definition.find('=');
    rightSide = equals == std::string::npos ? std::string() : definition.substr(equals + 1);
    std::string name = nameAndLabel(definition.substr(0, equals));

    if (!fo_scan()) {
        std::cout << "formulaParser: Unknown token: \"" << tokens.back() << "\"" << std::endl;
    } else if (!fo_parse()) {
        std::cout << "   formulaParser: Error parsing formula. Last token index: " << position << std::endl;
    }

    std::string output, problem;
    if (!formulaSplitter::run(definition, output, problem)) {
        std::cerr << "formulaParser: " << problem << std::endl;
    }
    readFields(output, name);
    constant = Arguments.empty() && CutProperty.empty() && IndexVar.empty();
    return name;
}

// The name is the first word before the '='; the label what the rest holds
// between its first '(' and its last ')'.
std::string formulaParser::nameAndLabel(const std::string& left) {
    size_t start = 0;
    while (start < left.size() && isBlank(left[start])) ++start;
    size_t stop = start;
    while (stop < left.size() && !isBlank(left[stop])) ++stop;
    std::string rest = left.substr(stop);
    size_t open = rest.find('(');
    size_t close = rest.rfind(')');
    size_t from = open == std::string::npos ? 0 : open + 1;
    size_t to = close == std::string::npos ? rest.size() : close;
    Label = to > from ? rest.substr(from, to - from) : std::string();
    return left.substr(start, stop - start);
}

// Applies the splitter's "Key:\tvalue" lines up to the one that starts
// with '.'; without output every field keeps its default.
void formulaParser::readFields(const std::string& output, std::string& name) {
    Map.clear();
    Arguments.clear();
    all = true;
    hasSum = false;
    size_t at = 0;
    while (at < output.size()) {
        size_t lineEnd = output.find('\n', at);
        std::string line = output.substr(at, lineEnd == std::string::npos ? std::string::npos : lineEnd - at);
        at = lineEnd == std::string::npos ? output.size() : lineEnd + 1;
        if (!line.empty() && line[0] == '.') break;
        size_t colon = line.find(':');
        if (colon == std::string::npos) continue;
        const char* value = line.c_str() + colon + 1;
        while (*value == ' ' || *value == '\t') ++value;
        setField(line.substr(0, colon), value, name);
    }
}

void formulaParser::setField(const std::string& key, const char* value, std::string& name) {
    if (key == "Property") {
        name = value;
    } else if (key == "Label") {
        Label = value;
    } else if (key == "CutProperty") {
        CutProperty = value;
    } else if (key == "Formula") {
        Formula = value;
    } else if (key == "IndexVar") {
        IndexVar = value;
        all = false;
    } else if (key == "Function") {
        Function = value;
    } else if (key == "Factor") {
        Factor = vorn::parseDouble(value);
    } else if (key == "Divider") {
        Divider = vorn::parseDouble(value);
    } else if (key == "Modulus") {
        Modulus = toInt(value);
    } else if (key == "Offset") {
        Offset = signedNumber(value);
    } else if (key == "Index") {
        Index = toInt(value);
        all = false;
    } else if (key == "Sum") {
        Sum = std::strchr(value, '*') ? -1 : toInt(value);
        hasSum = true;
    } else if (key == "CutBegin") {
        CutBegin = vorn::parseDouble(value);
    } else if (key == "CutLength") {
        CutLength = vorn::parseDouble(value);
    } else if (key == "CutString") {
        CutString = value;
    } else if (key == "Map") {
        for (const std::string& word : words(value)) {
            if (!startsWithNumber(word.c_str())) break;
            Map.push_back(vorn::parseDouble(word.c_str()));
        }
    } else if (key == "Arguments") {
        for (const std::string& word : words(value)) Arguments.push_back(word);
    }
}

// Diagnostic check

bool formulaParser::fo_scan() {
    tokens.clear();
    symbolCodes.clear();
    const std::string& symbolChars = symbolCharacters();
    size_t at = 0;
    for (;;) {
        while (at < rightSide.size() && isBlank(rightSide[at])) ++at;
        if (at >= rightSide.size()) return true;
        size_t wordStart = at;
        while (at < rightSide.size() && !isBlank(rightSide[at])) ++at;
        const std::string word = rightSide.substr(wordStart, at - wordStart);

        size_t offset = 0;
        while (offset < word.size()) {
            // A signed number stays one token.
            bool leadingSign = offset == 0 && word.size() > 1 && isSign(word[0]) && isDigit(word[1]);
            size_t next = word.find_first_of(symbolChars, leadingSign ? 1 : offset);
            if (next == offset) {
                size_t length = symbolAt(word, offset);
                if (length == 0) length = 1;
                token = word.substr(offset, length);
                offset += length;
            } else {
                size_t stop = next == std::string::npos ? word.size() : next;
                token = word.substr(offset, stop - offset);
                offset = stop;
            }
            // A quoted token runs on past the word up to the closing quote.
            if (!token.empty() && token[0] == '"') {
                token.erase(0, 1);
                while (at < rightSide.size() && rightSide[at] != '"') {
                    if (rightSide[at] == '\\' && at + 1 < rightSide.size()) ++at;
                    token += rightSide[at++];
                }
                if (at < rightSide.size()) ++at;
            }
            tokenize();
            if (symbolCodes.back() == symUnknown) return false;
        }
    }
}

void formulaParser::tokenize() {
    Symbol code = symUnknown;
    bool known = false;
    for (int i = symAnd; symbols[i]; ++i) {
        if (token == symbols[i]) {
            code = static_cast<Symbol>(i);
            known = true;
            break;
        }
    }
    if (!known && !token.empty()) {
        if (isDigit(token[0]) || (token.size() > 1 && isSign(token[0]) && isDigit(token[1]))) {
            code = symNumber;
        } else if (isLetter(token[0])) {
            code = symIdentifier;
        }
    }
    tokens.push_back(token);
    symbolCodes.push_back(code);
}

bool formulaParser::fo_parse() {
    std::cout << "   Parsing ";
    for (size_t i = 0; i < tokens.size(); ++i) std::cout << "<" << tokens[i] << "#" << symbolCodes[i] << "> ";
    std::cout << std::endl;

    auto firstOf = [this](Symbol wanted) {
        for (size_t i = 0; i < symbolCodes.size(); ++i) {
            if (symbolCodes[i] == wanted) return static_cast<int>(i);
        }
        return static_cast<int>(symbolCodes.size());
    };
    position = -1;
    end = firstOf(symOpenBrace);
    fo_getsym();
    if (!fo_expression()) return false;
    if (end == static_cast<int>(tokens.size())) return true;
    end = firstOf(symCloseBrace);
    fo_getsym();
    return fo_expression();
}

bool formulaParser::fo_expression() {
    if (!fo_term()) return false;
    while (symbol == symPlus || symbol == symMinus) {
        fo_getsym();
        if (!fo_term()) return false;
    }
    return position == end;
}

bool formulaParser::fo_term() {
    if (!fo_factor()) return false;
    while (symbol == symTimes || symbol == symDivide) {
        fo_getsym();
        if (!fo_factor()) return false;
    }
    return true;
}

bool formulaParser::fo_factor() { return fo_accept(symIdentifier) || fo_accept(symNumber); }

bool formulaParser::fo_accept(formulaParser::Symbol wanted) {
    if (symbol != wanted) return false;
    fo_getsym();
    return true;
}

void formulaParser::fo_getsym() {
    ++position;
    if (position < end) {
        symbol = symbolCodes[position];
        token = tokens[position];
    } else {
        symbol = symUnknown;
    }
}
