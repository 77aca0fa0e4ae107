#include "TestTree.h"

#include <algorithm>
#include <fstream>

#include "TestPlotter.h"

namespace {

// The parts of a path, without empty parts and ".".
std::vector<std::string> splitPath(const std::string& path) {
    std::vector<std::string> parts;
    std::string::size_type begin = 0;
    while (begin <= path.size()) {
        std::string::size_type end = path.find('/', begin);
        if (end == std::string::npos) end = path.size();
        std::string part = path.substr(begin, end - begin);
        if (!part.empty() && part != ".") parts.push_back(part);
        begin = end + 1;
    }
    return parts;
}

TestNode* child(const TestNode* folder, const std::string& name) {
    for (const auto& entry : folder->children)
        if (entry->name == name) return entry.get();
    return nullptr;
}

bool holds(const TestNode* ancestor, const TestNode* node) {
    for (; node; node = node->parent)
        if (node == ancestor) return true;
    return false;
}

std::unique_ptr<TestNode> detach(TestNode* node) {
    auto& siblings = node->parent->children;
    auto at = std::find_if(siblings.begin(), siblings.end(), [node](const auto& entry) { return entry.get() == node; });
    std::unique_ptr<TestNode> owned = std::move(*at);
    siblings.erase(at);
    owned->parent = nullptr;
    return owned;
}

// `name`, or "<name>~<n>" with the smallest n from 1 that `folder` lacks.
std::string freeName(const TestNode* folder, const std::string& name) {
    if (!child(folder, name)) return name;
    for (int n = 1;; ++n) {
        std::string candidate = name + "~" + std::to_string(n);
        if (!child(folder, candidate)) return candidate;
    }
}

void attach(TestNode* folder, std::unique_ptr<TestNode> node, const std::string& name) {
    node->name = name;
    node->parent = folder;
    if (node->object) node->object->objectName = name;
    folder->children.push_back(std::move(node));
}

}  // namespace

TestTree::TestTree(const std::string& storeName, const std::string& storeType)
    : current(&root), store(storeName), type(storeType) {}

TestTree::~TestTree() = default;

TestNode* TestTree::resolve(const std::string& path) const {
    const TestNode* node = !path.empty() && path[0] == '/' ? &root : current;
    for (const std::string& part : splitPath(path)) {
        if (part == "..") {
            if (node->parent) node = node->parent;
            continue;
        }
        if (!node->isFolder()) return nullptr;
        node = child(node, part);
        if (!node) return nullptr;
    }
    return const_cast<TestNode*>(node);
}

TestNode* TestTree::parentOf(const std::string& path, std::string& leaf) const {
    std::vector<std::string> parts = splitPath(path);
    if (parts.empty() || parts.back() == "..") return nullptr;
    leaf = parts.back();
    std::string trimmed = path.substr(0, path.find_last_not_of('/') + 1);
    std::string::size_type slash = trimmed.find_last_of('/');
    std::string folderPath = slash == std::string::npos ? "." : trimmed.substr(0, slash + 1);
    TestNode* folder = resolve(folderPath);
    return folder && folder->isFolder() ? folder : nullptr;
}

TestNode* TestTree::nodeOf(const AIDA::IManagedObject& object) const {
    std::vector<const TestNode*> pending{&root};
    while (!pending.empty()) {
        const TestNode* node = pending.back();
        pending.pop_back();
        if (node->object && static_cast<const AIDA::IManagedObject*>(node->object.get()) == &object)
            return const_cast<TestNode*>(node);
        for (const auto& entry : node->children) pending.push_back(entry.get());
    }
    return nullptr;
}

std::string TestTree::pathOf(const TestNode* node) const {
    if (node == &root) return "/";
    std::string path;
    for (; node != &root; node = node->parent) path = "/" + node->name + path;
    return path;
}

std::string TestTree::storeName() const { return store; }

AIDA::IManagedObject* TestTree::find(const std::string& path) {
    TestNode* node = resolve(path);
    return node && node->object ? node->object.get() : nullptr;
}

AIDA::ITree* TestTree::findTree(const std::string&) { return nullptr; }

bool TestTree::cd(const std::string& path) {
    TestNode* node = resolve(path);
    if (!node || !node->isFolder()) return false;
    current = node;
    return true;
}

std::string TestTree::pwd() const { return pathOf(current); }

void TestTree::list(const TestNode* folder, const std::string& prefix, bool recursive,
                    std::vector<std::string>* names, std::vector<std::string>* types) const {
    for (const auto& entry : folder->children) {
        std::string name = prefix + entry->name + (entry->isFolder() ? "/" : "");
        if (names) names->push_back(name);
        if (types) types->push_back(entry->isFolder() ? "dir" : entry->object->typeName());
        if (recursive && entry->isFolder()) list(entry.get(), name, true, names, types);
    }
}

bool TestTree::ls(const std::string& path, bool recursive, std::ostream& os) const {
    TestNode* folder = resolve(path);
    if (!folder || !folder->isFolder()) return false;
    std::vector<std::string> names;
    list(folder, "", recursive, &names, nullptr);
    for (const std::string& name : names) os << name << '\n';
    os.flush();
    return true;
}

std::vector<std::string> TestTree::listObjectNames(const std::string& path, bool recursive) const {
    std::vector<std::string> names;
    TestNode* folder = resolve(path);
    if (folder && folder->isFolder()) list(folder, "", recursive, &names, nullptr);
    return names;
}

