// The Return Buffer dump of any answer: every line stays inside its buffer and
// has the fixed layout.
#include "answers/HexDump.h"
#include "answers/ReturnBufferModel.h"

#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string all = hexdump::formatAll(data, size);
    std::size_t lines = 0;
    for (char c : all)
        lines += c == '\n';
    if (lines != hexdump::lineCount(size))
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
