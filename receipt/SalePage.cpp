#include "receipt/SalePage.h"

#include "core/EntryRules.h"
#include "core/SafeFormat.h"
#include "core/TypingLimit.h"
#include "programming/PluFile.h"
#include "receipt/PriceEdit.h"

#include <QApplication>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QRadioButton>

#include <cmath>

namespace {

constexpr double kPriceLimit = 999999.99;

QLabel* label(QWidget* parent, const QString& text, int x, int y, int w = 150) {
    auto* l = new QLabel(text, parent);
    l->setGeometry(x, y, w, 22);
    return l;
}

QFont fixedPitch(int pixelSize, bool bold) {
    QFont f(QStringLiteral("Courier New"));
    f.setStyleHint(QFont::TypeWriter);
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    return f;
}

// A localised message, or the English text when no language library is in use.
QString localised(const ConsoleContext& ctx, int id, const QString& fallback, const QList<QVariant>& args) {
    const QString format = ctx.LocaleString(id);
    return SafeFormat(format.isEmpty() ? fallback : format, args);
}

} // namespace

SalePage::SalePage(ConsoleContext& ctx, ReceiptModel& receipt, QWidget* parent)
    : Page(ctx, PageId::Sale, QStringLiteral("Sale"), parent), receipt_(receipt) {
    const int lx = 8, ex = 150, ew = 150;
    label(this, QStringLiteral("Barcode:"), lx, 8)->setObjectName(QStringLiteral("lblBarcode"));
    edBarcode = make<QLineEdit>("edBarcode", ex, 8, ew, 22);
    SetTypingLimit(edBarcode, 13);
    NumericKeyFilter::install(edBarcode, false);
    label(this, QStringLiteral("Name:"), lx, 34)->setObjectName(QStringLiteral("lblPluName"));
    edName = make<QLineEdit>("edName", ex, 34, ew, 22);
    SetTypingLimit(edName, 40);
    label(this, QStringLiteral("Price:"), lx, 60)->setObjectName(QStringLiteral("lblPrice"));
    edPrice = make<PriceEdit>("edPrice", ex, 60, ew, 22);
    edPrice->setDecimals(2);
    edPrice->setRange(-99999999.99, 99999999.99);
    edPrice->setButtonSymbols(QAbstractSpinBox::NoButtons);
    edPrice->setValue(0);
    label(this, QStringLiteral("Unit:"), lx, 86)->setObjectName(QStringLiteral("lblUnit"));
    edUnit = make<QLineEdit>("edUnit", ex, 86, ew, 22);
    SetTypingLimit(edUnit, 4);
    label(this, QStringLiteral("Tax Type:"), lx, 112)->setObjectName(QStringLiteral("lblTaxType"));
    cbDepId = make<QComboBox>("cbDepId", ex, 112, ew, 22);
    for (char c = 'A'; c <= 'I'; ++c)
        cbDepId->addItem(QString(QLatin1Char(c)));
    cbDepId->setEditable(false);
    cbDepId->setCurrentIndex(-1);
    label(this, QStringLiteral("Quantity:"), lx, 138)->setObjectName(QStringLiteral("lblQty"));
    edQty = make<QDoubleSpinBox>("edQty", ex, 138, ew, 22);
    edQty->setDecimals(3);
    edQty->setRange(-9999999.999, 9999999.999);
    edQty->setButtonSymbols(QAbstractSpinBox::NoButtons);
    edQty->setValue(1);
    label(this, QStringLiteral("Return Package Price:"), lx, 164, 140)
        ->setObjectName(QStringLiteral("lblReturnPkgPrice"));
    edRtnPrice = make<QDoubleSpinBox>("edRtnPrice", ex, 164, ew, 22);
    edRtnPrice->setDecimals(2);
    edRtnPrice->setRange(-99999999.99, 99999999.99);
    edRtnPrice->setButtonSymbols(QAbstractSpinBox::NoButtons);
    edRtnPrice->setValue(0);

    SaleList = make<QListView>("SaleList", 310, 8, 300, 166);
    SaleList->setModel(&receipt_);
    SaleList->setFont(fixedPitch(12, false));
    SaleList->setSelectionMode(QAbstractItemView::SingleSelection);
    label(this, QStringLiteral("Total"), 310, 180, 60)->setObjectName(QStringLiteral("lblSaleTotal"));
    edTotal = make<QLineEdit>("edTotal", 370, 178, 240, 40);
    edTotal->setReadOnly(true);
    edTotal->setFont(fixedPitch(24, true));
    edTotal->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    edTotal->setText(receipt_.totalText());
    connect(&receipt_, &ReceiptModel::totalChanged, edTotal, &QLineEdit::setText);

    grpChangePrice = make<QGroupBox>("GroupBox14", 620, 2, 178, 44);
    grpChangePrice->setTitle(QStringLiteral("Change Price"));
    rbDiscCmd1 = make<QRadioButton>("rbDiscCmd1", 8, 20, 80, 20, grpChangePrice);
    rbDiscCmd1->setText(QStringLiteral("Discount"));
    rbDiscCmd1->setChecked(true);
    rbDiscCmd2 = make<QRadioButton>("rbDiscCmd2", 92, 20, 80, 20, grpChangePrice);
    rbDiscCmd2->setText(QStringLiteral("Increase"));
    grpCalcBy = make<QGroupBox>("GroupBox13", 620, 48, 178, 44);
    grpCalcBy->setTitle(QStringLiteral("Calc By"));
    rbDiscAmt1 = make<QRadioButton>("rbDiscAmt1", 6, 20, 92, 20, grpCalcBy);
    rbDiscAmt1->setText(QStringLiteral("Rate"));
    rbDiscAmt1->setChecked(true);
    rbDiscAmt2 = make<QRadioButton>("rbDiscAmt2", 100, 20, 76, 20, grpCalcBy);
    rbDiscAmt2->setText(QStringLiteral("Fixed Amt"));
    grpChangedFrom = make<QGroupBox>("GroupBox4", 620, 94, 178, 44);
    grpChangedFrom->setTitle(QStringLiteral("Changed From"));
    rbDiscBase1 = make<QRadioButton>("rbDiscBase1", 3, 20, 101, 20, grpChangedFrom);
    rbDiscBase1->setText(QStringLiteral("Last Sold Item"));
    rbDiscBase1->setChecked(true);
    rbDiscBase2 = make<QRadioButton>("rbDiscBase2", 104, 20, 72, 20, grpChangedFrom);
    rbDiscBase2->setText(QStringLiteral("Sub Total"));
    label(this, QStringLiteral("Changed Amount:"), 620, 140)->setObjectName(QStringLiteral("lblChangeAmt"));
    edDiscRate = make<QLineEdit>("edDiscRate", 620, 162, 150, 22);
    SetTypingLimit(edDiscRate, 5);
    NumericKeyFilter::install(edDiscRate, true);
    lbPercentMark = make<QLabel>("lbPercentMark", 774, 162, 20, 22);
    lbPercentMark->setText(QStringLiteral("%"));
    bbtnDiscount = makeButton("bbtnDiscount", QStringLiteral("Discount"), 620, 192, 178);

    btnSaleItem = makeButton("btnSaleItem", QStringLiteral("Sale Item"), 8, 196, 142);
    btnCancelItem = makeButton("btnCancelItem", QStringLiteral("Cancel Item"), 158, 196, 142);
    btnPrnSubtotal = makeButton("btnPrnSubtotal", QStringLiteral("Print SubTotal"), 8, 226, 142);
    btnSaleOK = makeButton("btnSaleOK", QStringLiteral("Pay"), 158, 226, 142);
    btnSaleVoid = makeButton("btnSaleVoid", QStringLiteral("Receipt Cancel"), 310, 226, 142);
    btnPostpone = makeButton("btnPostpone", QStringLiteral("Postpone"), 8, 256, 142);
    btnPostpone->setVisible(false);
    btnCancelPostpone = makeButton("btnCancelPostpone", QStringLiteral("Complete Postpone"), 158, 256, 142);
    btnCancelPostpone->setVisible(false);
    btnSale200 = makeButton("btnSale200", QStringLiteral("Sale Batch"), 310, 256, 100);
    btnSale200->setVisible(false);
    edBatch = make<QLineEdit>("edBatch", 414, 256, 60, 22);
    edBatch->setText(QStringLiteral("200"));
    edBatch->setVisible(false);
    BackBtn7 = makeBackButton("BackBtn7", QStringLiteral("Back To Menu"), 663, 256);

    setTabOrder(edBarcode, edName);
    setTabOrder(edName, edPrice);
    setTabOrder(edPrice, edUnit);
    setTabOrder(edUnit, cbDepId);
    setTabOrder(cbDepId, edQty);
    setTabOrder(edQty, edRtnPrice);
    setTabOrder(edRtnPrice, btnSaleItem);
    for (QWidget* w : {static_cast<QWidget*>(edBarcode), static_cast<QWidget*>(edName),
                       static_cast<QWidget*>(edUnit), static_cast<QWidget*>(cbDepId)})
        w->installEventFilter(this); // installed after the key filter, so it sees Enter first

    onClick(btnSaleItem, [this] { btnSaleItemClick(); });
    onClick(btnSale200, [this] { btnSale200Click(); });
    onClick(btnCancelItem, [this] { btnCancelItemClick(); });
    onClick(bbtnDiscount, [this] { bbtnDiscountClick(); });
    onClick(rbDiscAmt1, [this] { rbDiscAmt1Click(); });
    onClick(rbDiscAmt2, [this] { rbDiscAmt1Click(); });
    onClick(rbDiscCmd1, [this] { rbDiscCmd1Click(); });
    onClick(rbDiscCmd2, [this] { rbDiscCmd1Click(); });
    onClick(btnPrnSubtotal, [this] { btnPrnSubtotalClick(); });
    onClick(btnSaleOK, [this] { btnSaleOKClick(); });
    onClick(btnSaleVoid, [this] { btnSaleVoidClick(); });
    onClick(btnPostpone, [this] { btnPostponeClick(); });
    onClick(btnCancelPostpone, [this] { btnCancelPostponeClick(); });
}