std::vector<std::string> TestTree::listObjectTypes(const std::string& path, bool recursive) const {
    std::vector<std::string> types;
    TestNode* folder = resolve(path);
    if (folder && folder->isFolder()) list(folder, "", recursive, nullptr, &types);
    return types;
}

bool TestTree::mkdir(const std::string& path) {
    std::string leaf;
    TestNode* folder = parentOf(path, leaf);
    if (!folder || child(folder, leaf)) return false;
    attach(folder, std::make_unique<TestNode>(), leaf);
    return true;
}

bool TestTree::mkdirs(const std::string& path) {
    TestNode* node = !path.empty() && path[0] == '/' ? &root : current;
    for (const std::string& part : splitPath(path)) {
        if (part == "..") {
            if (node->parent) node = node->parent;
            continue;
        }
        TestNode* next = child(node, part);
        if (!next) {
            attach(node, std::make_unique<TestNode>(), part);
            next = node->children.back().get();
        }
        if (!next->isFolder()) return false;
        node = next;
    }
    return true;
}

bool TestTree::rmdir(const std::string& path) {
    TestNode* folder = resolve(path);
    if (!folder || folder == &root || !folder->isFolder() || !folder->children.empty() || holds(folder, current))
        return false;
    detach(folder);
    return true;
}

bool TestTree::rm(const std::string& path) {
    TestNode* node = resolve(path);
    if (!node || node->isFolder()) return false;
    detach(node);
    return true;
}

std::string TestTree::findPath(const AIDA::IManagedObject& object) const {
    TestNode* node = nodeOf(object);
    return node ? pathOf(node) : "";
}

bool TestTree::mv(const std::string& oldPath, const std::string& newPath) {
    TestNode* node = resolve(oldPath);
    if (!node || node == &root) return false;
    TestNode* target = resolve(newPath);
    std::string name;
    if (target && target->isFolder()) {
        name = node->name;
    } else {
        target = parentOf(newPath, name);
        if (!target) return false;
    }
    if (holds(node, target)) return false;
    std::unique_ptr<TestNode> owned = detach(node);
    attach(target, std::move(owned), freeName(target, name));
    return true;
}

bool TestTree::commit() {
    if (store.empty() || type != "dump") return false;
    output.close();
    output.clear();
    output.open(store, std::ios::out | std::ios::trunc);
    if (mounted) mounted->dump(output, mountedPath);
    return static_cast<bool>(output);
}

void TestTree::setOverwrite(bool) {}
bool TestTree::cp(const std::string&, const std::string&, bool) { return false; }
bool TestTree::symlink(const std::string&, const std::string&) { return false; }

bool TestTree::mount(const std::string& path, AIDA::ITree& tree, const std::string& treePath) {
    TestTree* other = dynamic_cast<TestTree*>(&tree);
    if (!other || other == this || path != "/" || mounted) return false;
    mounted = other;
    mountedPath = treePath;
    return true;
}

bool TestTree::unmount(const std::string& path) {
    if (path != "/" || !mounted) return false;
    mounted = nullptr;
    return true;
}

bool TestTree::close() {
    if (!output.is_open()) return store.empty() || type == "dump";
    output.close();
    return static_cast<bool>(output);
}

void* TestTree::cast(const std::string& className) const {
    return className == "ITree" ? const_cast<TestTree*>(this) : nullptr;
}

TestObject* TestTree::insert(const std::string& path, std::unique_ptr<TestObject> object) {
    std::string leaf;
    TestNode* folder = parentOf(path, leaf);
    if (!folder) return nullptr;
    if (TestNode* taken = child(folder, leaf)) {
        if (taken->isFolder()) return nullptr;
        retired.push_back(std::move(detach(taken)->object));
    }
    auto node = std::make_unique<TestNode>();
    node->object = std::move(object);
    TestObject* result = node->object.get();
    attach(folder, std::move(node), leaf);
    return result;
}

bool TestTree::destroy(const AIDA::IManagedObject* object) {
    TestNode* node = object ? nodeOf(*object) : nullptr;
    if (!node) return false;
    detach(node);
    return true;
}

void TestTree::dumpNode(std::ostream& out, const TestNode* node) const {
    for (const auto& entry : node->children) {
        if (entry->isFolder()) {
            out << "dir " << pathOf(entry.get()) << '\n';
            dumpNode(out, entry.get());
        } else {
            entry->object->dump(out, pathOf(entry.get()));
        }
    }
}

void TestTree::dump(std::ostream& out, const std::string& path) const {
    TestNode* node = resolve(path);
    if (node && node->isFolder()) dumpNode(out, node);
}

TestTree& sharedTestTree() {
    static TestTree* tree = new TestTree;
    return *tree;
}

AIDA::ITree* TestTreeFactory::create() { return &sharedTestTree(); }

AIDA::ITree* TestTreeFactory::create(const std::string& storeName, const std::string& storeType, bool readOnly,
                                     bool createNew, const std::string& options) {
    plotLog("treeFactory create store=\"" + storeName + "\" type=\"" + storeType + "\" readOnly=" +
            (readOnly ? "true" : "false") + " createNew=" + (createNew ? "true" : "false") + " options=\"" + options +
            "\"");
    if (storeType != "dump" || storeName.empty()) return nullptr;
    return new TestTree(storeName, storeType);
}
