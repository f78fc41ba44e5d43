#include "Glosk.h"
#include "GloskTable.h"

#include <algorithm>
#include <cstring>

namespace {

const glosk::Entry* findEntry(uint32_t id) {
    const glosk::Entry* end = glosk::kEntries + glosk::kEntryCount;
    const glosk::Entry* it = std::lower_bound(glosk::kEntries, end, id,
                                              [](const glosk::Entry& e, uint32_t key) { return e.id < key; });
    return (it != end && it->id == id) ? it : nullptr;
}

bool isContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0u) == 0x80u;
}

} // namespace

extern "C" GLOSK_EXPORT int32_t GloskGetString(uint32_t id, char* buffer, int32_t bufferSize) {
    const glosk::Entry* entry = findEntry(id);
    if (entry == nullptr)
        return -1;
    const char* text = glosk::kText + entry->offset;
    if (buffer == nullptr || bufferSize <= 0)
        return static_cast<int32_t>(entry->length);

    std::size_t count = std::min<std::size_t>(entry->length, static_cast<std::size_t>(bufferSize) - 1);
    // Cut before the sequence that the limit falls into, never inside it.
    if (count < entry->length) {
        while (count > 0 && isContinuationByte(text[count]))
            --count;
    }
    std::memcpy(buffer, text, count);
    buffer[count] = '\0';
    return static_cast<int32_t>(count);
}
