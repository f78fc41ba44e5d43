// The currency change page on a scripted device: its read-back, the arguments
// of the three set commands and the field rules.

#include "TestWindow.h"

#include "programming/SetCurrencyNamePage.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QLocale>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>

using dev::Arg;
using dev::Args;

namespace {
Arg text(const char* s) {
    return Arg::text1250(QString::fromUtf8(s));
}
Arg num(int v) {
    return Arg::integer(v);
}

struct CurrencyPage : ::testing::Test {
    void SetUp() override {
        QLocale::setDefault(QLocale::c());
        w = std::make_unique<TestWindow>(true);
        page = dynamic_cast<SetCurrencyNamePage*>(w->form->page(PageId::SetCurrencyName));
        ASSERT_NE(page, nullptr);
    }
    QLineEdit* edit(const char* name) { return w->find<QLineEdit>(name); }
    const Args& lastArgs(const char* fn) {
        const auto* c = w->user.lastCommand();
        EXPECT_NE(c, nullptr);
        EXPECT_EQ(c->function, fn);
        return c->args;
    }
    static QByteArray answer(const char* dir1, bool second) {
        QByteArray a = QByteArray("P0\x26\x12\x07\x09\x30", 7) + "EUR" + "0000004,123400" + dir1;
        if (second)
            a += QByteArray("USD") + "0000000,250000" + "B";
        return a;
    }
    std::unique_ptr<TestWindow> w;
    SetCurrencyNamePage* page = nullptr;
};
} // namespace

TEST_F(CurrencyPage, MenuFillsTheClockAndKeepsTheTexts) {
    edit("edtCurrencyName")->setText("EUR");
    w->click("btnSetPoCurrency");
    EXPECT_EQ(w->ctx().nav.current(), PageId::SetCurrencyName);
    EXPECT_EQ(w->find<QSpinBox>("cuYearSE")->value(), QDate::currentDate().year() % 100);
    EXPECT_EQ(edit("edtCurrencyName")->text(), "EUR");
    EXPECT_FALSE(w->find<QGroupBox>("grp2")->isEnabled());
    EXPECT_FALSE(edit("edt3")->isEnabled());
}

TEST_F(CurrencyPage, SetMoneySendsNullsForEmptyAndAbsentTexts) {
    page->fillFrom(QDateTime(QDate(2026, 12, 31), QTime(23, 59)));
    edit("edtCurrencyName")->setText("EUR");
    edit("ExchangeEdit1")->setText("4.25");
    w->click("btnSetCurrency");
    EXPECT_EQ(lastArgs("cmSetMoney"), (Args{num(26), num(12), num(31), num(23), num(59), text("EUR"),
                                            text("4.25"), text("A"), Arg::null(), Arg::null(), Arg::null()}));
    EXPECT_EQ(w->ctx().nav.current(), PageId::Menu);

    // Old per new in group 1; group 2 enabled with an empty rate.
    w->find<QRadioButton>("rbExchangeOldnew")->setChecked(true);
    edit("ExchangeEdit2")->setText("0.2353");
    page->grpExChangeExit();
    ASSERT_TRUE(w->find<QGroupBox>("grp2")->isEnabled());
    edit("edt3")->setText("USD");
    w->find<QRadioButton>("rb2")->setChecked(true);
    w->click("btnSetCurrency");
    EXPECT_EQ(lastArgs("cmSetMoney"), (Args{num(26), num(12), num(31), num(23), num(59), text("EUR"),
                                            text("0.2353"), text("B"), text("USD"), Arg::null(), text("B")}));

    edit("edtCurrencyName")->clear();
    w->click("btnSetCurrency");
    EXPECT_EQ(lastArgs("cmSetMoney")[5], Arg::null());
}

TEST_F(CurrencyPage, ExchangeRatesAndNames) {
    edit("edtCurrencyName")->setText(QString::fromUtf8("ZŁ"));
    page->grpExChangeExit();
    edit("ExchangeEdit1")->setText("1.5");
    edit("edt2")->setText("3");
    edit("edt3")->setText("USD");
    w->click("btnSetExChangeRate");
    EXPECT_EQ(lastArgs("cmSetExChangeRate"), (Args{text("1.5"), text("A"), text("3"), text("A")}));
    w->ctx().nav.show(PageId::SetCurrencyName);
    w->click("btnSetCurName");
    const Args& names = lastArgs("cmSetCurrencyName");
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(*names[0].text, QByteArray("Z\xA3 USD")); // code page 1250
    EXPECT_EQ(w->ctx().nav.current(), PageId::Menu);

    edit("edt3")->clear();
    w->click("btnSetCurName");
    EXPECT_EQ(*lastArgs("cmSetCurrencyName")[0].text, QByteArray("Z\xA3    "));

    edit("edtCurrencyName")->clear();
    page->grpExChangeExit();
    EXPECT_FALSE(w->find<QGroupBox>("grp2")->isEnabled());
    EXPECT_FALSE(w->find<QWidget>("btnSetCurName")->isEnabled());
    page->btnSetExChangeRateClick();
    EXPECT_EQ(lastArgs("cmSetExChangeRate"), (Args{text("1.5"), text("A"), Arg::null(), Arg::null()}));
}

