#include "ChannelGrid.h"

#include <climits>
#include <cstdio>
#include <iostream>

#include "AIDA/ITree.h"
#include "AidaAccess.h"

namespace {

// "<label><digit>", the digit at least two wide.
std::string part(const std::string& label, unsigned int digit) {
    char number[16];
    std::snprintf(number, sizeof number, "%02u", digit);
    return label + number;
}

}  // namespace

ChannelGrid::ChannelGrid(const std::string& root) : path(root), root(root) {}

unsigned long ChannelGrid::objectCount() const {
    unsigned long count = 1;
    for (unsigned int radix : dimension) {
        if (radix == 0) return 0;
        count *= radix;
        if (count > kMaxObjects) count = kMaxObjects + 1;
    }
    return count;
}

bool ChannelGrid::acceptDimensions(const std::vector<unsigned int>& radices, const std::string& module) const {
    unsigned long count = 1;
    for (unsigned int radix : radices) {
        // The input delivers ints; a negative one arrives wrapped around.
        if (radix > static_cast<unsigned int>(INT_MAX)) {
            std::cout << module << ": Dimension refused: " << static_cast<int>(radix) << " is negative." << std::endl;
            return false;
        }
        if (count != 0 && count <= kMaxObjects) count *= radix;
    }
    if (count > kMaxObjects) {
        std::cout << module << ": Dimension refused: more than " << kMaxObjects << " objects." << std::endl;
        return false;
    }
    return true;
}

unsigned int ChannelGrid::IndexFromAddress(const std::vector<unsigned int>& a) const {
    unsigned int index = 0;
    for (size_t i = 0; i < dimension.size(); ++i) index = dimension[i] * index + (i < a.size() ? a[i] : 0);
    return index;
}

std::vector<unsigned int> ChannelGrid::AddressFromIndex(unsigned int j) const {
    std::vector<unsigned int> a(dimension.size(), 0);
    for (size_t i = dimension.size(); i-- > 0;) {
        if (dimension[i] == 0) continue;
        a[i] = j % dimension[i];
        j /= dimension[i];
    }
    return a;
}

void ChannelGrid::resetToSingle() {
    address.push_back(0);
    dimension.clear();
}

bool ChannelGrid::takeDimensions(const std::vector<int>& radices, const std::string& module) {
    std::vector<unsigned int> taken(radices.begin(), radices.end());
    if (!acceptDimensions(taken, module)) return false;
    dimension = taken;
    return true;
}

short ChannelGrid::setAddressDigits(const std::vector<int>& digits, const std::string& module) {
    return setAddress(std::vector<unsigned int>(digits.begin(), digits.end()), module);
}

short ChannelGrid::setAddress(const std::vector<unsigned int>& a, const std::string& module) {
    address = a;
    if (address.size() != dimension.size()) return 0;
    bool inside = true;
    for (size_t i = 0; i < address.size(); ++i) {
        if (address[i] >= dimension[i]) {
            std::cout << module << ": Dimension mismatch! : " << address[i] << " >= " << dimension[i] << std::endl;
            inside = false;
        }
    }
    return inside ? static_cast<short>(IndexFromAddress(address)) : 0;
}

std::string ChannelGrid::labelOf(size_t k) const { return k < labels.size() ? labels[k] : "x"; }

void ChannelGrid::placeOf(unsigned int j, const std::string& top, std::string& folder, std::string& suffix) const {
    unsigned long count = objectCount();
    folder = path;
    suffix.clear();
    if (count <= 1) return;
    folder = aidaaccess::joinPath(path, top);
    std::vector<unsigned int> a = AddressFromIndex(j);
    unsigned long remaining = count;
    for (size_t k = 0; k < a.size(); ++k) {
        if (dimension[k] <= 1) continue;
        std::string piece = part(labelOf(k), a[k]);
        remaining /= dimension[k];
        if (k + 1 != a.size() && remaining > 1) folder += "/" + piece;
        suffix += "_" + piece;
    }
}

void ChannelGrid::createSet(AIDA::ITree* tree, const std::string& base, const std::string& top,
                            const std::function<void(unsigned int, const std::string&)>& make) const {
    if (tree == nullptr) return;
    tree->mkdirs(path);
    tree->mkdirs(aidaaccess::kTrashFolder);
    tree->cd(path);
    if (aidaaccess::findDir(tree, base)) tree->mv(base, aidaaccess::kTrashFolder);
    unsigned long count = objectCount();
    if (count > kMaxObjects) return;
    std::string folder, suffix;
    for (unsigned int j = 0; j < count; ++j) {
        placeOf(j, top, folder, suffix);
        if (count > 1) tree->mkdirs(folder);
        tree->cd(folder);
        make(j, suffix);
    }
}

void ChannelGrid::trashSet(AIDA::ITree* tree, const std::string& base) const {
    if (tree == nullptr) return;
    tree->mkdirs(aidaaccess::kTrashFolder);
    tree->cd(path);
    if (aidaaccess::findDir(tree, base)) tree->mv(base, aidaaccess::kTrashFolder);
}

void ChannelGrid::setPath(AIDA::ITree* tree, std::string text, const std::string& base, const std::string& module) {
    if (!text.empty() && text.back() == '/') text.pop_back();
    if (text.empty()) return;
    std::string newPath = text[0] == '/' ? text : aidaaccess::joinPath(root, text);
    if (newPath == path) return;
    if (tree == nullptr) {
        path = newPath;
        return;
    }
    std::string set = aidaaccess::joinPath(path, base);
    if (newPath == set || newPath.compare(0, set.size() + 1, set + "/") == 0) {
        std::cout << module << ": Cannot move " << set << " into itself (" << newPath << ")." << std::endl;
        return;
    }
    tree->mkdirs(newPath);
    tree->mv(set, newPath);
    // The current folder may be the old one (a single object's), and a
    // tree keeps the folder it stands in: follow the set out of it first.
    tree->cd(newPath);
    if (path != "/" && tree->listObjectNames(path, false).empty()) tree->rmdir(path);
    path = newPath;
}
