#include <regex.h>

#include <iostream>
#include <locale>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "Announce.h"
#include "Corvane.h"
#include "RecordInput.h"
#include "Tavrel.h"
#include "Words.h"

// Turns lines of text into event records: a POSIX extended regular
// expression is matched against each string, and the numbers of each
// parenthesised group go into the vector<double> property that the list of
// names gives that group. The module fills its own record, or one that a
// producer announced on input "fevent"; receivers learn the record through
// an announcement when they connect and whenever the names change.
//
// Threads: built on the flow's creating thread, fed on the flow thread.
class Felmira : public Corvane {
public:
    explicit Felmira(std::string& instanceName);
    ~Felmira() override;

    void Init() override;
    void Reset() override;

    using Corvane::AddReceiver;
    // Connects, then announces the record being filled to the new receiver
    // alone; an out-of-range output or input connects and announces nothing.
    void AddReceiver(int output, Corvane* receiver, int input) override;

private:
    typedef std::vector<double> Values;

    void setFE(void* value);
    void convert(void* value);
    void setRegex(void* value);
    void setProperties(void* value);

    // Adds the listed properties that `event` lacks, as empty vector<double>.
    void initTavrel(Tavrel* event);
    // The property `propertyName` of `event`, added when absent.
    FlowProperty& propertyIn(Tavrel& event, const std::string& propertyName);
    // The record to fill: an adopted record whose input lost the sender
    // that announced it is dropped for the module's own one, which is then
    // announced to every receiver.
    Tavrel& recordInUse();
    // Sends `event` with its announce flag set to every receiver.
    void announce(Tavrel& event);
    // Reads the numbers of `text` into `values`, as far as they go.
    static void readNumbers(const std::string& text, Values& values);

    regex_t compiledRegex;
    Tavrel ownEvent;
    Tavrel* currentEvent;
    std::vector<std::string> propertyNames;
    int regexStatus;
    // The sender of input 0 when currentEvent was adopted.
    Corvane* adoptedFrom;
    // Set while this module hands on an announcement, so that one coming
    // back through a loop of connections is not handed on again.
    bool announcing;
    // The value vectors of the properties this module added, by record and
    // property name; a record that gets a name again reuses its vector.
    std::map<std::pair<const Tavrel*, std::string>, std::unique_ptr<Values> > storage;
    RecordInput recordInput;
};

