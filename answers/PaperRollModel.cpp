#include "answers/PaperRollModel.h"

#include "device/TavoApi.h"

#include <QSaveFile>

#include <algorithm>
#include <cstring>

namespace {
constexpr std::size_t kMaxLineBytes = 4 * PaperRollModel::kPaperColumns; // UTF-8, 32 characters

QByteArray tearText() {
    QByteArray t;
    for (int i = 0; i < PaperRollModel::kPaperColumns / 2; ++i)
        t += "- ";
    return t;
}
} // namespace

PaperRollModel::PaperRollModel(QObject* parent) : QAbstractListModel(parent) {}

void PaperRollModel::push(Kind kind, const char* utf8, std::size_t length, int32_t documentNumber) {
    rows_.push_back(Row{static_cast<uint32_t>(bytes_.size()), static_cast<uint16_t>(length),
                        static_cast<uint8_t>(kind), documentNumber});
    bytes_.append(utf8, length);
}

void PaperRollModel::appendLine(const char* utf8, int32_t documentNumber) {
    if (utf8 == nullptr)
        return;
    std::size_t length = strnlen(utf8, kMaxLineBytes + 1);
    if (length > kMaxLineBytes) {
        // longer than any printed line: keep what fits, never half a character
        length = kMaxLineBytes;
        while (length > 0 && (static_cast<unsigned char>(utf8[length]) & 0xC0) == 0x80)
            --length;
    }
    const bool interrupted = std::strncmp(utf8, TAVO_PRINT_INTERRUPTED, length) == 0 &&
                             length == std::strlen(TAVO_PRINT_INTERRUPTED);
    if (rows_.size() + 2 > static_cast<std::size_t>(kMaxRows) || bytes_.size() + length >= UINT32_MAX)
        dropOldest();
    const bool tear = !rows_.empty() && (tearNext_ || rows_.back().document != documentNumber);
    const int first = static_cast<int>(rows_.size());
    const int count = tear ? 2 : 1;
    beginInsertRows(QModelIndex(), first, first + count - 1);
    if (tear)
        push(Kind::Tear, "", 0, documentNumber);
    push(interrupted ? Kind::Interrupted : Kind::Line, utf8, length, documentNumber);
    endInsertRows();
    tearNext_ = interrupted;
}

void PaperRollModel::appendLine(const QString& text, int32_t documentNumber) {
    const QByteArray utf8 = text.toUtf8();
    appendLine(utf8.constData(), documentNumber);
}

void PaperRollModel::dropOldest() {
    const std::size_t drop = std::max<std::size_t>(1, rows_.size() / 10);
    beginRemoveRows(QModelIndex(), 0, static_cast<int>(drop) - 1);
    const uint32_t base = drop < rows_.size() ? rows_[drop].offset : static_cast<uint32_t>(bytes_.size());
    rows_.erase(rows_.begin(), rows_.begin() + static_cast<std::ptrdiff_t>(drop));
    bytes_.erase(0, base);
    for (Row& r : rows_)
        r.offset -= base;
    endRemoveRows();
}

void PaperRollModel::clear() {
    beginResetModel();
    rows_.clear();
    rows_.shrink_to_fit();
    bytes_.clear();
    bytes_.shrink_to_fit();
    tearNext_ = false;
    endResetModel();
}

int PaperRollModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

QString PaperRollModel::lineAt(int row) const {
    if (row < 0 || row >= rowCount())
        return QString();
    const Row& r = rows_[static_cast<std::size_t>(row)];
    return QString::fromUtf8(bytes_.data() + r.offset, r.length);
}

PaperRollModel::Kind PaperRollModel::kindAt(int row) const {
    if (row < 0 || row >= rowCount())
        return Kind::Line;
    return static_cast<Kind>(rows_[static_cast<std::size_t>(row)].kind);
}

int32_t PaperRollModel::documentAt(int row) const {
    if (row < 0 || row >= rowCount())
        return 0;
    return rows_[static_cast<std::size_t>(row)].document;
}

QVariant PaperRollModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
        return lineAt(index.row());
    case KindRole:
        return static_cast<int>(kindAt(index.row()));
    case DocumentRole:
        return documentAt(index.row());
    default:
        return QVariant();
    }
}

int PaperRollModel::find(const QString& text, int from, bool backward) const {
    const int n = rowCount();
    if (text.isEmpty() || n == 0)
        return -1;
    const int step = backward ? -1 : 1;
    int row = std::clamp(from, -1, n);
    for (int i = 0; i < n; ++i) {
        row = ((row + step) % n + n) % n;
        const Row& r = rows_[static_cast<std::size_t>(row)];
        if (r.kind != static_cast<uint8_t>(Kind::Tear) &&
            QString::fromUtf8(bytes_.data() + r.offset, r.length).contains(text, Qt::CaseInsensitive))
            return row;
    }
    return -1;
}

QByteArray PaperRollModel::text() const {
    const QByteArray tear = tearText();
    QByteArray out;
    out.reserve(static_cast<qsizetype>(bytes_.size() + rows_.size() * 2));
    for (const Row& r : rows_) {
        if (r.kind == static_cast<uint8_t>(Kind::Tear))
            out += tear;
        else
            out.append(bytes_.data() + r.offset, r.length);
        out += '\n';
    }
    return out;
}

bool PaperRollModel::saveText(const QString& path, QString* error) const {
    QSaveFile file(path);
    const QByteArray all = text();
    if (!file.open(QIODevice::WriteOnly) || file.write(all) != all.size() || !file.commit()) {
        if (error)
            *error = file.errorString();
        file.cancelWriting();
        return false;
    }
    return true;
}

qsizetype PaperRollModel::storedBytes() const {
    return static_cast<qsizetype>(bytes_.capacity() + rows_.capacity() * sizeof(Row));
}
