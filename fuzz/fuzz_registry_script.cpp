// Registration scripts on arbitrary text, run against an in-memory registry
// that already holds a few keys: register, then unregister. Nothing may
// crash, hang or overflow; every result is one of the three the registrar
// gives; and since the in-memory registry refuses nothing here, a script
// that fails to register must have been malformed and must leave the
// registry exactly as it was.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "com/memory_registry.h"
#include "com/registry_script.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string script(reinterpret_cast<const char*>(data), size);
    quillon::MemoryRegistry registry;
    registry.AddKey("HKCR\\CLSID\\{00000000-0000-0000-0000-000000000001}\\InprocServer32");
    registry.AddKey("HKCU\\Software\\Quillon");
    const std::string before = registry.Dump();

    const char* module = "C:\\Bob's Files\\Quillon.dll";
    for (auto mode : {quillon::ScriptMode::kRegister, quillon::ScriptMode::kUnregister}) {
        const quillon::HResult result = quillon::RunModuleScript(script.c_str(), module, mode, registry);
        if (result != quillon::kResultOk && result != quillon::kResultFailed && result != quillon::kResultScriptError)
            std::abort();
        if (mode == quillon::ScriptMode::kRegister && result != quillon::kResultOk && registry.Dump() != before)
            std::abort();
    }
    return 0;
}
