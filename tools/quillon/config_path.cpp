#include "config_path.h"

#include <cstdlib>

#include "xml/xml_reader.h"

namespace quillon::cli {

bool ParseNodePath(const std::string& path, std::vector<PathStep>& steps, std::string& error) {
    steps.clear();
    size_t start = 0;
    for (;;) {
        size_t end = path.find('/', start);
        std::string step = path.substr(start, end == std::string::npos ? std::string::npos : end - start);
        PathStep parsed{step};
        size_t bracket = step.find('[');
        if (bracket != std::string::npos) {
            std::string number = step.substr(bracket + 1);
            char* rest = nullptr;
            long index = std::strtol(number.c_str(), &rest, 10);
            if (number.empty() || number[0] < '1' || number[0] > '9' || std::string(rest) != "]" || index > 1000000) {
                error = "bad index in '" + step + "' (want NAME[N], N from 1)";
                return false;
            }
            parsed = {step.substr(0, bracket), static_cast<int>(index)};
        }
        // Only a name the reader reads lets a saved file load again.
        if (!IsXMLName(parsed.name.c_str())) {
            error = "'" + step + "' in path '" + path + "' is not an element name";
            return false;
        }
        steps.push_back(parsed);
        if (end == std::string::npos) return true;
        start = end + 1;
    }
}

ConfigNode* FindNodePath(ConfigNode& root, const std::vector<PathStep>& steps, bool create, size_t& found) {
    ConfigNode* node = &root;
    for (found = 0; found < steps.size(); ++found) {
        const PathStep& step = steps[found];
        TextListItem* item = node->children ? node->children->Find(step.name.c_str()) : nullptr;
        int seen = item ? 1 : 0;
        while (item != nullptr && seen < step.index) {
            item = node->children->FindNext(step.name.c_str());
            if (item != nullptr) ++seen;
        }
        if (item != nullptr) {
            node = static_cast<ConfigNode*>(item->value);
        } else if (create && seen == step.index - 1) {
            node = AppendChild(node, step.name.c_str());
            if (node == nullptr) return nullptr;
        } else {
            return nullptr;
        }
    }
    return node;
}

}  // namespace quillon::cli
