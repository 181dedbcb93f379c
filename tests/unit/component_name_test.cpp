#include "com/component_name.h"

#include <gtest/gtest.h>

#include <string>

using quillon::SetupConfig;
using quillon::TextString;

namespace {

const char* const kNull = nullptr;

struct Component {
    const char* productCode;  // null: no such element
    const char* option;
    const char* name;
};

std::string Element(const char* name, const char* text) {
    return text ? "<" + std::string(name) + ">" + text + "</" + name + ">" : "";
}

// A loaded configuration whose "Configuration" lists `components`.
void Load(SetupConfig& config, std::initializer_list<Component> components, const char* list = "Configuration") {
    std::string text = "<ROOT><Application Name=\"A\" Version=\"1\"><" + std::string(list) + ">";
    for (const Component& c : components)
        text += "<Component>" + Element("ProductCode", c.productCode) + Element("Option", c.option) +
                Element("Name", c.name) + "</Component>";
    text += "</" + std::string(list) + "></Application></ROOT>";
    config.appName = "A";
    config.appVersion = "1";
    ASSERT_EQ(config.LoadText(text.c_str(), static_cast<int32_t>(text.size())), 0);
}

}  // namespace

TEST(ComponentName, FirstComponentWhoseCodeAndOptionReadAsTheNumbers) {
    const struct {
        const char* name;
        std::initializer_list<Component> components;
        int32_t moduleId, module;
        const char* expected;
        const char* list = "Configuration";
        int32_t signMode = 0, signatureValid = 0;
    } cases[] = {
        {"matching component", {{"12", "3", "Client"}}, 12, 3, "Client"},
        {"numbers read as atol reads them", {{" 12abc", "+3x", "Client"}}, 12, 3, "Client"},
        {"the option must match too", {{"12", "3", "Client"}}, 12, 4, kNull},
        {"an empty option never matches, not even 0", {{"12", "", "Client"}}, 12, 0, kNull},
        {"a missing product code never matches", {{nullptr, "0", "Client"}}, 0, 0, kNull},
        {"the first of two matches", {{"7", "1", "First"}, {"7", "1", "Second"}}, 7, 1, "First"},
        {"later components are searched", {{"1", "1", "One"}, {"2", "5", "Other"}, {"2", "0", "Two"}}, 2, 0, "Two"},
        {"a component without a name", {{"5", "5", nullptr}}, 5, 5, kNull},
        {"no Configuration element", {{"1", "1", "One"}}, 1, 1, kNull, "Settings"},
        {"a verified signature", {{"1", "1", "One"}}, 1, 1, "One", "Configuration", 1, 1},
        {"a signature that does not verify: empty, not null", {{"1", "1", "One"}}, 1, 1, "", "Configuration", 1, 0},
        {"an unverified signature outside protection mode", {{"1", "1", "One"}}, 1, 1, "One", "Configuration", 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetupConfig config;
        Load(config, c.components, c.list);
        config.signMode = c.signMode;
        config.signatureValid = c.signatureValid;
        TextString found = quillon::FindComponentName(config, c.moduleId, c.module);
        if (c.expected == nullptr) {
            EXPECT_TRUE(found.IsNull()) << found.Text();
        } else {
            EXPECT_STREQ(found.Text(), c.expected);
        }
    }
}
