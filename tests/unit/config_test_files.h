// Files for the configuration tests: a throw-away folder per test, helpers
// to write and read whole files as bytes, and a configuration set up to
// select one section.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "config/setup_config.h"

namespace quillon::test {

// A fresh folder below the system's temporary folder, removed with all it
// holds; native and under Wine.
class TempFolder {
public:
    TempFolder() {
        std::error_code error;
        std::random_device random;
        do path_ = (std::filesystem::temp_directory_path(error) / ("quillon-test-" + std::to_string(random()))).string();
        while (!std::filesystem::create_directory(path_, error) && !error);
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }
    std::vector<std::string> Entries() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(path_)) names.push_back(entry.path().filename().string());
        return names;
    }

private:
    std::string path_;
};

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Turns "\n" into CR LF, the line end every saved configuration uses.
inline std::string Crlf(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

// A configuration that selects the section of `app` and `version`, in
// protection mode when asked.
class SelectedConfig : public SetupConfig {
public:
    explicit SelectedConfig(const char* app = "App", const char* version = "1", bool protect = false) {
        appName = app;
        appVersion = version;
        SetSignMode(protect ? "Protection" : "");
    }
    int32_t LoadString(const std::string& text) { return LoadText(text.c_str(), static_cast<int32_t>(text.size())); }
    int32_t LoadFile(const std::string& path) { return Load(TextString(path.c_str())); }
    int32_t SaveFile(const std::string& path) { return Save(TextString(path.c_str())); }
    // The tree below the root as "name=text(children)", siblings separated by
    // commas, "=text" only for a present text: whole trees in one string.
    std::string Shape(const ConfigNode* node = nullptr) const {
        std::string out;
        if (node == nullptr) node = &tree.root;
        for (auto* item = node->children ? node->children->Head() : nullptr; item; item = item->next) {
            const auto* child = static_cast<const ConfigNode*>(item->value);
            out += (out.empty() ? "" : ",") + std::string(child->name.Text());
            if (!child->text.IsNull()) out += "=" + std::string(child->text.Text());
            if (child->children) out += "(" + Shape(child) + ")";
        }
        return out;
    }
};

// A file with one section, `Name` and `Version` as given, holding `content`.
inline std::string SectionFile(const std::string& name, const std::string& version, const std::string& content) {
    return "<ROOT><Application Name=\"" + name + "\" Version=\"" + version + "\">" + content + "</Application></ROOT>";
}

}  // namespace quillon::test
