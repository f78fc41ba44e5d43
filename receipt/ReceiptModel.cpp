#include "receipt/ReceiptModel.h"

#include "core/EntryRules.h"

#include <cmath>

namespace {

QString amountText(qint64 hundredths) {
    return FormatGeneral(static_cast<double>(hundredths) / 100.0);
}

} // namespace

QString SaleLine::text() const {
    return QStringList{quantityText,    unit,    priceText,
                       taxLetter,       name,    amountText(lineTotal),
                       returnPriceText, barcode, changed ? QStringLiteral("1") : QStringLiteral("0")}
        .join(QStringLiteral("---"));
}

ReceiptModel::ReceiptModel(QObject* parent) : QAbstractListModel(parent) {}

int ReceiptModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(lines_.size());
}

QVariant ReceiptModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() < 0 || index.row() >= rowCount())
        return {};
    if (role == Qt::DisplayRole)
        return lines_[static_cast<std::size_t>(index.row())].text();
    return {};
}

void ReceiptModel::clear() {
    beginResetModel();
    lines_.clear();
    endResetModel();
    setTotal(0);
}

void ReceiptModel::add(const SaleLine& line) {
    const int row = rowCount();
    beginInsertRows({}, row, row);
    lines_.push_back(line);
    endInsertRows();
    setTotal(total_ + line.lineTotal);
}

void ReceiptModel::cancel(int row) {
    if (row < 0 || row >= rowCount())
        return;
    const qint64 lineTotal = lines_[static_cast<std::size_t>(row)].lineTotal;
    beginRemoveRows({}, row, row);
    lines_.erase(lines_.begin() + row);
    endRemoveRows();
    setTotal(total_ - lineTotal);
}

void ReceiptModel::changeLast(qint64 change) {
    if (lines_.empty())
        return;
    SaleLine& last = lines_.back();
    last.lineTotal += change;
    last.changed = true;
    const QModelIndex i = index(rowCount() - 1);
    emit dataChanged(i, i, {Qt::DisplayRole});
    setTotal(total_ + change);
}

QString ReceiptModel::totalText() const {
    return shownTotal_.isEmpty() ? amountText(total_) : shownTotal_;
}

void ReceiptModel::setAmountDue(const QString& text) {
    total_ = std::llround(RoundDecimals(TextToAmount(text, 0), 2) * 100.0);
    shownTotal_ = text;
    emit totalChanged(totalText());
}

void ReceiptModel::setTotal(qint64 total) {
    total_ = total;
    shownTotal_.clear();
    emit totalChanged(totalText());
}

double ReceiptModel::vatTotal(const std::array<int, 9>& rates) const {
    double vat = 0.0;
    for (const SaleLine& line : lines_) {
        const int group = TaxGroupOfLetter(line.taxLetter);
        if (group < 1 || group > 9)
            continue;
        const int stored = rates[static_cast<std::size_t>(group - 1)];
        if (stored <= 0 || stored == 9999)
            continue;
        const double r = stored / 100.0;
        vat += RoundDecimals(r * (static_cast<double>(line.lineTotal) / 100.0) / (r + 100.0), 2);
    }
    return vat;
}

ReceiptModel::Snapshot ReceiptModel::snapshot(double vat, bool discountEnabled) const {
    return Snapshot{lines_, total_, discountEnabled, vat};
}

void ReceiptModel::restore(const Snapshot& s) {
    beginResetModel();
    lines_ = s.lines;
    endResetModel();
    setTotal(s.total);
}

const std::optional<ReceiptModel::Snapshot>& ReceiptModel::postponed(int slot) const {
    static const std::optional<Snapshot> none;
    return slot >= 1 && slot <= kSlots ? slots_[static_cast<std::size_t>(slot - 1)] : none;
}

void ReceiptModel::store(int slot, Snapshot s) {
    if (slot >= 1 && slot <= kSlots)
        slots_[static_cast<std::size_t>(slot - 1)] = std::move(s);
}

void ReceiptModel::release(int slot) {
    if (slot >= 1 && slot <= kSlots)
        slots_[static_cast<std::size_t>(slot - 1)].reset();
}
