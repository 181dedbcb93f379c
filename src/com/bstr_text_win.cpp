#include "com/bstr_text.h"

#include <string>

#include "platform/ansi_text.h"

namespace quillon {

TextString TextFromBSTR(BSTR text) {
    TextString result;
    if (text == nullptr) return result;
    const int units = static_cast<int>(::SysStringLen(text));
    if (units == 0) return TextString("");
    const auto* wide = reinterpret_cast<const char16_t*>(text);
    const int bytes = platform::WideToAnsi(wide, units, nullptr, 0);
    if (bytes <= 0) return result;
    std::string converted(static_cast<size_t>(bytes), '\0');
    if (platform::WideToAnsi(wide, units, &converted[0], bytes) != bytes) return result;
    result.Assign(converted.c_str(), bytes);
    return result;
}

bool ToBSTR(const TextString& text, BSTR* out) {
    *out = nullptr;
    if (text.IsNull()) return true;
    const int bytes = text.GetLength();
    if (bytes == 0) {
        *out = ::SysAllocStringLen(nullptr, 0);
        return *out != nullptr;
    }
    const int units = platform::AnsiToWide(text.Text(), bytes, nullptr, 0);
    if (units <= 0) return false;
    BSTR converted = ::SysAllocStringLen(nullptr, static_cast<UINT>(units));
    if (converted == nullptr) return false;
    if (platform::AnsiToWide(text.Text(), bytes, reinterpret_cast<char16_t*>(converted), units) != units) {
        ::SysFreeString(converted);
        return false;
    }
    *out = converted;
    return true;
}

}  // namespace quillon
