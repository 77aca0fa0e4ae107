#ifndef ZARN_CORE_LINKTABLE_H
#define ZARN_CORE_LINKTABLE_H

#include <mutex>
#include <unordered_map>
#include <vector>

class Corvane;

namespace vorn {

// One connection as its receiver sees it: output `output` of `sender` feeds
// the receiver's input `input`.
struct Link {
    Corvane* sender;
    unsigned int output;
    unsigned int input;
};

// The link table: for each receiver, the connections that lead to it, in the
// order they were made.
//
// Why it exists: a connection is recorded only in the sender's Output record,
// and the receiver's input names at most its latest sender. From the
// receiver's side nothing else says which senders point at it, and the core
// has no list of all modules to search. Three operations need exactly that:
// the receiver's destructor (every sender must forget it), RemoveReceiver
// and the sender's destructor (the input falls back to the latest remaining
// sender, across senders), and replaceInputs (connections to erased inputs
// are removed, those to moved inputs re-indexed).
//
// What it must agree with: one Link {sender, output, input} for each entry of
// sender->outputs[output] whose receiver is this module and whose receiver
// input is `input`, in connection order. Outputs that a module wires by hand
// (internal outputs, outside `outputs`) are not in it.
//
// Who updates it: AddReceiver adds a link with each new entry; RemoveReceiver
// and the sender's destructor remove it with the entry; replaceInputs
// re-indexes links and entries together; the receiver's destructor drops its
// whole list. Nothing else changes it.
//
// Threads: any thread may call every operation. Connections change on
// whichever thread delivers (a reader thread wiring at its first record, a
// handler replacing inputs), so each operation holds the table's lock for its
// whole run, and what it returns is a copy that stays valid while another
// thread changes the table. The port records the links describe are not
// guarded here. Delivery never looks at the table.
class __attribute__((visibility("hidden"))) LinkTable {
public:
    // The process's one table. Never destroyed: modules may outlive static
    // destruction order.
    static LinkTable& instance();

    void add(const Corvane* receiver, const Link& link);
    // Removes the first link to `receiver` equal to {sender, output, input}.
    void remove(const Corvane* receiver, const Corvane* sender, unsigned int output, unsigned int input);
    // Every link to `receiver`, in connection order.
    std::vector<Link> linksTo(const Corvane* receiver) const;
    // The latest link to input `input` of `receiver` from a typed output into
    // `found`; false when there is none.
    bool lastTypedLinkTo(const Corvane* receiver, unsigned int input, Link& found) const;
    bool hasLinkTo(const Corvane* receiver, unsigned int input) const;
    // Every link to an input of `receiver` at index `from` or later now leads
    // to the input `step` places on.
    void moveInputs(const Corvane* receiver, unsigned int from, int step);
    // Drops every link to `receiver`.
    void forget(const Corvane* receiver);

private:
    LinkTable() = default;

    mutable std::mutex lock;
    std::unordered_map<const Corvane*, std::vector<Link> > links;
};

}  // namespace vorn

#endif
