#include "answers/DataFiles.h"

#include "device/Cp1250.h"

#include <QFile>

#include <algorithm>
#include <cstring>

namespace answers {

QString GeneralDecimal(double value, const QLocale& locale) {
    QLocale l = locale;
    l.setNumberOptions(QLocale::OmitGroupSeparator);
    return l.toString(value, 'g', 15);
}

QString PluValueText(quint16 value, const QLocale& locale) {
    if (value == 0xFFFF)
        return {};
    if (value == 10000)
        return QStringLiteral("ZW");
    return GeneralDecimal(value / 100.0, locale);
}

QString PackageValueText(const char* field, int width, int divisor, const QLocale& locale) {
    width = std::clamp(width, 0, 8);
    bool allFF = width > 0;
    quint64 v = 0;
    for (int i = 0; i < width; ++i) {
        const auto b = static_cast<unsigned char>(field[i]);
        allFF = allFF && b == 0xFF;
        v = (v << 8) | b;
    }
    if (allFF)
        return {};
    return GeneralDecimal(static_cast<double>(v) / divisor, locale);
}

QString FiscalReportLine(const char* record, int count) {
    count = std::max(count, 0);
    const void* zero = std::memchr(record, 0, static_cast<std::size_t>(count));
    const int n = zero ? static_cast<int>(static_cast<const char*>(zero) - record) : count;
    return dev::fromCp1250(record, n);
}

// Every PLU value is a 16-bit big-endian number.
static_assert([] {
    for (const protocol::Field& f : protocol::PluRecord::values)
        if (f.width != 2 || f.kind != protocol::Kind::BigEndian)
            return false;
    return true;
}());

static quint16 bigEndian16(const char* p) {
    return static_cast<quint16>((static_cast<unsigned char>(p[0]) << 8) | static_cast<unsigned char>(p[1]));
}

QString PluCell(const char* record, int column, const QLocale& locale) {
    namespace plu = protocol::PluRecord;
    if (column == 0)
        return dev::fromCp1250(record + plu::Name.offset, plu::Name.width);
    if (column >= 1 && column <= static_cast<int>(std::size(plu::values)))
        return PluValueText(bigEndian16(record + plu::values[column - 1].offset), locale);
    return {};
}

QString PackageCell(const char* record, int column, const QLocale& locale) {
    namespace pkg = protocol::PackageRecord;
    if (column == 0)
        return dev::fromCp1250(record + pkg::Name.offset, pkg::Name.width);
    if (column >= 1 && column <= static_cast<int>(std::size(pkg::values))) {
        const pkg::Value& v = pkg::values[column - 1];
        return PackageValueText(record + v.field.offset, v.field.width, v.divisor, locale);
    }
    return {};
}

void ReadRecords(QIODevice& source, int recordSize, qint64 size,
                 const std::function<void(const char*, int, bool)>& show) {
    std::vector<char> record(static_cast<std::size_t>(std::max(recordSize, 1)));
    qint64 total = 0;
    bool first = true;
    do {
        std::fill(record.begin(), record.end(), 0);
        const qint64 n = std::max<qint64>(source.read(record.data(), recordSize), 0);
        total += n;
        show(record.data(), static_cast<int>(n), first);
        first = false;
        if (n == 0)
            break; // empty, or the source ended before its announced size
    } while (total < size);
}

void ReadDataFile(const QString& fileName, int recordSize,
                  const std::function<void(const char*, int, bool)>& show) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw DataFileError(
            QStringLiteral("Cannot open file \"%1\". %2").arg(fileName, file.errorString()).toStdString());
    ReadRecords(file, recordSize, file.size(), show); // QFile closes on every path
}

// ---- RecordTableModel ----

RecordTableModel::RecordTableModel(int recordSize, CellFn cell, QObject* parent)
    : QAbstractTableModel(parent), recordSize_(recordSize), cell_(std::move(cell)) {}

void RecordTableModel::beginLoad() {
    if (!loading_) {
        beginResetModel();
        loading_ = true;
    }
}

void RecordTableModel::endLoad() {
    if (loading_) {
        loading_ = false;
        endResetModel();
    }
}

void RecordTableModel::startOver(const QStringList& headers) {
    const bool wasLoading = loading_;
    beginLoad();
    headers_ = headers;
    bytes_.clear();
    rows_ = 0;
    if (!wasLoading)
        endLoad();
}

void RecordTableModel::append(const char* record) {
    if (loading_) {
        bytes_.insert(bytes_.end(), record, record + recordSize_);
        ++rows_;
        return;
    }
    beginInsertRows(QModelIndex(), rows_, rows_);
    bytes_.insert(bytes_.end(), record, record + recordSize_);
    ++rows_;
    endInsertRows();
}

int RecordTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int RecordTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(headers_.size());
}

QString RecordTableModel::cell(int row, int column) const {
    if (row < 0 || row >= rows_ || column < 0 || column >= headers_.size())
        return {};
    return cell_(bytes_.data() + static_cast<std::size_t>(row) * static_cast<std::size_t>(recordSize_),
                 column);
}

QVariant RecordTableModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid())
        return {};
    return cell(index.row(), index.column());
}

QVariant RecordTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return headers_.value(section);
    return {};
}

// ---- ReportLinesModel ----

void ReportLinesModel::beginLoad() {
    if (!loading_) {
        beginResetModel();
        loading_ = true;
    }
}

void ReportLinesModel::endLoad() {
    if (loading_) {
        loading_ = false;
        endResetModel();
    }
}

void ReportLinesModel::clear() {
    if (loading_) {
        lines_.clear();
        return;
    }
    beginResetModel();
    lines_.clear();
    endResetModel();
}

void ReportLinesModel::append(const QString& line) {
    if (loading_) {
        lines_.append(line);
        return;
    }
    const int row = static_cast<int>(lines_.size());
    beginInsertRows(QModelIndex(), row, row);
    lines_.append(line);
    endInsertRows();
}

int ReportLinesModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(lines_.size());
}

QVariant ReportLinesModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid())
        return {};
    return lines_.value(index.row());
}

} // namespace answers
