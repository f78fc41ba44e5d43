#include "core/ReturnBufferModel.h"

#include "codepage/Cp1250.h"
#include "core/HexDump.h"

#include <algorithm>
#include <array>

namespace {
// The character column shows each byte as an 8-bit character of code page 1250.
const std::array<QChar, 256>& cp1250Chars() {
    static const std::array<QChar, 256> table = [] {
        std::array<QChar, 256> t{};
        for (int b = 0; b < 256; ++b) {
            const char16_t c = cp1250::table()[static_cast<std::size_t>(b)];
            // the few bytes the code page leaves undefined decode to themselves;
            // they show as the replacement character
            t[b] = c >= 0x80 && c < 0xA0 ? QChar(QChar::ReplacementCharacter) : QChar(c);
        }
        return t;
    }();
    return table;
}
} // namespace

ReturnBufferModel::ReturnBufferModel(QObject* parent) : QAbstractListModel(parent) {}

void ReturnBufferModel::insert(Block block) {
    if (block.rows <= 0)
        return;
    block.firstRow = rowCount_;
    beginInsertRows(QModelIndex(), rowCount_, rowCount_ + block.rows - 1);
    rowCount_ += block.rows;
    blocks_.push_back(std::move(block));
    endInsertRows();
}

void ReturnBufferModel::appendLine(const QString& line) {
    insert(Block{0, 1, line, {}});
}

void ReturnBufferModel::appendDump(const QByteArray& answer) {
    insert(
        Block{0, static_cast<int>(hexdump::lineCount(static_cast<std::size_t>(answer.size()))), {}, answer});
}

void ReturnBufferModel::clear() {
    beginResetModel();
    blocks_.clear();
    blocks_.shrink_to_fit();
    rowCount_ = 0;
    endResetModel();
}

int ReturnBufferModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rowCount_;
}

const ReturnBufferModel::Block* ReturnBufferModel::blockFor(int row) const {
    if (row < 0 || row >= rowCount_)
        return nullptr;
    auto it = std::upper_bound(blocks_.begin(), blocks_.end(), row,
                               [](int r, const Block& b) { return r < b.firstRow; });
    return &*(it - 1);
}

QString ReturnBufferModel::lineAt(int row) const {
    const Block* b = blockFor(row);
    if (!b)
        return QString();
    if (b->bytes.isEmpty())
        return b->line;
    const qsizetype at = static_cast<qsizetype>(row - b->firstRow) * hexdump::kBytesPerLine;
    const int n = static_cast<int>(std::min<qsizetype>(hexdump::kBytesPerLine, b->bytes.size() - at));
    const auto* bytes = reinterpret_cast<const unsigned char*>(b->bytes.constData()) + at;
    char line[hexdump::kMaxLineLength];
    const int len = hexdump::formatLine(bytes, n, line);
    QString text(len, Qt::Uninitialized);
    const auto& chars = cp1250Chars();
    QChar* out = text.data();
    for (int i = 0; i < len; ++i)
        out[i] = chars[static_cast<unsigned char>(line[i])];
    return text;
}

QVariant ReturnBufferModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid())
        return QVariant();
    return lineAt(index.row());
}

qsizetype ReturnBufferModel::storedBytes() const {
    qsizetype total = static_cast<qsizetype>(blocks_.capacity() * sizeof(Block));
    for (const Block& b : blocks_)
        total += b.bytes.capacity() + b.line.capacity() * 2;
    return total;
}