void SalePage::attach() {
    onMenu(MenuCommand::Sale, [this] { bbtnSaleClick(); });
    // The discount-kind rule, once at start-up.
    rbDiscAmt1Click();
}

bool SalePage::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            // edNameKeyDown: Enter moves on in tab order.
            focusNextChild();
            return true;
        }
    } else if (event->type() == QEvent::FocusOut && watched == edBarcode) {
        // Only the operator leaving the field for another control of the window
        // looks the article up; the window losing the focus (another program, a
        // message box after a sale, a menu) does not.
        const QWidget* next = QApplication::focusWidget();
        if (next && next != edBarcode && next->window() == window())
            ctx_.guard([this] { edBarcodeExit(); });
    }
    return Page::eventFilter(watched, event);
}

QString SalePage::displayed(const QDoubleSpinBox* box) const {
    QLocale l;
    l.setNumberOptions(QLocale::OmitGroupSeparator);
    return l.toString(box->value(), 'f', box->decimals());
}

QStringList SalePage::saleLines() const {
    QStringList lines;
    for (const SaleLine& line : receipt_.lines())
        lines.append(line.text());
    return lines;
}

void SalePage::bbtnSaleClick() {
    receipt_.clear();
    showFresh();
}

void SalePage::afterPostpone() {
    showFresh();
    btnCancelPostpone->setEnabled(true);
}

