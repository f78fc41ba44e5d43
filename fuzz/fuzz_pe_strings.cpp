// Fuzzes the reader of a PE file's string table (the maker's Glosk.dll) with
// arbitrary bytes: it must refuse with a reason or give strings it can read
// back whole and cut, never reading past the bytes.
#include "app/PeStringTable.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    PeStringTable table;
    if (!table.parse(bytes)) {
        if (table.error().isEmpty() || table.count() != 0 || !table.string(0).isNull())
            __builtin_trap();
        return 0;
    }
    int previous = -1;
    for (int id : table.ids()) {
        if (id <= previous || id > 0xFFFF || !table.contains(id))
            __builtin_trap();
        previous = id;
        const QString whole = table.string(id);
        const QString cut = table.string(id, 7);
        // Each string's units were in the file, and a cut is a prefix of the whole.
        if (whole.size() * 2 > static_cast<qsizetype>(size) || cut.size() > 7 || !whole.startsWith(cut))
            __builtin_trap();
    }
    return 0;
}
