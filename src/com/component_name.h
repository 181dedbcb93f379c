// The component look-up of the automation class: the name of the component
// that a loaded configuration lists for a product code and an option.
#pragma once

#include <cstdint>

#include "config/setup_config.h"
#include "foundation/text_string.h"

namespace quillon {

// Walks "Configuration" / "Component" below the tree's root and answers the
// "Name" text of the first component whose "ProductCode" and "Option" texts
// are not empty and read (as atol reads them) as `moduleId` and `module`.
// Null when there is no such component or no "Configuration"; an empty
// string when protection mode is on and the loaded file's signature did not
// verify, so that a changed file never yields a name.
TextString FindComponentName(SetupConfig& config, int32_t moduleId, int32_t module);

}  // namespace quillon
