#include "receipt/PriceEdit.h"

#include "core/EntryRules.h"

#include <QLineEdit>

PriceEdit::PriceEdit(QWidget* parent) : QDoubleSpinBox(parent) {
    // Only setPrice puts in a price with more decimals; every other change of
    // the value forgets it. Typing the figure already shown changes no value,
    // so an edit of the text by hand forgets it too.
    connect(this, &QDoubleSpinBox::valueChanged, this, [this] {
        if (!settingPrice_)
            exact_.reset();
    });
    connect(lineEdit(), &QLineEdit::textEdited, this, [this] { exact_.reset(); });
}

void PriceEdit::setPrice(double price) {
    settingPrice_ = true;
    setValue(RoundDecimals(price, decimals())); // shown as the console rounds: 1.555 as 1.56
    settingPrice_ = false;
    exact_ = price;
}

void PriceEdit::resetPrice() {
    exact_.reset();
    setValue(0);
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