TEST_F(CurrencyPage, ReadBackFillsBothCurrencies) {
    edit("edt1")->setText("stale");
    w->user.reply("cmUploadCurrencyChange", 0, 0, answer("B", true));
    w->click("btnUploadCurrency");
    EXPECT_EQ(w->find<QSpinBox>("cuYearSE")->value(), 26);
    EXPECT_EQ(w->find<QSpinBox>("cuMonthSE")->value(), 12);
    EXPECT_EQ(w->find<QSpinBox>("cuDaySE")->value(), 7);
    EXPECT_EQ(w->find<QSpinBox>("cuHourSE")->value(), 9);
    EXPECT_EQ(w->find<QSpinBox>("cuMinSE")->value(), 30);
    EXPECT_EQ(edit("edtCurrencyName")->text(), "EUR");
    EXPECT_TRUE(w->find<QRadioButton>("rbExchangeOldnew")->isChecked());
    EXPECT_EQ(edit("ExchangeEdit1")->text(), "");
    EXPECT_EQ(edit("ExchangeEdit2")->text(), "4.123400");
    EXPECT_EQ(edit("edt3")->text(), "USD");
    EXPECT_TRUE(w->find<QRadioButton>("rb2")->isChecked());
    EXPECT_EQ(edit("edt1")->text(), "0.250000");
    EXPECT_EQ(edit("edt2")->text(), "");
    EXPECT_TRUE(w->find<QGroupBox>("grp2")->isEnabled());
    EXPECT_TRUE(edit("edt3")->isEnabled());
    EXPECT_TRUE(w->find<QWidget>("btnSetCurName")->isEnabled());
    EXPECT_TRUE(w->find<QWidget>("btnSetExChangeRate")->isEnabled());
}

TEST_F(CurrencyPage, ShortReadBackFillsOnlyTheFirstCurrency) {
    w->user.reply("cmUploadCurrencyChange", 0, 0, answer("A", false) + "USD00");
    w->click("btnUploadCurrency");
    EXPECT_EQ(edit("ExchangeEdit1")->text(), "4.123400");
    EXPECT_TRUE(edit("edt3")->text().isEmpty());
    EXPECT_FALSE(w->find<QGroupBox>("grp2")->isEnabled()) << "group 2 keeps its state";
    EXPECT_TRUE(w->messages.boxes.empty());
}

TEST_F(CurrencyPage, ReadBackWithoutChangeSaysNotYetSet) {
    edit("edtCurrencyName")->setText("OLD");
    QByteArray none = answer("A", true);
    none[24] = '\xFF';
    w->user.reply("cmUploadCurrencyChange", 0, 0, none);
    w->click("btnUploadCurrency");
    ASSERT_NE(w->messages.last(), nullptr);
    EXPECT_EQ(w->messages.last()->text, "Not yet set New Currency");
    EXPECT_EQ(w->messages.last()->icon, IMessageService::Icon::Error);
    for (const char* f : {"edtCurrencyName", "ExchangeEdit1", "ExchangeEdit2", "edt1", "edt2", "edt3"})
        EXPECT_TRUE(edit(f)->text().isEmpty()) << f;
    EXPECT_FALSE(w->find<QWidget>("btnSetCurName")->isEnabled());
    EXPECT_FALSE(w->find<QWidget>("btnSetExChangeRate")->isEnabled());

    w->messages.clear();
    w->user.reply("cmUploadCurrencyChange", 0, 0, QByteArray("P0\x26", 3));
    w->click("btnUploadCurrency");
    EXPECT_TRUE(w->messages.boxes.empty()) << "a short answer is shown, not read";
    w->user.reply("cmUploadCurrencyChange", -1);
    w->click("btnUploadCurrency");
    EXPECT_FALSE(w->find<QWidget>("btnSetCurName")->isEnabled());
}

TEST_F(CurrencyPage, FourthLetterOfANameIsRefused) {
    QTest::keyClicks(edit("edtCurrencyName"), "EURO");
    EXPECT_EQ(edit("edtCurrencyName")->text(), "EUR");
    ASSERT_NE(w->messages.last(), nullptr);
    EXPECT_FALSE(w->messages.last()->text.isEmpty());
    EXPECT_EQ(w->messages.last()->icon, IMessageService::Icon::None);
}

TEST_F(CurrencyPage, RateFieldsFilterTheirKeys) {
    auto* rate = edit("ExchangeEdit1");
    QTest::keyClicks(rate, ".1234567");
    EXPECT_EQ(rate->text(), "123456") << "no leading separator, six digits before it";
    QTest::keyClicks(rate, ".12345678.");
    EXPECT_EQ(rate->text(), "123456.1234567");
    QTest::keyClick(rate, Qt::Key_Backspace);
    EXPECT_EQ(rate->text(), "123456.123456");
    edit("edtCurrencyName")->setText("EUR");
    page->grpExChangeExit();
    QTest::keyClicks(edit("edt1"), "1a,2");
    EXPECT_EQ(edit("edt1")->text(), "12");
}
