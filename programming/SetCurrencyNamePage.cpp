#include "programming/SetCurrencyNamePage.h"

#include "core/ExchangeRate.h"
#include "core/ProgrammingWidgets.h"
#include "programming/ProgrammingRules.h"

#include <QApplication>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QRadioButton>

namespace {
// The rate fields write a rate with a dot whatever the locale: the printer's
// decimal comma reads back as a dot, and the workstation's decimal sign, typed,
// goes in as a dot too (the printer takes either).
constexpr QChar kRateSeparator = QLatin1Char('.');
QChar localeSeparator() {
    const QString sep = QLocale().decimalPoint();
    return sep.isEmpty() ? kRateSeparator : sep.front();
}
// An empty text travels as a null pointer, not as a pointer to an empty string.
dev::Arg textOrNull(const QString& text) {
    return text.isEmpty() ? dev::Arg::null() : dev::Arg::text1250(text);
}
} // namespace

SetCurrencyNamePage::SetCurrencyNamePage(ConsoleContext& ctx, QWidget* parent)
    : Page(ctx, PageId::SetCurrencyName, QStringLiteral("SetCurrencyName"), parent) {
    auto spin = [this](const char* labelName, const QString& caption, const char* name, int x, int min,
                       int max, int value) {
        make<QLabel>(labelName, x, 12, 38, 17)->setText(caption);
        auto* se = make<prog::SpinEdit>(name, x + 40, 8, 50, 24);
        se->setup(min, max, 2, value);
        return se;
    };
    cuYearSE = spin("Label27", QStringLiteral("Year"), "cuYearSE", 10, 0, 99, 0);
    cuMonthSE = spin("Label30", QStringLiteral("Month"), "cuMonthSE", 105, 1, 12, 1);
    cuDaySE = spin("Label35", QStringLiteral("Day"), "cuDaySE", 200, 1, 31, 1);
    cuHourSE = spin("Label36", QStringLiteral("Hour"), "cuHourSE", 295, 0, 23, 0);
    cuMinSE = spin("Label37", QStringLiteral("Min"), "cuMinSE", 390, 0, 59, 0);
    onClick(makeButton("btnUploadCurrency", QStringLiteral("Read Currency"), 510, 8, 135),
            [this] { btnUploadCurrencyClick(); });
    onClick(makeButton("btnSetCurrency", QStringLiteral("Set Currency "), 655, 8, 135),
            [this] { btnSetCurrencyClick(); });

    const QChar typedSeparator = localeSeparator();
    auto rateFilter = [typedSeparator](const QString& text, QChar& key) {
        if (key == typedSeparator)
            key = kRateSeparator;
        return prog::FilterRateKey(text, key, kRateSeparator);
    };
    auto group = [&](const char* name, const QString& title, int y, const char* rbRow1, const char* edRow1,
                     const char* rbRow2, const char* edRow2, QRadioButton*& r1, QLineEdit*& e1,
                     QRadioButton*& r2, QLineEdit*& e2) {
        auto* g = make<QGroupBox>(name, 10, y, 400, 88);
        g->setTitle(title);
        r1 = make<QRadioButton>(rbRow1, 10, 24, 200, 20, g);
        r1->setText(QStringLiteral("new currency/old currency"));
        r1->setChecked(true);
        e1 = make<QLineEdit>(edRow1, 220, 22, 160, 22, g);
        r2 = make<QRadioButton>(rbRow2, 10, 56, 200, 20, g);
        r2->setText(QStringLiteral("old currency/new currency"));
        e2 = make<QLineEdit>(edRow2, 220, 54, 160, 22, g);
        prog::installKeyFilter(e1, rateFilter);
        prog::installKeyFilter(e2, rateFilter);
        return g;
    };
    grpExChange = group("grpExChange", QStringLiteral("Exchange Rate 1 Currency Name"), 45,
                        "rbExchangeNewold", "ExchangeEdit1", "rbExchangeOldnew", "ExchangeEdit2",
                        rbExchangeNewold, ExchangeEdit1, rbExchangeOldnew, ExchangeEdit2);
    edtCurrencyName = make<QLineEdit>("edtCurrencyName", 420, 62, 60, 22);
    grp2 = group("grp2", QStringLiteral("Exchange Rate 2 Currency Name"), 145, "rb1", "edt2", "rb2", "edt1",
                 rb1, edt2, rb2, edt1);
    grp2->setEnabled(false);
    edt3 = make<QLineEdit>("edt3", 420, 162, 60, 22);
    edt3->setEnabled(false);
    for (QLineEdit* name : {edtCurrencyName, edt3})
        connect(name, &QLineEdit::textEdited, this,
                [this, name] { ctx_.guard([this, name] { nameEdited(name); }); });

    btnSetCurName = makeButton("btnSetCurName", QStringLiteral("Set Currency Name"), 510, 62, 135);
    onClick(btnSetCurName, [this] { btnSetCurNameClick(); });
    btnSetExChangeRate = makeButton("btnSetExChangeRate", QStringLiteral("Set Exchange Rate"), 510, 100, 135);
    onClick(btnSetExChangeRate, [this] { btnSetExChangeRateClick(); });
    auto* hidden = makeButton("Button12", QStringLiteral("Button12"), 510, 140, 135);
    hidden->setVisible(false);
    onClick(hidden, [this] { Button12Click(); });
    makeBackButton("btn_bm", QStringLiteral("Back To MainMenu"));

    // Leaving group 1, or moving the mouse over it, settles what the name allows.
    grpExChange->setMouseTracking(true);
    grpExChange->installEventFilter(this);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
        if (old && grpExChange->isAncestorOf(old) && !(now && grpExChange->isAncestorOf(now)))
            ctx_.guard([this] { grpExChangeExit(); });
    });
}

