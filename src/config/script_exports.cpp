// The exported script functions: SetProperty hands a typed variable to the
// script engine of a configuration, Execute runs a script in it and hands
// the result back. The handle is the address of a SetupConfig (from Init); 0
// is answered with 0 before anything else happens, any other value is
// trusted. No exception leaves these functions.
#include <windows.h>

#include <cstring>

#include "config/script/script_execute.h"
#include "config/setup_config.h"
#include "platform/export_guard.h"

using quillon::ScriptResult;
using quillon::SetupConfig;
using quillon::TextString;

extern "C" {

// Type 1 (string), 2 (long, read with atol) or 32 (multipart) sets the
// variable and answers 1; any other type removes it and answers 0.
int __stdcall SetProperty(ULONG_PTR config, const char* name, const char* value, int type) noexcept {
    if (config == 0) return 0;
    return quillon::Guarded(0, [&] {
        return reinterpret_cast<SetupConfig*>(config)->SetProperty(TextString(name), TextString(value), type);
    });
}

// 1 when the script's first remaining item was delivered: a long or truth
// value through `number`, a string (with its terminating zero) into `text`,
// which the caller makes large enough. 0 otherwise, with neither written.
int __stdcall Execute(ULONG_PTR config, const char* script, char* text, int* number) noexcept {
    if (config == 0) return 0;
    return quillon::Guarded(0, [&] {
        ScriptResult result = quillon::ExecuteScript(reinterpret_cast<SetupConfig*>(config)->engine, script);
        switch (result.kind) {
            case ScriptResult::kNumber:
                if (number == nullptr) return 0;
                *number = result.number;
                return 1;
            case ScriptResult::kText:
                if (text == nullptr) return 0;
                std::memcpy(text, result.text, std::strlen(result.text) + 1);
                return 1;
            default:
                return 0;
        }
    });
}

}  // extern "C"
