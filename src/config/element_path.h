// ElementPath: the names of the elements open while a configuration loads,
// each preceded by ";" (";ROOT;Application" inside a section's start tag).
//
// It holds the same text a TextString built with Append (";", name) and
// SplitOff (";", from the end, removing) would, null included, but changes
// at every start and end tag of the file: a buffer that grows and is reused
// spares an allocation and a copy of the whole path per tag.
//
// It also keeps the path's TextKeyHash, level by level, so that asking
// whether it equals a text whose hash the caller knows costs no comparison
// when the hashes differ, which is nearly always.
#pragma once

#include <cstddef>
#include <cstdint>

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
    // The same answer, for a text whose TextKeyHash is `textHash`.
    int IsSame(const char* text, uint32_t textHash) const;
    const char* Text() const { return present_ ? buffer_ : nullptr; }

private:
    struct Level {
        size_t length;
        uint32_t hash;  // TextKeyHash of the path up to `length`
    };
    uint32_t Hash() const { return levelCount_ ? levels_[levelCount_ - 1].hash : 0; }
    void PushLevel(size_t length, uint32_t hash);

    char* buffer_ = nullptr;
    size_t length_ = 0;
    size_t capacity_ = 0;
    bool present_ = false;
    Level* levels_ = nullptr;  // one per state since the last Clear; the last is the current path
    size_t levelCount_ = 0;
    size_t levelCapacity_ = 0;
    bool hashed_ = true;  // false once a level could not be recorded: compare in full
};

}  // namespace quillon