void SetCurrencyNamePage::attach() {
    onMenu(MenuCommand::SetCurrency, [this] { btnSetPoCurrencyClick(); });
    onMenu(MenuCommand::ReadExchangeRate, [this] { btnReadExchangeRateClick(); });
}

bool SetCurrencyNamePage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == grpExChange && event->type() == QEvent::MouseMove)
        ctx_.guard([this] { grpExChangeMouseMove(); });
    return Page::eventFilter(watched, event);
}

void SetCurrencyNamePage::fillFrom(const QDateTime& when) {
    cuYearSE->setValue(when.date().year() % 100);
    cuMonthSE->setValue(when.date().month());
    cuDaySE->setValue(when.date().day());
    cuHourSE->setValue(when.time().hour());
    cuMinSE->setValue(when.time().minute());
}

void SetCurrencyNamePage::btnSetPoCurrencyClick() {
    fillFrom(QDateTime::currentDateTime());
    ctx_.nav.show(PageId::SetCurrencyName);
}

void SetCurrencyNamePage::nameEdited(QLineEdit* edit) {
    if (edit->text().size() <= 3)
        return;
    ctx_.infoBox(ctx_.LocaleString(12703));
    edit->setText(edit->text().left(3));
}

void SetCurrencyNamePage::grpExChangeExit() {
    const bool named = !edtCurrencyName->text().isEmpty();
    grp2->setEnabled(named);
    edt3->setEnabled(named);
    btnSetCurName->setEnabled(named);
    btnSetExChangeRate->setEnabled(named);
}

void SetCurrencyNamePage::grpExChangeMouseMove() {
    grpExChangeExit();
}

void SetCurrencyNamePage::updateSetButtons() {
    const bool named = !edtCurrencyName->text().trimmed().isEmpty();
    btnSetCurName->setEnabled(named);
    btnSetExChangeRate->setEnabled(named);
}

void SetCurrencyNamePage::fillFromAnswer(const QByteArray& answer) {
    const prog::CurrencyChange c = prog::ParseCurrencyChange(answer, kRateSeparator);
    if (c.state == prog::CurrencyChange::State::TooShort)
        return;
    if (c.state == prog::CurrencyChange::State::NotSet) {
        ctx_.errorBox(QStringLiteral("Not yet set New Currency"));
        return;
    }
    cuYearSE->setFieldText(c.year);
    cuMonthSE->setFieldText(c.month);
    cuDaySE->setFieldText(c.day);
    cuHourSE->setFieldText(c.hour);
    cuMinSE->setFieldText(c.minute);
    edtCurrencyName->setText(c.name);
    if (c.rate1.direction == QLatin1Char('A')) {
        rbExchangeNewold->setChecked(true);
        ExchangeEdit1->setText(c.rate1.rate);
        ExchangeEdit2->clear();
    } else {
        rbExchangeOldnew->setChecked(true);
        ExchangeEdit1->clear();
        ExchangeEdit2->setText(c.rate1.rate);
    }
    if (!c.secondName)
        return;
    edt3->setText(*c.secondName);
    if (c.rate2.direction == QLatin1Char('A')) {
        rb1->setChecked(true);
        edt2->setText(c.rate2.rate);
        edt1->clear();
    } else if (c.rate2.direction == QLatin1Char('B')) {
        rb2->setChecked(true);
        edt2->clear();
        edt1->setText(c.rate2.rate);
    }
    if (!edt3->text().isEmpty()) {
        edt3->setEnabled(true);
        grp2->setEnabled(true);
    }
}

