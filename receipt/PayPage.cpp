#include "receipt/PayPage.h"

#include "core/EntryRules.h"
#include "core/ExchangeRate.h"
#include "core/ProgrammingWidgets.h"
#include "core/TypingLimit.h"
#include "programming/ProgrammingRules.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>

namespace {

const char* const kTag = "tag";

QLabel* label(QWidget* parent, const char* name, const QString& text, int x, int y, int w = 120) {
    auto* l = new QLabel(text, parent);
    if (name)
        l->setObjectName(QString::fromLatin1(name));
    l->setGeometry(x, y, w, 22);
    return l;
}

const QString kCash = QStringLiteral("GOT\u00D3WKA");

QList<QPair<const char*, QString>> paymentTypes(const char* cash, const char* card, const char* voucher) {
    return {{cash, kCash}, {card, QStringLiteral("KARTA")}, {voucher, QStringLiteral("BON")}};
}

} // namespace

PayPage::PayPage(ConsoleContext& ctx, ReceiptModel& receipt, QWidget* parent)
    : Page(ctx, PageId::Pay, QStringLiteral("Pay"), parent), receipt_(receipt) {
    label(this, "Label34", QStringLiteral("Total:"), 8, 12, 60);
    TotalLabel = make<QLabel>("TotalLabel", 70, 4, 320, 38);
    QFont big(QStringLiteral("Courier New"));
    big.setStyleHint(QFont::TypeWriter);
    big.setPixelSize(26);
    big.setBold(true);
    TotalLabel->setFont(big);

    label(this, "lbl5", QStringLiteral("WALUTA"), 8, 50);
    label(this, "lbl6", QStringLiteral("TYP PLATNOSCI"), 262, 50);

    const auto currencies = [](const char* sale, const char* first, const char* second, const QString& last) {
        return QList<QPair<const char*, QString>>{
            {sale, QStringLiteral("USD")}, {first, QStringLiteral("First Currency")}, {second, last}};
    };
    btnPayInCashOld = menuButton(
        "btnPayInCashOld", QStringLiteral("SPRZEDAZY"), "pm3",
        currencies("mniSPRZEDAZY1", "mniPIERWSZA1", "mniDRUGA1", QStringLiteral("Second Currency ")), 8, 72,
        120, &PayPage::mniSPRZEDAZY1Click);
    CashEdit = make<QLineEdit>("CashEdit", 136, 72, 118, 24);
    SetTypingLimit(CashEdit, 10);
    CashEdit->setText(QStringLiteral("0"));
    btnPayCashold =
        menuButton("btnPayCashold", kCash, "pm1", paymentTypes("mniGOTOWKA1", "mniKARTA1", "mniBON1"), 262,
                   72, 120, &PayPage::mniGOTOWKA1Click);

    btnPayInCashNew = menuButton(
        "btnPayInCashNew", QStringLiteral("DRUGA"), "pm4",
        currencies("mniSPRZEDAZY2", "mniPIERWSZA2", "mniDRUGA2", QStringLiteral("Second Currency")), 8, 100,
        120, &PayPage::mniSPRZEDAZY2Click);
    NewCashEdit = make<QLineEdit>("NewCashEdit", 136, 100, 118, 24);
    SetTypingLimit(NewCashEdit, 10);
    NewCashEdit->setText(QStringLiteral("0"));
    btnPayCashNew = menuButton("btnPayCashNew", kCash, "pm2", paymentTypes("GOTOWKA1", "KARTA1", "BON1"), 262,
                               100, 120, &PayPage::GOTOWKA1Click);

    btnCurrency2 =
        menuButton("btnCurrency2", QStringLiteral("btnCurrency2"), "pm5",
                   currencies("MenuItem1", "MenuItem2", "MenuItem3", QStringLiteral("Second Currency")), 8,
                   128, 120, &PayPage::MenuItem1Click);
    NewCash2 = make<QLineEdit>("NewCash2", 136, 128, 118, 24);
    btnPay2 = menuButton("btnPay2", kCash, "pm6", paymentTypes("MenuItem4", "MenuItem5", "MenuItem6"), 262,
                         128, 120, &PayPage::MenuItem4Click);
    pm3 = btnPayInCashOld->menu();
    pm4 = btnPayInCashNew->menu();
    pm5 = btnCurrency2->menu();
    for (QMenu* m : {pm3, pm4, pm5}) {
        m->actions().at(1)->setVisible(false);
        m->actions().at(2)->setVisible(false);
    }

    btnPay = makeButton("btnPay", QStringLiteral("Pay"), 8, 164, 120);

    lblExchangeRate = make<QLabel>("lblExchangeRate", 400, 72, 170, 22);
    lblExchangeRate->setText(QStringLiteral("new currency/old currency:"));
    lblExchangeRate->setVisible(false);
    ExchangeRate = make<QLabel>("ExchangeRate", 574, 72, 100, 22);
    ExchangeRate->setText(QStringLiteral("0"));
    ExchangeRate->setVisible(false);

    label(this, "Label39", QStringLiteral("ID Type"), 392, 110, 128);
    RzMenuButton1 = menuButton("RzMenuButton1", QStringLiteral("NIP nabywcy:"), "PopupMenu1",
                               {{"NIPnabywcy1", QStringLiteral("NIP nabywcy:")},
                                {"PESELnabywcy1", QStringLiteral("PESEL nabywcy:")},
                                {"IDnabywcy1", QStringLiteral("ID nabywcy")}},
                               522, 108, 140, &PayPage::NIPnabywcy1Click);
    label(this, "Label40", QStringLiteral("Client ID"), 392, 138, 128);
    Edit6 = make<QLineEdit>("Edit6", 522, 136, 180, 24);
    Edit6->setMaxLength(17);
    Button9 = makeButton("Button9", QStringLiteral("Set"), 710, 136, 60);

    // The system number: digits and "-" only, sent padded to 16 characters. A
    // paste keeps its digits and dashes and drops only the other characters.
    label(this, "Label32", QStringLiteral("System Number"), 392, 166, 128);
    edSystemNumber = make<QLineEdit>("edSystemNumber", 522, 164, 180, 24);
    edSystemNumber->setMaxLength(16);
    prog::installKeyFilter(edSystemNumber, [](const QString&, QChar& key) {
        return prog::FilterDigitKey(key) || key == QLatin1Char('-'); // Backspace passes too
    });
    auto* setSysNum = makeButton("btnSetSysNum", QStringLiteral("Set"), 710, 164, 60);
    onClick(setSysNum, [this] { btnSetSysNumClick(); });

    // Hidden controls without behaviour.
    for (auto [name, text, y] :
         {std::tuple{"Label146", "Credit:", 196}, std::tuple{"Label147", "Card Type:", 220},
          std::tuple{"lblPay", "Pay:", 244}}) {
        label(this, name, QString::fromLatin1(text), 400, y, 70)->setVisible(false);
    }
    make<QLineEdit>("Pay1NameEdit", 474, 196, 120, 22)->setVisible(false);
    make<QLineEdit>("Pay1Edit", 474, 244, 120, 22)->setVisible(false);
    auto* pay1 = makeButton("Pay1Btn", QStringLiteral("Pay"), 600, 244, 60);
    pay1->setVisible(false);
    onClick(pay1, [this] { Pay1BtnClick(); });
    auto* currencyGroup = make<QGroupBox>("grpCurrencies", 8, 196, 380, 60);
    currencyGroup->setVisible(false);
    label(currencyGroup, nullptr, QStringLiteral("WALUTA SPRZEOAZY:"), 8, 14, 130);
    label(currencyGroup, nullptr, QStringLiteral("DRUGA WALUTA:"), 8, 34, 130);
    label(currencyGroup, nullptr, QStringLiteral("USD"), 150, 14, 60);
    label(currencyGroup, nullptr, QStringLiteral("EUR"), 150, 34, 60);

    btnPayBackToMain = makeBackButton("btnPayBackToMain", QStringLiteral("Back To Main"), 663, 256);
    onClick(btnPay, [this] { btnPayClick(); });
    onClick(Button9, [this] { Button9Click(); });
}

