// The Return Buffer dump of any answer: every line stays inside its buffer and
// has the fixed layout.
#include "core/HexDump.h"
#include "core/ReturnBufferModel.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The bytes themselves may hold line feeds: check the text's length instead.
    const std::string all = hexdump::formatAll(data, size);
    std::size_t expected = size / 16 * (hexdump::kMaxLineLength + 1);
    if (size % 16)
        expected += hexdump::kHexWidth + 3 + std::max<std::size_t>(size % 16, hexdump::kCharWidth) + 1;
    if (all.size() != expected)
        std::abort();

    ReturnBufferModel model;
    model.appendLine(QStringLiteral("heading"));
    model.appendDump(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    for (int row = 0; row < model.rowCount(); ++row) {
        const QString line = model.lineAt(row);
        if (row > 0 &&
            (line.size() < 65 || line.size() > hexdump::kMaxLineLength || line.mid(47, 3) != " | "))
            std::abort();
    }
    return 0;
}
