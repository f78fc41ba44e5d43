#pragma once
// A price editor: a two-decimal spin box that also remembers a price the
// program put in with more decimals (1.555 from the article file). While the
// box still shows that price rounded, the price is the one put in. Any other
// change forgets it: the operator typing, pasting or stepping (even to the
// same figure), a value set with setValue, a reset.

#include <QDoubleSpinBox>

#include <optional>

class PriceEdit : public QDoubleSpinBox {
    Q_OBJECT
  public:
    explicit PriceEdit(QWidget* parent = nullptr);
    // Shows `price` (rounded to the box's decimals) and remembers it whole.
    void setPrice(double price);
    // Shows 0 and forgets any remembered price.
    void resetPrice();
    // The price put in by setPrice while the box still shows it, else value().
    double price() const;
    // The price as written into a sale line: the box's text, or the whole
    // price in the general decimal form when it has more decimals.
    QString priceText() const;

  private:
    std::optional<double> exact_;
    bool settingPrice_ = false;
};
