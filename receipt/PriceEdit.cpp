#include "receipt/PriceEdit.h"

#include "core/EntryRules.h"

PriceEdit::PriceEdit(QWidget* parent) : QDoubleSpinBox(parent) {}

void PriceEdit::setPrice(double price) {
    setValue(RoundDecimals(price, decimals())); // shown as the console rounds: 1.555 as 1.56
    exact_ = price;
}

double PriceEdit::price() const {
    if (exact_ && RoundDecimals(*exact_, decimals()) == value())
        return *exact_;
    return value();
}

QString PriceEdit::priceText() const {
    const double p = price();
    if (p != value())
        return FormatGeneral(p);
    QLocale l;
    l.setNumberOptions(QLocale::OmitGroupSeparator);
    return l.toString(value(), 'f', decimals());
}