QPushButton* PayPage::menuButton(const char* name, const QString& caption, const char* menuName,
                                 const QList<QPair<const char*, QString>>& entries, int x, int y, int w,
                                 void (PayPage::*handler)(QAction*)) {
    auto* button = makeButton(name, caption, x, y, w, 24);
    button->setProperty(kTag, 0);
    auto* menu = new QMenu(button);
    menu->setObjectName(QString::fromLatin1(menuName));
    int tag = 0;
    for (const auto& [entryName, entryCaption] : entries) {
        QAction* a = menu->addAction(entryCaption);
        a->setObjectName(QString::fromLatin1(entryName));
        a->setData(tag++);
        connect(a, &QAction::triggered, this,
                [this, a, handler] { ctx_.guard([this, a, handler] { (this->*handler)(a); }); });
    }
    button->setMenu(menu);
    return button;
}

int PayPage::tagOf(const QPushButton* button) {
    return button ? button->property(kTag).toInt() : 0;
}

void PayPage::choose(QPushButton* button, QAction* entry) {
    if (!entry)
        return;
    button->setText(entry->text());
    button->setProperty(kTag, entry->data().toInt());
}

void PayPage::mniGOTOWKA1Click(QAction* entry) {
    choose(btnPayCashold, entry);
}
void PayPage::GOTOWKA1Click(QAction* entry) {
    choose(btnPayCashNew, entry);
}
void PayPage::MenuItem4Click(QAction* entry) {
    choose(btnPay2, entry);
}
void PayPage::mniSPRZEDAZY1Click(QAction* entry) {
    choose(btnPayInCashOld, entry);
}
void PayPage::mniSPRZEDAZY2Click(QAction* entry) {
    choose(btnPayInCashNew, entry);
}
void PayPage::MenuItem1Click(QAction* entry) {
    choose(btnCurrency2, entry);
}
void PayPage::NIPnabywcy1Click(QAction* entry) {
    choose(RzMenuButton1, entry);
}

