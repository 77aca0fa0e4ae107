#include <regex.h>

#include <algorithm>
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
// The compiler unrolls every interval into copies of what it repeats and
// then, for each node, keeps the set of nodes reachable without reading a
// character. Measured with the C library's regcomp: about 200 bytes per
// node ("((a{100}){100}){100}", a million nodes: 0.36 s, 210 MB), and 8
// bytes times the square of a run of skippable nodes ("a{1,8000}": 0.3 s,
// 490 MB; "a{1,32767}": 49 s, 8 GB; "(a?){4000}": 2.8 s, 1.2 GB). A
// pattern whose estimate passes this bound is refused before compiling.
const double kMaxCompiledBytes = 256.0 * 1024 * 1024;
const double kBytesPerNode = 200;
const double kBytesPerSkippablePair = 8;
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

// Reads the interval "{m}", "{m,}" or "{m,n}" at `open`: its bounds
// (`most` < 0 for "{m,}") and its last character; false when the text is
// no interval. Bounds beyond the library's RE_DUP_MAX are left to it.
bool readInterval(const std::string& pattern, size_t open, long& least, long& most, size_t& close) {
    size_t at = open + 1;
    long bounds[2] = {-1, -1};
    for (int part = 0; part < 2; ++part) {
        while (at < pattern.size() && pattern[at] >= '0' && pattern[at] <= '9') {
            long digit = pattern[at++] - '0';
            bounds[part] = bounds[part] < 0 ? digit : bounds[part] * 10 + digit;
            if (bounds[part] > RE_DUP_MAX) return false;
        }
        if (at >= pattern.size()) return false;
        if (pattern[at] == '}') {
            if (part == 0) bounds[1] = bounds[0];
            break;
        }
        if (part == 1 || pattern[at] != ',') return false;
        ++at;
    }
    if (bounds[0] < 0 || (bounds[1] >= 0 && bounds[1] < bounds[0])) return false;
    least = bounds[0];
    most = bounds[1];
    close = at;
    return true;
}

// What a piece of a pattern costs once compiled (see kBytesPerNode).
struct Piece {
    double bytes = 0;
    double nodes = 0;
    bool skippable = false;  // it can match the empty text
    double skipNodes = 0;    // nodes on its way through without a character
};

// One open group while a pattern is read: what it holds so far, the run of
// skippable nodes at its end, and its last piece (which a quantifier
// repeats) with what appending it changed.
struct Group {
    Piece whole;
    double run = 0;
    bool branchSkippable = true;
    double skippableBranchRun = -1;  // longest run of a branch that matches nothing
    Piece last;
    double runBeforeLast = 0;
    double lastPairBytes = 0;
    bool branchSkippableBeforeLast = true;
};

void append(Group& group, const Piece& piece) {
    group.runBeforeLast = group.run;
    group.branchSkippableBeforeLast = group.branchSkippable;
    group.lastPairBytes = 0;
    group.whole.bytes += piece.bytes;
    group.whole.nodes += piece.nodes;
    if (piece.skippable) {
        group.run += piece.skipNodes;
        group.lastPairBytes =
            kBytesPerSkippablePair * (group.run * group.run - group.runBeforeLast * group.runBeforeLast);
        group.whole.bytes += group.lastPairBytes;
    } else {
        group.run = 0;
        group.branchSkippable = false;
    }
    group.last = piece;
}

// Takes the last piece out again, for a quantifier to repeat it.
Piece takeLast(Group& group) {
    Piece piece = group.last;
    group.whole.bytes -= piece.bytes + group.lastPairBytes;
    group.whole.nodes -= piece.nodes;
    group.run = group.runBeforeLast;
    group.branchSkippable = group.branchSkippableBeforeLast;
    group.last = Piece();
    group.lastPairBytes = 0;
    return piece;
}

// `piece` repeated from `least` to `most` times (`most` < 0: no bound).
// Copies that may be skipped are nested: each adds one node to the run of
// skippable ones, or all of its own when the piece can match nothing.
Piece repeated(const Piece& piece, long least, long most) {
    double copies = static_cast<double>(most < 0 ? std::max(least, 1L) : most);
    double optional = most < 0 ? 1 : static_cast<double>(most - least);
    Piece result;
    result.nodes = piece.nodes * copies + 1;
    result.bytes = piece.bytes * copies + kBytesPerNode;
    result.skippable = piece.skippable || least == 0;
    if (piece.skippable) {
        result.skipNodes = piece.skipNodes * copies + 1;
    } else {
        result.skipNodes = optional + 1;
        // A run inside the piece; one that can be skipped whole counts where it is appended.
        if (!result.skippable) result.bytes += kBytesPerSkippablePair * optional * optional;
    }
    return result;
}

// Estimates the memory that compiling `pattern` takes, in bytes. A
// malformed pattern is estimated as far as it reads and left to the
// compiler.
double compiledBytes(const std::string& pattern) {
    std::vector<Group> groups(1);
    const Piece character{kBytesPerNode, 1, false, 0};
    for (size_t at = 0; at < pattern.size(); ++at) {
        char c = pattern[at];
        Group& group = groups.back();
        long least, most;
        size_t close;
        if (c == '\\') {
            ++at;
            append(group, character);
        } else if (c == '[') {
            at = bracketEnd(pattern, at);
            if (at == std::string::npos) break;
            append(group, character);
        } else if (c == '(') {
            groups.emplace_back();
        } else if (c == ')' && groups.size() > 1) {
            Group inner = groups.back();
            groups.pop_back();
            if (inner.branchSkippable) inner.skippableBranchRun = std::max(inner.skippableBranchRun, inner.run);
            Piece piece = inner.whole;
            piece.bytes += 2 * kBytesPerNode;
            piece.nodes += 2;
            piece.skippable = inner.skippableBranchRun >= 0;
            piece.skipNodes = inner.skippableBranchRun + 2;
            append(groups.back(), piece);
        } else if (c == '|') {
            if (group.branchSkippable) group.skippableBranchRun = std::max(group.skippableBranchRun, group.run);
            group.branchSkippable = true;
            group.run = 0;
            group.whole.bytes += kBytesPerNode;
            group.whole.nodes += 1;
            group.last = Piece();
        } else if ((c == '{' && readInterval(pattern, at, least, most, close)) || c == '*' || c == '+' ||
                   c == '?') {
            if (c != '{') {
                least = c == '+' ? 1 : 0;
                most = c == '?' ? 1 : -1;
                close = at;
            }
            append(group, repeated(takeLast(group), least, most));
            at = close;
        } else {
            append(group, character);
        }
        if (groups.back().whole.bytes > kMaxCompiledBytes) return groups.back().whole.bytes;
    }
    double bytes = 0;
    for (const Group& group : groups) bytes += group.whole.bytes;
    return bytes;
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
    regexStatus = compiledBytes(pattern) > kMaxCompiledBytes ? REG_ESIZE : regcomp(&compiledRegex, pattern.c_str(), REG_EXTENDED);
    if (regexStatus == 0) return;
    char text[kErrorTextSize];
    regerror(regexStatus, &compiledRegex, text, sizeof text);
    std::cout << name << ": Invalid regular expression, " << text << ": " << pattern << std::endl;
}

void Felmira::setProperties(void* value) {
    propertyNames = *static_cast<std::vector<std::string>*>(value);
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