void SetCurrencyNamePage::btnUploadCurrencyClick() {
    struct Settle {
        SetCurrencyNamePage* page;
        ~Settle() { page->updateSetButtons(); }
    } settle{this};
    ctx_.frame.EnsureLinkOpen(dev::Library::User);
    for (QLineEdit* e : {edtCurrencyName, ExchangeEdit1, ExchangeEdit2, edt1, edt2, edt3})
        e->clear();
    const auto answer = ctx_.frame.run(protocol::cmd::cmUploadCurrencyChange, [] { return dev::Args{}; });
    if (answer)
        fillFromAnswer(*answer);
}

dev::Args SetCurrencyNamePage::rateArgs() const {
    const bool newOld1 = rbExchangeNewold->isChecked();
    dev::Args args{textOrNull(newOld1 ? ExchangeEdit1->text() : ExchangeEdit2->text()),
                   dev::Arg::text1250(newOld1 ? QStringLiteral("A") : QStringLiteral("B"))};
    if (grp2->isEnabled()) {
        const bool newOld2 = rb1->isChecked();
        args.push_back(textOrNull(newOld2 ? edt2->text() : edt1->text()));
        args.push_back(dev::Arg::text1250(newOld2 ? QStringLiteral("A") : QStringLiteral("B")));
    } else {
        args.push_back(dev::Arg::null());
        args.push_back(dev::Arg::null());
    }
    return args;
}

void SetCurrencyNamePage::btnSetCurrencyClick() {
    const auto answer = ctx_.frame.run(protocol::cmd::cmSetMoney, [this] {
        const dev::Args rates = rateArgs();
        return dev::Args{dev::Arg::integer(cuYearSE->current()),
                         dev::Arg::integer(cuMonthSE->current()),
                         dev::Arg::integer(cuDaySE->current()),
                         dev::Arg::integer(cuHourSE->current()),
                         dev::Arg::integer(cuMinSE->current()),
                         textOrNull(edtCurrencyName->text()),
                         rates[0],
                         rates[1],
                         grp2->isEnabled() ? textOrNull(edt3->text()) : dev::Arg::null(),
                         rates[2],
                         rates[3]};
    });
    if (answer)
        ctx_.nav.show(PageId::Menu);
}

void SetCurrencyNamePage::btnSetExChangeRateClick() {
    ctx_.frame.run(protocol::cmd::cmSetExChangeRate, [this] { return rateArgs(); });
}

void SetCurrencyNamePage::btnSetCurNameClick() {
    const auto answer = ctx_.frame.run(protocol::cmd::cmSetCurrencyName, [this] {
        return dev::Args{dev::Arg::text1250(prog::CurrencyNamesText(edtCurrencyName->text(), edt3->text()))};
    });
    if (answer)
        ctx_.nav.show(PageId::Menu);
}

void SetCurrencyNamePage::btnReadExchangeRateClick() {
    ctx_.frame.run(protocol::cmd::cmUploadExchangeRate, [] { return dev::Args{}; });
}

void SetCurrencyNamePage::Button12Click() {
    emit saleCurrencyRead(QString());
    const auto answer = ctx_.frame.run(protocol::cmd::cmUploadExchangeRate, [] { return dev::Args{}; });
    if (!answer || answer->size() <= kExchangeRateMinimum)
        return;
    ctx_.receipt.clearCurrencies();
    // The currency of sale and the first foreign currency, as the payment page reads them.
    const ExchangeRateAnswer parsed = ParseExchangeRate(*answer);
    ctx_.receipt.CurrencyTable[0].code = parsed.currencies[0].code;
    ctx_.receipt.CurrencyTable[1].code = parsed.currencies[1].code;
    emit saleCurrencyRead(ctx_.receipt.CurrencyTable[0].code);
}
