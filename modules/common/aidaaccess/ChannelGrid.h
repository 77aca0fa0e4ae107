#ifndef ZARN_MODULES_COMMON_AIDAACCESS_CHANNELGRID_H
#define ZARN_MODULES_COMMON_AIDAACCESS_CHANNELGRID_H

#include <functional>
#include <string>
#include <vector>

namespace AIDA {
class ITree;
}

// The numbering of a module's set of AIDA objects. `dimension` lists the
// radix of each dimension; the set holds their product of objects (one for
// an empty list), numbered by a channel or addressed by one digit per
// dimension (mixed radix, last digit fastest). The set lives in the folder
// `path` of the tree: a single object directly, a larger set in a folder of
// its own with one subfolder level per non-trivial dimension but the last.
// Names are built from the labels (missing ones read "x") and the digits
// printed at least two wide.
//
// Threads: one thread at a time (the module's).
class ChannelGrid {
public:
    // A channel is a short, so it numbers at most this many objects.
    static const unsigned long kMaxObjects = 32768;

    // `root` is the default path and the folder that relative paths given
    // to setPath are taken in (e.g. "/Histograms").
    explicit ChannelGrid(const std::string& root);

    // Back to a single object, the address gaining a digit 0 (a module's Init).
    void resetToSingle();

    // Number of objects of the set (kMaxObjects + 1 for anything larger).
    unsigned long objectCount() const;

    // Whether `radices` make a grid that a channel can number. Prints one
    // line "<module>: ..." and returns false for a negative radix (an entry
    // that came from a negative number) or too many objects.
    bool acceptDimensions(const std::vector<unsigned int>& radices, const std::string& module) const;

    // Sets `dimension` from the list of an input when acceptDimensions
    // takes it (a negative entry arrives wrapped around and is refused).
    bool takeDimensions(const std::vector<int>& radices, const std::string& module);

    // Mixed-radix index of an address (missing digits count as 0).
    unsigned int IndexFromAddress(const std::vector<unsigned int>& a) const;
    // The address of index `j`, one digit per dimension.
    std::vector<unsigned int> AddressFromIndex(unsigned int j) const;

    // Stores the address and returns the channel it names: 0 when its size
    // differs from the number of dimensions or when a digit is not below
    // its radix ("<module>: Dimension mismatch! : <digit> >= <radix>").
    short setAddress(const std::vector<unsigned int>& a, const std::string& module);
    // setAddress for the digits of an input.
    short setAddressDigits(const std::vector<int>& digits, const std::string& module);

    // The folder of object `j` and the suffix of its name and title, for a
    // set whose own folder is named `top`.
    void placeOf(unsigned int j, const std::string& top, std::string& folder, std::string& suffix) const;

    // Recreates the set: moves the entry `base` of `path` into the trash
    // folder, then for each object j makes its folder, makes it the current
    // folder and calls make(j, suffix), which creates the object there.
    // Nothing happens without a tree.
    void createSet(AIDA::ITree* tree, const std::string& base, const std::string& top,
                   const std::function<void(unsigned int, const std::string&)>& make) const;

    // Moves the set's entry `base` into the trash folder (module teardown).
    void trashSet(AIDA::ITree* tree, const std::string& base) const;

    // Moves the set to another folder without recreating it: a trailing '/'
    // is dropped, a relative text is taken in the root folder, the old
    // folder is removed when the move empties it; the current folder is then
    // the new one. Without a tree only the path changes. A move into the set
    // itself is refused with one line.
    void setPath(AIDA::ITree* tree, std::string text, const std::string& base, const std::string& module);

    std::vector<std::string> labels;
    std::vector<unsigned int> dimension;
    std::vector<unsigned int> address;
    std::string path;

private:
    std::string labelOf(size_t k) const;

    std::string root;
};

#endif
