// The Return Buffer dump of any answer: every line stays inside its buffer and
// has the fixed layout. The answer is also read with a layout its first byte
// chooses (or none), and bytes its other bytes choose are pointed at and marked:
// a tooltip is there exactly for a byte inside both the answer and the layout,
// and every highlight lies inside its line's bytes.
#include "core/HexDump.h"
#include "core/ReturnBufferModel.h"
#include "protocol/Layouts.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <iterator>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The bytes themselves may hold line feeds: check the text's length instead.
    const std::string all = hexdump::formatAll(data, size);
    std::size_t expected = size / 16 * (hexdump::kMaxLineLength + 1);
    if (size % 16)
        expected += hexdump::kHexWidth + 3 + std::max<std::size_t>(size % 16, hexdump::kCharWidth) + 1;
    if (all.size() != expected)
        std::abort();

    const protocol::Layout* layout = nullptr;
    constexpr std::size_t kLayoutCount = std::size(protocol::kLayouts);
    if (size > 0 && data[0] % (kLayoutCount + 1) < kLayoutCount)
        layout = protocol::kLayouts[data[0] % (kLayoutCount + 1)];
    const QByteArray answer(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    ReturnBufferModel model;
    model.appendLine(QStringLiteral("heading"));
    model.appendDump(answer, layout);
    for (int row = 0; row < model.rowCount(); ++row) {
        const QString line = model.lineAt(row);
        if (row > 0 &&
            (line.size() < 65 || line.size() > hexdump::kMaxLineLength || line.mid(47, 3) != " | "))
            std::abort();
    }

    // Point at one byte of each line, -1 to 16, then mark a run of bytes.
    for (int row = 0; row < model.rowCount(); ++row) {
        const int byte = size > 0 ? data[static_cast<std::size_t>(row) % size] % 18 - 1 : row - 1;
        model.setPointedByte(row, byte);
        const long offset = (row - 1L) * hexdump::kBytesPerLine + byte;
        const bool inside = layout && row > 0 && byte >= 0 && byte < hexdump::kBytesPerLine &&
                            offset < static_cast<long>(size) && offset < layout->size;
        const QString tip = model.data(model.index(row, 0), Qt::ToolTipRole).toString();
        if (tip.isEmpty() == inside)
            std::abort();
        bool covered = false;
        for (int r = std::max(0, row - 3); r < std::min(model.rowCount(), row + 4); ++r) {
            const int lineBytes =
                r == 0 ? 0 : static_cast<int>(std::min<long>(16, static_cast<long>(size) - (r - 1L) * 16));
            const QVariant v = model.data(model.index(r, 0), ReturnBufferModel::HighlightRole);
            for (const ReturnBufferModel::ByteRun& run : v.value<ReturnBufferModel::ByteRuns>()) {
                if (run.first < 0 || run.count <= 0 || run.first + run.count > lineBytes)
                    std::abort();
                covered = covered || (r == row && byte >= run.first && byte < run.first + run.count);
            }
        }
        if (inside != covered)
            std::abort();
        // the description of a byte stays inside the answer wherever it points
        if (layout)
            ReturnBufferModel::describeByte(*layout, answer, byte * 37 + row);
    }
    if (layout && size > 2) {
        const ReturnBufferModel::Rows rows = model.markBytes(*layout, data[1] - 8, data[1] + data[2] % 40);
        if (rows.first >= 0 && (rows.first < 1 || rows.last >= model.rowCount() || rows.last < rows.first))
            std::abort();
    }
    model.clearPointedByte();
    return 0;
}
