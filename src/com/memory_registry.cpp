#include "com/memory_registry.h"

#include <cstdio>

namespace quillon {
namespace {

std::string Folded(const std::string& text) {
    std::string folded = text;
    for (char& c : folded)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + ('a' - 'A'));
    return folded;
}

const char* const kRootNames[] = {"HKCR", "HKCU", "HKLM", "HKU", "HKPD", "HKDD", "HKCC"};

std::string Describe(const RegistryValue& value) {
    switch (value.type) {
    case RegistryValueType::kString:
        return "'" + std::string(value.data.c_str()) + "'";
    case RegistryValueType::kNumber: {
        if (value.data.size() != 4) return "dword of " + std::to_string(value.data.size()) + " bytes";
        uint32_t number = 0;
        for (size_t i = 0; i < 4; ++i)
            number |= static_cast<uint32_t>(static_cast<unsigned char>(value.data[i])) << (8 * i);
        return "dword:" + std::to_string(number);
    }
    case RegistryValueType::kBytes: {
        std::string hex = "hex:";
        char pair[3];
        for (char byte : value.data) {
            std::snprintf(pair, sizeof pair, "%02x", static_cast<unsigned char>(byte));
            hex += pair;
        }
        return hex;
    }
    }
    return "?";
}

}  // namespace

struct MemoryRegistry::Node {
    std::string name;
    // By folded name, "" for the default value: the name as set, and the value.
    std::map<std::string, std::pair<std::string, RegistryValue>> values;
    std::map<std::string, std::unique_ptr<Node>> children;  // by folded name

    void Dump(const std::string& path, std::string& out) const {
        auto defaultValue = values.find("");
        out += path;
        if (defaultValue != values.end()) out += " = " + Describe(defaultValue->second.second);
        out += "\n";
        for (const auto& [folded, named] : values)
            if (!folded.empty()) out += path + " [" + named.first + "] = " + Describe(named.second) + "\n";
        for (const auto& [folded, child] : children) child->Dump(path + "\\" + child->name, out);
    }
};

// An open key: its path, resolved on every call, so that a key deleted
// while open simply stops working.
class MemoryKey : public RegistryStoreKey {
public:
    MemoryKey(MemoryRegistry& registry, int root, std::vector<std::string> path, bool writable)
        : registry_(registry), root_(root), path_(std::move(path)), writable_(writable) {}

    std::unique_ptr<RegistryStoreKey> Open(const char* name, bool writable) override {
        MemoryRegistry::Node* node = Resolve();
        if (node == nullptr || node->children.count(Folded(name)) == 0) return nullptr;
        MemoryRegistry::Access access = registry_.AccessOf(PathOf(name));
        if (access == MemoryRegistry::Access::kNone) return nullptr;
        if (writable && access != MemoryRegistry::Access::kFull) return nullptr;
        return Child(name, writable);
    }

    std::unique_ptr<RegistryStoreKey> Create(const char* name) override {
        MemoryRegistry::Node* node = Resolve();
        if (node == nullptr || !writable_ || registry_.AccessOf(PathOf(name)) != MemoryRegistry::Access::kFull)
            return nullptr;
        auto& child = node->children[Folded(name)];
        if (!child) {
            child = std::make_unique<MemoryRegistry::Node>();
            child->name = name;
        }
        return Child(name, true);
    }

    bool HasSubkeys() override {
        MemoryRegistry::Node* node = Resolve();
        return node != nullptr && !node->children.empty();
    }

    void SetValue(const char* name, const RegistryValue& value) override {
        MemoryRegistry::Node* node = Resolve();
        if (node == nullptr || !writable_) return;
        node->values[Folded(name ? name : "")] = {name ? name : "", value};
    }

    void DeleteValue(const char* name) override {
        MemoryRegistry::Node* node = Resolve();
        if (node == nullptr || registry_.AccessOf(PathOf(nullptr)) != MemoryRegistry::Access::kFull) return;
        node->values.erase(Folded(name ? name : ""));
    }

    void DeleteTree(const char* name) override { Delete(name, true); }
    void DeleteSubkey(const char* name) override { Delete(name, false); }

private:
    MemoryRegistry::Node* Resolve() const {
        MemoryRegistry::Node* node = registry_.roots_[root_].get();
        for (const std::string& part : path_) {
            auto found = node->children.find(Folded(part));
            if (found == node->children.end()) return nullptr;
            node = found->second.get();
        }
        return node;
    }

    // The folded path of this key, or of its subkey `name`.
    std::string PathOf(const char* name) const {
        std::string path = kRootNames[root_];
        for (const std::string& part : path_) path += "\\" + part;
        if (name != nullptr) path += std::string("\\") + name;
        return Folded(path);
    }

    std::unique_ptr<RegistryStoreKey> Child(const char* name, bool writable) {
        std::vector<std::string> path = path_;
        path.push_back(name);
        return std::make_unique<MemoryKey>(registry_, root_, std::move(path), writable);
    }

    void Delete(const char* name, bool withSubkeys) {
        MemoryRegistry::Node* node = Resolve();
        if (node == nullptr) return;
        auto found = node->children.find(Folded(name));
        if (found == node->children.end() || registry_.AccessOf(PathOf(name)) != MemoryRegistry::Access::kFull) return;
        if (withSubkeys || found->second->children.empty()) node->children.erase(found);
    }

    MemoryRegistry& registry_;
    int root_;
    std::vector<std::string> path_;
    bool writable_;
};

MemoryRegistry::MemoryRegistry() {
    for (int i = 0; i < 7; ++i) {
        roots_[i] = std::make_unique<Node>();
        roots_[i]->name = kRootNames[i];
    }
}

MemoryRegistry::~MemoryRegistry() = default;

std::unique_ptr<RegistryStoreKey> MemoryRegistry::OpenRoot(RegistryRoot root) {
    return std::make_unique<MemoryKey>(*this, static_cast<int>(root), std::vector<std::string>{}, true);
}

void MemoryRegistry::AddKey(const std::string& path) {
    size_t start = 0, end = path.find('\\');
    std::string rootName = path.substr(0, end);
    int root = 0;
    while (root < 7 && rootName != kRootNames[root]) ++root;
    if (root == 7) return;
    Node* node = roots_[root].get();
    while (end != std::string::npos) {
        start = end + 1;
        end = path.find('\\', start);
        std::string name = path.substr(start, end == std::string::npos ? std::string::npos : end - start);
        auto& child = node->children[Folded(name)];
        if (!child) {
            child = std::make_unique<Node>();
            child->name = name;
        }
        node = child.get();
    }
}

void MemoryRegistry::SetAccess(const std::string& path, Access access) { access_[Folded(path)] = access; }

MemoryRegistry::Access MemoryRegistry::AccessOf(const std::string& foldedPath) const {
    auto found = access_.find(foldedPath);
    return found == access_.end() ? Access::kFull : found->second;
}

std::string MemoryRegistry::Dump() const {
    std::string out;
    for (const auto& root : roots_) {
        for (const auto& [folded, child] : root->children) child->Dump(root->name + "\\" + child->name, out);
    }
    return out;
}

}  // namespace quillon