namespace {

const char* const kSkip = "*";
// The whole match and groups 1 to 99.
const size_t kSlots = 100;
const size_t kErrorTextSize = 10000;
// Intervals make the compiler unroll what they repeat, at a cost that grows
// faster than the count: larger bounds, or nested ones that multiply to
// more positions than this, are refused before compiling.
const long kMaxRepeat = 1000;
const double kMaxPositions = 10000;

// Value vectors of adopted records outlive the module: their records
// belong to other modules and may still be read after this one is gone.
std::vector<std::unique_ptr<std::vector<double> > >& keptForever() {
    static auto* kept = new std::vector<std::unique_ptr<std::vector<double> > >;
    return *kept;
}

// Where the bracket expression that opens at `open` ends (its ']'), or
// npos when it does not end.
size_t bracketEnd(const std::string& pattern, size_t open) {
    size_t at = open + 1;
    if (at < pattern.size() && pattern[at] == '^') ++at;
    if (at < pattern.size() && pattern[at] == ']') ++at;
    for (; at < pattern.size(); ++at) {
        if (pattern[at] == ']') return at;
        if (pattern[at] == '[' && at + 1 < pattern.size() &&
            (pattern[at + 1] == ':' || pattern[at + 1] == '=' || pattern[at + 1] == '.')) {
            size_t close = pattern.find(std::string(1, pattern[at + 1]) + "]", at + 2);
            if (close == std::string::npos) return std::string::npos;
            at = close + 1;
        }
    }
    return std::string::npos;
}

// Reads the interval "{m}", "{m,}" or "{m,n}" at `open`: its largest
// count (m + 1 for "{m,}") and its last character; false when the text is
// no interval.
bool readInterval(const std::string& pattern, size_t open, long& count, size_t& close) {
    size_t at = open + 1;
    long bounds[2] = {-1, -1};
    for (int part = 0; part < 2; ++part) {
        while (at < pattern.size() && pattern[at] >= '0' && pattern[at] <= '9') {
            long digit = pattern[at++] - '0';
            bounds[part] = bounds[part] < 0 ? digit : bounds[part] * 10 + digit;
            if (bounds[part] > kMaxRepeat) bounds[part] = kMaxRepeat + 1;
        }
        if (at >= pattern.size()) return false;
        if (pattern[at] == '}') break;
        if (part == 1 || pattern[at] != ',') return false;
        ++at;
        if (at < pattern.size() && pattern[at] == '}') {
            bounds[1] = bounds[0] + 1;
            break;
        }
    }
    if (bounds[0] < 0) return false;
    count = bounds[1] > bounds[0] ? bounds[1] : bounds[0];
    close = at;
    return true;
}

// Whether compiling `pattern` would unroll its intervals beyond the
// bounds above. A pattern that is malformed is left to the compiler.
bool tooBig(const std::string& pattern) {
    std::vector<double> groups(1, 0.0);  // positions so far, per open group
    double last = 0;                     // positions of the atom before a quantifier
    auto atom = [&](double positions) {
        groups.back() += positions;
        last = positions;
    };
    for (size_t at = 0; at < pattern.size(); ++at) {
        char c = pattern[at];
        long count;
        size_t close;
        if (c == '\\') {
            ++at;
            atom(1);
        } else if (c == '[') {
            at = bracketEnd(pattern, at);
            if (at == std::string::npos) return false;
            atom(1);
        } else if (c == '(') {
            groups.push_back(0);
            last = 0;
        } else if (c == ')' && groups.size() > 1) {
            double group = groups.back();
            groups.pop_back();
            atom(group);
        } else if (c == '{' && readInterval(pattern, at, count, close)) {
            if (count > kMaxRepeat) return true;
            groups.back() += last * static_cast<double>(count > 0 ? count - 1 : -1);
            last *= static_cast<double>(count);
            at = close;
        } else if (c == '|') {
            last = 0;
        } else if (c != '*' && c != '+' && c != '?') {
            atom(1);
        }
        if (groups.back() > kMaxPositions) return true;
    }
    return false;
}

}  // namespace

Felmira::Felmira(std::string& instanceName)
    : Corvane(nullptr, "NoName"),
      currentEvent(&ownEvent),
      regexStatus(-1),
      adoptedFrom(nullptr),
      announcing(false) {
    name = instanceName;
    description =
        "Converts a string to a Tavrel, using the regular expression from the \"regex\" input and the "
        "FlowProperty list from the \"properties\" input";
    inputs.push_back(Input("fevent", CORVANE_HANDLER(&Felmira::setFE), vorn_tavrel,
                           "An optional external Tavrel. If not give, the internal one is used"));
    inputs.push_back(Input("string", CORVANE_HANDLER(&Felmira::convert), vorn_string,
                           "The string that triggers the conversion, matching regex"));
    inputs.push_back(Input("regex", CORVANE_HANDLER(&Felmira::setRegex), vorn_string,
                           "A regular expression. Surround match pattern by round brackets.\n"
                           "First match is always the total match"));
    inputs.push_back(Input("properties", CORVANE_HANDLER(&Felmira::setProperties), vorn_vector_string,
                           "A list of FlowProperties, separated by whitespace, corresponding to the sequence "
                           "of regex matches.\nUse an asterisk (\"*\") to ignore a match. This is often desired "
                           "for the first (total) match."));
    outputs.push_back(Output("fevent", vorn_tavrel, "The Tavrel, enriched by the matched properties"));
    std::cout << name << " instantiated" << std::endl;
}

Felmira::~Felmira() {
    if (regexStatus == 0) regfree(&compiledRegex);
    std::cout << name << " deleted" << std::endl;
    for (auto& entry : storage)
        if (entry.first.first != &ownEvent) keptForever().push_back(std::move(entry.second));
}

void Felmira::Init() { std::cout << name << " initialized." << std::endl; }

void Felmira::Reset() {}

void Felmira::AddReceiver(int output, Corvane* receiver, int input) {
    Corvane::AddReceiver(output, receiver, input);
    int slot = announcement::connectionSlot(*this, output, receiver, input);
    if (slot >= 0) announcement::sendToConnection(*this, output, static_cast<size_t>(slot), recordInUse());
}

