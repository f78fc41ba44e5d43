#pragma once
// The string table inside the language library. The definitions are generated
// from a string table file by glosk_gen; entries are sorted by id, ids are
// unique, and every text is valid UTF-8 without nul bytes.

#include <cstddef>
#include <cstdint>

namespace glosk {

struct Entry {
    uint32_t id;
    uint32_t offset; // into kText
    uint32_t length; // bytes, without terminator
};

extern const Entry kEntries[];
extern const std::size_t kEntryCount;
extern const char kText[];

} // namespace glosk
