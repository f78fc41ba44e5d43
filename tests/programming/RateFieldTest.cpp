// The exchange-rate fields of the currency change page, in the C and the
// Polish locale: a read-back rate shows a dot, each typed key is taken or
// refused whole, and a rate the program put in is never cut.

#include "TestWindow.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QLocale>
#include <QTest>

namespace {

struct RateFields : ::testing::TestWithParam<QLocale::Language> {
    void SetUp() override {
        QLocale::setDefault(QLocale(GetParam()));
        w = std::make_unique<TestWindow>(true);
        w->form->show();
        QApplication::setActiveWindow(w->form.get());
        w->form->showPage(PageId::SetCurrencyName);
    }
    void TearDown() override {
        w.reset();
        QLocale::setDefault(QLocale::system());
    }
    QLineEdit* edit(const char* name) { return w->find<QLineEdit>(name); }
    QChar localeSeparator() const { return QLocale().decimalPoint().front(); }
    std::unique_ptr<TestWindow> w;
};

} // namespace

TEST_P(RateFields, ReadBackShowsADotAndStaysWhole) {
    // Seven digits before the comma, more than the field lets anyone type.
    const QByteArray answer = QByteArray("P0\x26\x12\x07\x09\x30", 7) + "EUR" + "1234567,500000" + "A" +
                              "USD" + "0000000,250000" + "B";
    w->user.reply("cmUploadCurrencyChange", 0, 0, answer);
    w->click("btnUploadCurrency");
    auto* first = edit("ExchangeEdit1");
    EXPECT_EQ(first->text(), "1234567.500000");
    EXPECT_EQ(edit("edt1")->text(), "0.250000");

    first->setFocus();
    first->end(false);
    QTest::keyClick(first, Qt::Key_Backspace);
    EXPECT_EQ(first->text(), "1234567.50000") << "Backspace takes one character, nothing else";
    QTest::keyClicks(first, "9");
    EXPECT_EQ(first->text(), "1234567.500009");
    QTest::keyClicks(first, "12");
    EXPECT_EQ(first->text(), "1234567.5000091") << "an eighth decimal: refused";
    first->home(false);
    QTest::keyClicks(first, "8");
    EXPECT_EQ(first->text(), "1234567.5000091") << "a digit is judged on the whole text";

    // What is sent is what the field shows.
    w->click("btnSetExChangeRate");
    const auto* call = w->user.lastCommand();
    ASSERT_NE(call, nullptr);
    EXPECT_EQ(call->function, "cmSetExChangeRate");
    EXPECT_EQ(call->args.at(0), dev::Arg::text1250(QStringLiteral("1234567.5000091")));
}

TEST_P(RateFields, EachTypedKeyIsTakenOrRefusedWhole) {
    const QString sep(localeSeparator()); // the workstation's decimal sign, typed
    const struct {
        const char* start; // put in by the program
        int caret;
        QString typed; // "\b" for Backspace
        const char* kept;
    } cases[] = {
        {"", 0, "4" + sep + "25", "4.25"},
        {"", 0, sep + "5", "5"}, // no separator first in an empty field
        {"123", 0, sep, ".123"}, // before the digits it stays
        {"1234567", 7, "1", "1234567"},
        {"1234567", 7, sep + "5", "1234567.5"},
        {"1234567", 7, "\b", "123456"},
        {"12.5", 4, sep + "6", "12.56"}, // a second separator: refused
        {"1234567.1234567", 15, "8\b", "1234567.123456"},
        {"12x", 3, "3", "12x3"}, // a text the program put in is not filtered
    };
    auto* rate = edit("ExchangeEdit2");
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.start) + " <- " + c.typed.toStdString());
        rate->setText(QString::fromLatin1(c.start));
        rate->setCursorPosition(c.caret);
        for (QChar k : c.typed) {
            if (k == QLatin1Char('\b'))
                QTest::keyClick(rate, Qt::Key_Backspace);
            else
                QTest::keyClicks(rate, QString(k));
        }
        EXPECT_EQ(rate->text(), QString::fromLatin1(c.kept));
    }
}

TEST_P(RateFields, APasteKeepsWhatItMayAndTouchesNothingElse) {
    const QString sep(localeSeparator());
    const struct {
        const char* start;
        int caret;
        QString pasted;
        const char* kept;
    } cases[] = {
        {"", 0, "1x2" + sep + "5" + sep + "7", "12.57"},
        {"1234567", 7, "x" + sep + "5y", "1234567.5"},
        {"1234567", 0, "9", "1234567"},
        {"12", 1, "3a4", "1342"},
    };
    auto* rate = edit("ExchangeEdit1");
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.start) + " <- " + c.pasted.toStdString());
        rate->setText(QString::fromLatin1(c.start));
        rate->setCursorPosition(c.caret);
        QApplication::clipboard()->setText(c.pasted);
        rate->paste();
        EXPECT_EQ(rate->text(), QString::fromLatin1(c.kept));
    }
}

INSTANTIATE_TEST_SUITE_P(Locales, RateFields, ::testing::Values(QLocale::C, QLocale::Polish),
                         [](const auto& info) { return info.param == QLocale::C ? "C" : "Polish"; });