void Felmira::setFE(void* value) {
    Tavrel* event = recordInput.accept(*this, value);
    if (event == nullptr || !event->announce || announcing) return;
    initTavrel(event);
    currentEvent = event;
    adoptedFrom = inputs[0].sender;
    announcing = true;
    SendOutput(0u, static_cast<stringstore*>(event));
    announcing = false;
}

void Felmira::setRegex(void* value) {
    const std::string& pattern = *static_cast<std::string*>(value);
    if (regexStatus == 0) regfree(&compiledRegex);
    regexStatus = tooBig(pattern) ? REG_ESIZE : regcomp(&compiledRegex, pattern.c_str(), REG_EXTENDED);
    if (regexStatus == 0) return;
    char text[kErrorTextSize];
    regerror(regexStatus, &compiledRegex, text, sizeof text);
    std::cout << name << ": Invalid regular expression, " << text << ": " << pattern << std::endl;
}

void Felmira::setProperties(void* value) {
    propertyNames = wordsOf(*static_cast<std::vector<std::string>*>(value));
    Tavrel& event = recordInUse();
    initTavrel(&event);
    announce(event);
}

void Felmira::convert(void* value) {
    if (regexStatus != 0) return;
    const std::string& line = *static_cast<std::string*>(value);
    regmatch_t slots[kSlots];
    int status = regexec(&compiledRegex, line.c_str(), kSlots, slots, 0);
    if (status == REG_NOMATCH) return;
    if (status != 0) {
        char text[kErrorTextSize];
        regerror(status, &compiledRegex, text, sizeof text);
        std::cout << name << ": Cannot match, " << text << std::endl;
        return;
    }
    Tavrel& event = recordInUse();
    const size_t groups = compiledRegex.re_nsub < kSlots - 1 ? compiledRegex.re_nsub : kSlots - 1;
    for (size_t i = 0; i <= groups && i < propertyNames.size(); ++i) {
        const std::string& propertyName = propertyNames[i];
        if (propertyName == kSkip) continue;
        FlowProperty& property = propertyIn(event, propertyName);
        if (property.type != vorn_vector_double) {
            std::cout << name << ": Warning: FlowProperty " << propertyName
                      << " is not of type vector<double>. Ignoring." << std::endl;
            continue;
        }
        if (property.value == nullptr) continue;
        Values& values = *static_cast<Values*>(property.value);
        values.clear();
        if (slots[i].rm_so < 0) continue;
        readNumbers(line.substr(slots[i].rm_so, slots[i].rm_eo - slots[i].rm_so), values);
    }
    SendOutput(0u, static_cast<stringstore*>(&event));
    event.Reset();
}

void Felmira::initTavrel(Tavrel* event) {
    for (const std::string& propertyName : propertyNames)
        if (propertyName != kSkip) propertyIn(*event, propertyName);
}

FlowProperty& Felmira::propertyIn(Tavrel& event, const std::string& propertyName) {
    Tavrel::iterator found = event.find(propertyName);
    if (found != event.end()) return found->second;
    std::unique_ptr<Values>& values = storage[std::make_pair(&event, propertyName)];
    if (!values) values.reset(new Values);
    values->clear();
    FlowProperty& property = event[propertyName];
    property = FlowProperty(vorn_vector_double, FlowBinning(0, 0, 0), values.get());
    return property;
}

Tavrel& Felmira::recordInUse() {
    if (currentEvent != &ownEvent && inputs[0].sender != adoptedFrom) {
        currentEvent = &ownEvent;
        adoptedFrom = nullptr;
        initTavrel(&ownEvent);
        announce(ownEvent);
    }
    return *currentEvent;
}

void Felmira::announce(Tavrel& event) {
    if (announcing) return;
    announcing = true;
    announcement::sendToAll(*this, 0u, event);
    announcing = false;
}

void Felmira::readNumbers(const std::string& text, Values& values) {
    std::istringstream in(text);
    in.imbue(std::locale::classic());
    double number;
    while (in >> number) values.push_back(number);
}

CORVANE_MODULE(Felmira)
