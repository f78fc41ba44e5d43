#pragma once
// The receipt being built, as the console mirrors it: typed sale lines, the
// running total, the VAT total by the programmed rates, and the receipts set
// aside. The sale list shows it; the sale, pay, invoice and end-receipt pages
// read and change it. No widget is needed to use it.

#include <QAbstractListModel>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <vector>

// One accepted sale line, with the values sent to the printer and the texts
// the operator saw.
struct SaleLine {
    double quantity = 0.0;
    QString quantityText;
    QString unit;
    double price = 0.0;
    QString priceText;
    QString taxLetter;
    QString name;
    qint64 lineTotal = 0; // hundredths, after any discount or increase
    double returnPrice = 0.0;
    QString returnPriceText;
    QString barcode;
    bool changed = false; // a discount or increase was applied

    // The line as the sale list shows it: nine fields joined by "---".
    QString text() const;
};

class ReceiptModel : public QAbstractListModel {
    Q_OBJECT
  public:
    // Everything a postponement keeps.
    struct Snapshot {
        std::vector<SaleLine> lines;
        qint64 total = 0; // hundredths
        bool discountEnabled = false;
        double vat = 0.0; // the VAT total sent with the postponement
    };
    static constexpr int kSlots = 3;

    explicit ReceiptModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    const std::vector<SaleLine>& lines() const { return lines_; }
    // A fresh receipt view: no lines, a total of 0.
    void clear();
    void add(const SaleLine& line);
    void cancel(int row);
    // A discount (negative) or increase applied to the last line and the total.
    void changeLast(qint64 change);

    // The total in hundredths.
    qint64 total() const { return total_; }
    double totalValue() const { return static_cast<double>(total_) / 100.0; }
    QString totalText() const;
    // The amount due the printer reports replaces the mirror's total, shown as
    // the printer's text until the next change.
    void setAmountDue(const QString& text);

    // The sum of each line's tax by its letter's programmed rate (hundredths of
    // a per cent; 0 or 9999 carry no tax), each rounded to grosz.
    double vatTotal(const std::array<int, 9>& rates) const;

    bool open() const { return open_; }
    void setOpen(bool open) { open_ = open; }

    // ---- receipts set aside (slots 1 to 3) ----
    Snapshot snapshot(double vat, bool discountEnabled) const;
    void restore(const Snapshot& s);
    const std::optional<Snapshot>& postponed(int slot) const;
    void store(int slot, Snapshot s);
    void release(int slot);
    int nextSlot() const { return nextSlot_; }
    void setNextSlot(int slot) { nextSlot_ = slot; }
    void advanceSlot() { nextSlot_ = nextSlot_ < kSlots ? nextSlot_ + 1 : 1; }

  signals:
    void totalChanged(const QString& text);

  private:
    void setTotal(qint64 total);

    std::vector<SaleLine> lines_;
    qint64 total_ = 0;
    QString shownTotal_; // the printer's text while it stands
    bool open_ = false;
    std::array<std::optional<Snapshot>, kSlots> slots_;
    int nextSlot_ = 1;
};
