// ElementPath: the names of the elements open while a configuration loads,
// each preceded by ";" (";ROOT;Application" inside a section's start tag).
//
// It holds the same text a TextString built with Append (";", name) and
// SplitOff (";", from the end, removing) would, null included, but changes
// at every start and end tag of the file: a buffer that grows and is reused
// spares an allocation and a copy of the whole path per tag.
#pragma once

#include <cstddef>

namespace quillon {

class ElementPath {
public:
    ElementPath() = default;
    ElementPath(const ElementPath&) = delete;
    ElementPath& operator=(const ElementPath&) = delete;
    ~ElementPath();

    // Appends ";" and the name; a path that cannot grow stays as it was.
    void Push(const char* name);
    // Drops the last ";" and what follows it; a path without ";" (a null
    // one) becomes null.
    void Pop();
    void Clear();  // null

    // 1 when the path is exactly `text` (case-sensitive); null equals only null.
    int IsSame(const char* text) const;
    const char* Text() const { return present_ ? buffer_ : nullptr; }

private:
    char* buffer_ = nullptr;
    size_t length_ = 0;
    size_t capacity_ = 0;
    bool present_ = false;
};

}  // namespace quillon
