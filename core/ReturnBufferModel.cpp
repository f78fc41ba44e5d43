#include "core/ReturnBufferModel.h"

#include "codepage/Cp1250.h"
#include "core/AnswerDecoders.h"
#include "core/HexDump.h"
#include "protocol/Layouts.h"

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

void ReturnBufferModel::appendDump(const QByteArray& answer, const protocol::Layout* layout) {
    if (marked_.block >= 0) // a mark shows where a page's value came from: a new answer ends it
        clearMark();
    insert(Block{0,
                 static_cast<int>(hexdump::lineCount(static_cast<std::size_t>(answer.size()))),
                 {},
                 answer,
                 layout});
}

void ReturnBufferModel::clear() {
    beginResetModel();
    blocks_.clear();
    blocks_.shrink_to_fit();
    rowCount_ = 0;
    pointed_ = {};
    pointedRow_ = pointedOffset_ = -1;
    marked_ = {};
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

QString ReturnBufferModel::linesText(const QList<int>& rows) const {
    QString text;
    for (const int row : rows)
        text += lineAt(row) + QLatin1Char('\n');
    return text;
}

bool ReturnBufferModel::writeText(QIODevice& out) const {
    QByteArray chunk;
    const int rows = rowCount();
    for (int row = 0; row < rows; ++row) {
        chunk += lineAt(row).toUtf8();
        chunk += '\n';
        if (chunk.size() >= (1 << 16) || row == rows - 1) {
            if (out.write(chunk) != chunk.size())
                return false;
            chunk.clear();
        }
    }
    return true;
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
    if (!index.isValid())
        return QVariant();
    const int row = index.row();
    switch (role) {
    case Qt::DisplayRole:
        return lineAt(row);
    case Qt::ToolTipRole: {
        if (row != pointedRow_)
            return QVariant();
        const Block& b = blocks_[static_cast<std::size_t>(pointed_.block)];
        return describeByte(*b.layout, b.bytes, pointedOffset_);
    }
    case HighlightRole: {
        if (pointed_.block < 0 && marked_.block < 0)
            return QVariant();
        ByteRuns runs;
        appendRuns(pointed_, row, runs);
        appendRuns(marked_, row, runs);
        return runs.isEmpty() ? QVariant() : QVariant::fromValue(runs);
    }
    default:
        return QVariant();
    }
}

qsizetype ReturnBufferModel::storedBytes() const {
    qsizetype total = static_cast<qsizetype>(blocks_.capacity() * sizeof(Block));
    for (const Block& b : blocks_)
        total += b.bytes.capacity() + b.line.capacity() * 2;
    return total;
}

// ---- what the bytes mean ----

ReturnBufferModel::Rows ReturnBufferModel::rowsOf(const Span& span) const {
    if (span.block < 0)
        return {};
    const int first = blocks_[static_cast<std::size_t>(span.block)].firstRow;
    return {first + span.from / hexdump::kBytesPerLine, first + (span.to - 1) / hexdump::kBytesPerLine};
}

void ReturnBufferModel::appendRuns(const Span& span, int row, ByteRuns& runs) const {
    const Rows rows = rowsOf(span);
    if (row < rows.first || row > rows.last)
        return;
    const int lineStart =
        (row - blocks_[static_cast<std::size_t>(span.block)].firstRow) * hexdump::kBytesPerLine;
    const int from = std::max(span.from, lineStart);
    const int to = std::min(span.to, lineStart + hexdump::kBytesPerLine);
    if (from < to)
        runs.append({from - lineStart, to - from});
}

void ReturnBufferModel::changed(Rows rows) {
    if (rows.first >= 0)
        emit dataChanged(index(rows.first, 0), index(rows.last, 0), {HighlightRole, Qt::ToolTipRole});
}

void ReturnBufferModel::setPointedByte(int row, int byte) {
    Span span;
    int offset = -1;
    const Block* b = blockFor(row);
    if (b && b->layout && byte >= 0 && byte < hexdump::kBytesPerLine) {
        const qsizetype at = static_cast<qsizetype>(row - b->firstRow) * hexdump::kBytesPerLine + byte;
        // a byte past the layout has no field (fieldAt says so), nor one past the answer
        if (at < b->bytes.size() && at < b->layout->size) {
            const protocol::FieldAt f = protocol::fieldAt(*b->layout, static_cast<int>(at));
            if (f.field) {
                const int end =
                    static_cast<int>(std::min<qsizetype>(f.offset + f.field->width, b->bytes.size()));
                span = {static_cast<int>(b - blocks_.data()), f.offset, end};
                offset = static_cast<int>(at);
            }
        }
    }
    const int pointedRow = span.block < 0 ? -1 : row;
    if (span == pointed_ && pointedRow == pointedRow_) {
        pointedOffset_ = offset; // the same field: the same tooltip and highlight
        return;
    }
    const Rows before = rowsOf(pointed_);
    pointed_ = span;
    pointedRow_ = pointedRow;
    pointedOffset_ = offset;
    changed(before);
    changed(rowsOf(pointed_));
}

int ReturnBufferModel::lastAnswerRow(const protocol::Layout& layout) const {
    for (auto it = blocks_.rbegin(); it != blocks_.rend(); ++it)
        if (it->layout == &layout)
            return it->firstRow;
    return -1;
}

ReturnBufferModel::Rows ReturnBufferModel::markBytes(const protocol::Layout& layout, int from, int to) {
    Span span;
    const Block* b = blockFor(lastAnswerRow(layout));
    if (b && from >= 0 && from < to && from < b->bytes.size())
        span = {static_cast<int>(b - blocks_.data()), from,
                static_cast<int>(std::min<qsizetype>(to, b->bytes.size()))};
    const Rows before = rowsOf(marked_);
    marked_ = span;
    changed(before);
    changed(rowsOf(marked_));
    return rowsOf(marked_);
}

void ReturnBufferModel::clearMark() {
    const Rows before = rowsOf(marked_);
    marked_ = {};
    changed(before);
}

QString ReturnBufferModel::describeByte(const protocol::Layout& layout, const QByteArray& answer,
                                        int offset) {
    if (offset < 0 || offset >= answer.size())
        return QString();
    const protocol::FieldAt at = protocol::fieldAt(layout, offset);
    if (!at.field)
        return QString();
    protocol::Field f = *at.field;
    f.offset = at.offset;
    QString name = QString::fromLatin1(layout.name);
    if (at.record >= 0)
        name += QStringLiteral(" record %1").arg(at.record + 1);
    const QString width = f.width == 1 ? QStringLiteral("1 byte") : QStringLiteral("%1 bytes").arg(f.width);
    return QStringLiteral("%1: %2\noffset %3 (0x%4), %5\n%6\nvalue: %7")
        .arg(name, QString::fromLatin1(f.name))
        .arg(f.offset)
        .arg(QString::number(f.offset, 16).toUpper().rightJustified(2, QLatin1Char('0')), width,
             QString::fromUtf8(f.meaning), answers::fieldValueText(answer, f));
}
