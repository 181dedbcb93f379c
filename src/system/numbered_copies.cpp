#include "system/numbered_copies.h"

namespace quillon {
namespace {

bool IsOverwrite(uint32_t mode) { return mode == static_cast<uint32_t>(CopyMode::kOverwrite); }
bool IsDelete(uint32_t mode) { return mode == static_cast<uint32_t>(CopyMode::kDelete); }

int CountDots(const char* text) {
    int dots = 0;
    for (const char* c = text; *c != 0; ++c) dots += *c == '.' ? 1 : 0;
    return dots;
}

}  // namespace

TextString NumberedCopyName(const char* source, unsigned number) {
    if (source == nullptr) return TextString();
    TextString replacement;
    replacement.Format("_%03u.", number);
    if (replacement.IsNull()) return TextString();
    TextString name = source;
    // A replacement cut short by a failed allocation names some other file.
    if (name.ReplaceAll(".", replacement.Text()) != CountDots(source)) return TextString();
    return name;
}

uint32_t UpdateNumberedCopies(const char* source, uint32_t mode, CopyFileSystem& files) {
    if (!files.CanOpenSource(source) && IsOverwrite(mode)) return 0;

    // Without a "." every copy name is the source itself, which must never be
    // deleted or copied onto itself: there are no copies to visit.
    if (source == nullptr || CountDots(source) == 0) return 1;

    uint32_t result = 1;
    for (unsigned number = kFirstCopyNumber; number <= kLastCopyNumber; ++number) {
        TextString copy = NumberedCopyName(source, number);
        if (copy.IsNull()) {
            result = 0;  // out of memory: this copy may stay out of step
            continue;
        }
        if (!files.CanOpenCopy(copy.Text())) continue;
        bool done = true;
        if (IsDelete(mode)) done = files.DeleteCopy(copy.Text());
        if (IsOverwrite(mode)) done = files.OverwriteCopy(source, copy.Text());
        if (!done) result = 0;
    }
    return result;
}

}  // namespace quillon