void SalePage::afterResume(bool discountEnabled) {
    showFresh();
    bbtnDiscount->setEnabled(discountEnabled);
}

void SalePage::showFresh() {
    ctx_.nav.show(PageId::Sale);
    BackBtn7->setEnabled(true);
    btnPostpone->setEnabled(false);
    btnCancelItem->setEnabled(true);
}

void SalePage::edBarcodeExit() {
    if (!ctx_.plu.loaded() && ctx_.plu.PluLines.isEmpty())
        return; // no article file was ever loaded
    const int index = LookupPluBarcode(ctx_.plu, edBarcode->text());
    if (index < 0) {
        edName->clear();
        edPrice->resetPrice();
        edUnit->clear();
        cbDepId->setCurrentIndex(-1);
        edQty->setValue(1);
        return;
    }
    const QStringList f = SplitText(ctx_.plu.PluLines.at(index), QStringLiteral("\t"));
    if (f.size() < 5) {
        ctx_.errorBox(QStringLiteral("Line %1 of the article file has %2 field(s) where at least five are "
                                     "needed; the article was not filled in.")
                          .arg(index + 1)
                          .arg(f.size()));
        return;
    }
    SetFieldText(edName, f.at(0));
    // The price as the file gives it, not rounded to the two decimals shown.
    edPrice->setPrice(TextToAmount(f.at(3), 0));
    SetFieldText(edUnit, f.at(2));
    const int tax = cbDepId->findText(f.at(4), Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (tax >= 0) {
        cbDepId->setCurrentIndex(tax);
        edQty->setFocus();
    } else {
        ctx_.messages.show(localised(ctx_, 11440, QStringLiteral("Unknown VAT letter: %s"), {f.at(4)}),
                           ctx_.applicationTitle(), IMessageService::Icon::None);
        cbDepId->setFocus();
    }
}

void SalePage::btnSaleItemClick() {
    ctx_.frame.EnsureLinkOpen(dev::Library::User);
    const double quantity = edQty->value();
    const double price = edPrice->price();
    const double returnPrice = edRtnPrice->value();
    if (price > kPriceLimit || returnPrice > kPriceLimit) {
        ctx_.messages.show(localised(ctx_, 11444, QStringLiteral("The price must lie between %s and %s."),
                                     {QStringLiteral("0"), QStringLiteral("999999.99")}),
                           ctx_.applicationTitle(), IMessageService::Icon::None);
        (price > kPriceLimit ? edPrice : edRtnPrice)->setFocus();
        return;
    }
    const int group = cbDepId->currentIndex() + 1;
    auto answer = ctx_.frame.run(protocol::cmd::cmSaleItem,
                                 [&] {
                                     return dev::Args{dev::Arg::real(quantity),
                                                      dev::Arg::text1250(edUnit->text()),
                                                      dev::Arg::real(price),
                                                      dev::Arg::text1250(TaxGroupCode(group)),
                                                      dev::Arg::text1250(edName->text()),
                                                      dev::Arg::integer(returnPrice > 0 ? 1 : 0),
                                                      dev::Arg::real(returnPrice)};
                                 },
                                 {.showCode = false});
    if (!answer)
        return;
    SaleLine line;
    line.quantity = quantity;
    line.quantityText = displayed(edQty);
    line.unit = edUnit->text();
    line.price = price;
    line.priceText = edPrice->priceText();
    line.taxLetter = cbDepId->currentText();
    line.name = edName->text();
    line.lineTotal = std::llround(RoundDecimals((price + returnPrice) * quantity, 2) * 100.0);
    line.returnPrice = returnPrice;
    line.returnPriceText = displayed(edRtnPrice);
    line.barcode = edBarcode->text();
    afterAcceptedSale(line);
}

void SalePage::afterAcceptedSale(const SaleLine& line) {
    receipt_.add(line);
    edBarcode->clear();
    edName->clear();
    edUnit->clear();
    edPrice->resetPrice();
    edQty->setValue(1);
    cbDepId->setCurrentIndex(0);
    edRtnPrice->setValue(0);
    bbtnDiscount->setEnabled(true);
    btnCancelItem->setEnabled(true);
    btnPostpone->setEnabled(true);
    btnCancelPostpone->setEnabled(false);
    edBarcode->setFocus();
    if (!receipt_.open()) {
        receipt_.setOpen(true);
        BackBtn7->setEnabled(false);
    }
    updateSoldQuantity(line.barcode, true, line.quantity);
}

void SalePage::updateSoldQuantity(const QString& barcode, bool isSale, double quantity) {
    if (!ctx_.plu.loaded())
        return;
    const PluUpdateResult r = AddPluSoldQuantity(ctx_.plu, barcode, isSale, quantity);
    if (!r.ok())
        ctx_.errorBox(r.message);
}

void SalePage::btnSale200Click() {
    bool isNumber = false;
    int start = edBatch->text().trimmed().toInt(&isNumber);
    if (!isNumber)
        start = 200;
    for (int i = 0; i < 100; ++i) {
        const int index = start + i;
        if (index < 0 || index >= ctx_.plu.PluBarcodes.size()) {
            ctx_.errorBox(
                QStringLiteral("The article file has no line %1; the batch stopped after %2 sale(s).")
                    .arg(index + 1)
                    .arg(i));
            return;
        }
        SetFieldText(edBarcode, ctx_.plu.PluBarcodes.at(index));
        edBarcodeExit();
        edQty->setValue(1);
        btnSaleItemClick();
    }
}

void SalePage::btnCancelItemClick() {
    const QModelIndex current = SaleList->currentIndex();
    if (!current.isValid() || !SaleList->selectionModel()->isSelected(current))
        return;
    const int row = current.row();
    const SaleLine line = receipt_.lines().at(static_cast<std::size_t>(row));
    int call = 0;
    auto answer = ctx_.frame.run(protocol::cmd::cmCancelItem,
                                 [&] {
                                     if (call++ == 0) // the sizing call carries placeholders
                                         return dev::Args{dev::Arg::real(0),
                                                          dev::Arg::text1250(QString()),
                                                          dev::Arg::real(0),
                                                          dev::Arg::text1250(QString()),
                                                          dev::Arg::text1250(QString()),
                                                          dev::Arg::integer(0),
                                                          dev::Arg::real(0)};
                                     return dev::Args{
                                         dev::Arg::real(line.quantity),
                                         dev::Arg::text1250(line.unit),
                                         dev::Arg::real(line.price),
                                         dev::Arg::text1250(TaxGroupCode(TaxGroupOfLetter(line.taxLetter))),
                                         dev::Arg::text1250(line.name),
                                         dev::Arg::integer(line.returnPrice > 0 ? 1 : 0),
                                         dev::Arg::real(line.returnPrice)};
                                 },
                                 {.showCode = false});
    if (!answer)
        return;
    receipt_.cancel(row);
    updateSoldQuantity(line.barcode, false, line.quantity);
}

void SalePage::rbDiscAmt1Click() {
    const bool rate = rbDiscAmt1->isChecked();
    SetTypingLimit(edDiscRate, rate ? 5 : 10);
    lbPercentMark->setVisible(rate);
}

void SalePage::rbDiscCmd1Click() {
    const bool discount = rbDiscCmd1->isChecked();
    const QString caption = ctx_.LocaleString(discount ? 11099 : 11100);
    bbtnDiscount->setText(
        caption.isEmpty() ? (discount ? QStringLiteral("Discount") : QStringLiteral("Increase")) : caption);
}

void SalePage::bbtnDiscountClick() {
    const bool discount = rbDiscCmd1->isChecked();
    const bool byRate = rbDiscAmt1->isChecked();
    const bool lastItem = rbDiscBase1->isChecked();
    const int code = (byRate ? 0 : 2) + (lastItem ? 0 : 1);
    ctx_.frame.EnsureLinkOpen(dev::Library::User);
    const qint32 value = HundredthsOf(TextToAmount(edDiscRate->text(), 0));
    auto answer = ctx_.frame.run(protocol::cmd::cmDiscount, [&] {
        return dev::Args{dev::Arg::integer(code), dev::Arg::integer(value),
                         dev::Arg::integer(discount ? 1 : 0), dev::Arg::integer(byRate ? 1 : 0)};
    });
    if (!answer)
        return;
    // The local mirror: the change applies to the last line of the list.
    const double r = RoundDecimals(TextToAmount(edDiscRate->text(), 0), 2);
    if (receipt_.lines().empty()) {
        ctx_.errorBox(
            QStringLiteral("The printer accepted the change, but the sale list is empty; the list and "
                           "the total were not changed."));
        return;
    }
    const double lineTotal = static_cast<double>(receipt_.lines().back().lineTotal) / 100.0;
    const double change = byRate ? RoundDecimals(lineTotal * r / 100.0, 2) : r;
    const qint64 hundredths = std::llround(change * 100.0);
    receipt_.changeLast(discount ? -hundredths : hundredths);
    bbtnDiscount->setEnabled(false);
    btnCancelItem->setEnabled(false);
}

void SalePage::btnPrnSubtotalClick() {
    ctx_.frame.run(protocol::cmd::cmPrintSubTotal, [] { return dev::Args{}; }, {.showCode = false});
}

void SalePage::btnSaleOKClick() {
    emit payRequested();
}

void SalePage::btnSaleVoidClick() {
    emit voidRequested();
}

void SalePage::btnPostponeClick() {
    emit postponeRequested(bbtnDiscount->isEnabled());
}

void SalePage::btnCancelPostponeClick() {
    ctx_.nav.show(PageId::InvInfo);
}
