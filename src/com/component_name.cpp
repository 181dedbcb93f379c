#include "com/component_name.h"

#include "foundation/decimal_text.h"

namespace quillon {
namespace {

// The text of the component's child `name`; null when there is none.
TextString ChildText(ConfigTree& tree, ConfigNode* component, const char* name) {
    TextString text(name);
    tree.GetChildText(text, component);
    return text;
}

}  // namespace

TextString FindComponentName(SetupConfig& config, int32_t moduleId, int32_t module) {
    if (config.GetSignMode() == 1 && config.IsSignatureValid() == 0) return TextString("");
    ConfigTree& tree = config.tree;
    ConfigNode* configuration = tree.FindChild("Configuration", &tree.root);
    if (configuration == nullptr) return TextString();
    // The first component is found by its exact name, the following ones
    // without regard to case, both on the shared cursor of the children list.
    for (ConfigNode* component = tree.FindChild("Component", configuration); component != nullptr;
         component = tree.FindNextChild("Component", configuration)) {
        TextString productCode = ChildText(tree, component, "ProductCode");
        if (productCode.GetLength() == 0) continue;
        TextString option = ChildText(tree, component, "Option");
        if (option.GetLength() == 0) continue;
        if (ReadDecimalLong(option.Text()) == module && ReadDecimalLong(productCode.Text()) == moduleId)
            return ChildText(tree, component, "Name");
    }
    return TextString();
}

}  // namespace quillon