QString PayPage::buyerIdText(int kindTag, const QString& id) {
    return QString::number(kindTag) + id.leftJustified(17, QLatin1Char(' '), true);
}

void PayPage::applyCurrencyCaptions() {
    const auto& table = ctx_.receipt.CurrencyTable;
    for (QMenu* m : {pm3, pm4, pm5}) {
        const QList<QAction*> entries = m->actions();
        for (int e = 0; e < 3 && e < entries.size(); ++e) {
            entries[e]->setText(table[static_cast<std::size_t>(e)].code);
            if (e > 0)
                entries[e]->setVisible(!table[static_cast<std::size_t>(e)].code.trimmed().isEmpty());
        }
    }
    for (QPushButton* b : {btnPayInCashOld, btnPayInCashNew, btnCurrency2})
        b->setText(table[0].code);
}

void PayPage::openFromSale() {
    for (QPushButton* b :
         {btnPayInCashOld, btnPayInCashNew, btnCurrency2, btnPayCashold, btnPayCashNew, btnPay2})
        b->setProperty(kTag, 0);
    for (QPushButton* b : {btnPayCashold, btnPayCashNew, btnPay2})
        b->setText(kCash);
    lblExchangeRate->setVisible(false);
    ExchangeRate->setVisible(false);

    dev::CommandFrame::Options noOpen;
    noOpen.ensureLinkOpen = false;
    const auto answer = ctx_.frame.run(
        protocol::cmd::cmUploadExchangeRate, [] { return dev::Args{}; }, noOpen);
    if (answer && answer->size() > kExchangeRateMinimum) {
        const ExchangeRateAnswer parsed = ParseExchangeRate(*answer);
        ctx_.receipt.CurrencyTable = parsed.currencies;
        if (parsed.hasAmountDue)
            receipt_.setAmountDue(parsed.amountDue);
        applyCurrencyCaptions();
    }

    receipt_.setOpen(false);
    ctx_.nav.show(PageId::Pay);
    const QString total = receipt_.totalText();
    TotalLabel->setText(total);
    SetFieldText(CashEdit, total);
    NewCashEdit->clear();
    NewCash2->clear();
    CashEdit->setFocus();
    CashEdit->selectAll();
}

double PayPage::inSaleCurrency(double amount, int currencyTag) const {
    if (currencyTag != 1 && currencyTag != 2)
        return amount;
    const CurrencyEntry& c = ctx_.receipt.CurrencyTable[static_cast<std::size_t>(currencyTag)];
    if (c.rate == 0.0)
        return amount;
    return c.mode == QStringLiteral("2") ? amount / c.rate : amount * c.rate;
}

void PayPage::btnPayClick() {
    ctx_.frame.EnsureLinkOpen(dev::Library::User);
    const QLineEdit* fields[3] = {CashEdit, NewCashEdit, NewCash2};
    const QPushButton* types[3] = {btnPayCashold, btnPayCashNew, btnPay2};
    const QPushButton* currencies[3] = {btnPayInCashOld, btnPayInCashNew, btnCurrency2};
    double amount[3];
    int code[3];
    int currency[3];
    for (int i = 0; i < 3; ++i) {
        amount[i] = RoundDecimals(TextToAmount(fields[i]->text(), 0), 2);
        currency[i] = tagOf(currencies[i]);
        code[i] = paymentCode(tagOf(types[i]), currency[i]);
    }
    const auto answer =
        ctx_.frame.run(protocol::cmd::cmPayment,
                       [&] {
                           return dev::Args{dev::Arg::integer(code[0]), dev::Arg::integer(code[1]),
                                            dev::Arg::integer(code[2]), dev::Arg::real(amount[0]),
                                            dev::Arg::real(amount[1]),  dev::Arg::real(amount[2])};
                       },
                       {.showCode = false});
    if (!answer)
        return;
    const double due = RoundDecimals(TextToAmount(TotalLabel->text(), 0), 2);
    double remaining = due;
    for (int i = 0; i < 3; ++i)
        remaining -= inSaleCurrency(amount[i], currency[i]);
    remaining = RoundDecimals(remaining, 2);
    if (remaining <= 0)
        ctx_.nav.show(PageId::Menu);
}

void PayPage::Button9Click() {
    ctx_.frame.EnsureLinkOpen(dev::Library::User);
    const QString text = buyerIdText(tagOf(RzMenuButton1), Edit6->text());
    ctx_.frame.run(protocol::cmd::cmSetClientId, [&] { return dev::Args{dev::Arg::text1250(text)}; },
                   {.showCode = false});
}

void PayPage::btnSetSysNumClick() {
    ctx_.frame.run(protocol::cmd::cmSetSysNum,
                   [this] {
                       return dev::Args{
                           dev::Arg::text1250(edSystemNumber->text().leftJustified(16, QLatin1Char(' ')))};
                   },
                   {.showCode = false});
}
