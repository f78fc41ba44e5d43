// The entry rules: key filter, conversion, rounding, splitting, number form, tax code.

#include "core/EntryRules.h"

#include "TestWindow.h"

#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace {

const QLocale kPoint(QLocale::English, QLocale::UnitedStates);
const QLocale kComma(QLocale::Polish, QLocale::Poland);

TEST(EntryRules, RoundDecimalsFollowsTheDigitString) {
    EXPECT_DOUBLE_EQ(RoundDecimals(12.345, 2), 12.35);
    EXPECT_DOUBLE_EQ(RoundDecimals(0.125, 2), 0.13);
    EXPECT_DOUBLE_EQ(RoundDecimals(-0.125, 2), -0.13);
    EXPECT_DOUBLE_EQ(RoundDecimals(7, 2), 7);
    EXPECT_DOUBLE_EQ(RoundDecimals(0.004, 2), 0);
    EXPECT_DOUBLE_EQ(RoundDecimals(0.005, 2), 0.01);
    // The nearest doubles lie just below these values.
    EXPECT_DOUBLE_EQ(RoundDecimals(2.005, 2), 2);
    EXPECT_DOUBLE_EQ(RoundDecimals(2.675, 2), 2.67);
    // Carries through nines and across the point.
    EXPECT_DOUBLE_EQ(RoundDecimals(9.999, 2), 10);
    EXPECT_DOUBLE_EQ(RoundDecimals(99.995, 2), 100);
    EXPECT_DOUBLE_EQ(RoundDecimals(0.555, 2), 0.56);
    EXPECT_DOUBLE_EQ(RoundDecimals(1e20, 2), 1e20);
    EXPECT_DOUBLE_EQ(RoundDecimals(3 * 0.1, 2), 0.3);
    EXPECT_FALSE(std::signbit(RoundDecimals(-0.001, 2))); // no negative zero
}

TEST(EntryRules, TextToAmountReadsTheLocalesNotationOnly) {
    EXPECT_DOUBLE_EQ(TextToAmount(QStringLiteral("12.5"), 0, kPoint), 12.5);
    EXPECT_DOUBLE_EQ(TextToAmount(QStringLiteral("  -3.25 "), 0, kPoint), -3.25);
    EXPECT_DOUBLE_EQ(TextToAmount(QStringLiteral("1e3"), 0, kPoint), 1000);
    EXPECT_DOUBLE_EQ(TextToAmount(QStringLiteral(".5"), 0, kPoint), 0.5);
    EXPECT_DOUBLE_EQ(TextToAmount(QStringLiteral("12,5"), 0, kComma), 12.5);
    // The other separator, thousands separators and junk give the default.
    EXPECT_DOUBLE_EQ(TextToAmount(QStringLiteral("12,5"), 0, kPoint), 0);
    EXPECT_DOUBLE_EQ(TextToAmount(QStringLiteral("12.5"), 0, kComma), 0);
    EXPECT_DOUBLE_EQ(TextToAmount(QStringLiteral("1,000.5"), 0, kPoint), 0);
    for (const char* bad : {"", " ", "abc", "1.2.3", "1e", "-", ".", "1e999", "nan", "inf", "0x10", "1 2"})
        EXPECT_DOUBLE_EQ(TextToAmount(QString::fromLatin1(bad), 0, kPoint), 0) << bad;
    EXPECT_DOUBLE_EQ(TextToAmount(QStringLiteral("x"), 7, kPoint), 7);
}

TEST(EntryRules, GeneralFormRoundTripsInBothLocales) {
    EXPECT_EQ(FormatGeneral(12.5, kPoint), QStringLiteral("12.5"));
    EXPECT_EQ(FormatGeneral(3.0, kPoint), QStringLiteral("3"));
    EXPECT_EQ(FormatGeneral(0.1 + 0.2, kPoint), QStringLiteral("0.3"));
    EXPECT_EQ(FormatGeneral(-0.0, kPoint), QStringLiteral("0"));
    EXPECT_EQ(FormatGeneral(1234567.25, kPoint), QStringLiteral("1234567.25")); // no grouping
    EXPECT_EQ(FormatGeneral(2.5, kComma), QStringLiteral("2,5"));
    EXPECT_EQ(FormatGeneral(1234567.25, kComma), QStringLiteral("1234567,25"));
    // A running total of 10 plus 2.5, then plus 0.5.
    double total = TextToAmount(QStringLiteral("10"), 0, kComma) + 2.5;
    EXPECT_EQ(FormatGeneral(total, kComma), QStringLiteral("12,5"));
    total = TextToAmount(FormatGeneral(total, kComma), 0, kComma) + 0.5;
    EXPECT_EQ(FormatGeneral(total, kComma), QStringLiteral("13"));
    for (double v : {1e-7, 123456789012.34, -42.125, 1e20})
        EXPECT_DOUBLE_EQ(TextToAmount(FormatGeneral(v, kComma), -1, kComma), v) << v;
}

TEST(EntryRules, SplitTextKeepsEmptyPieces) {
    const QString sep = QStringLiteral("---");
    EXPECT_EQ(SplitText(QStringLiteral("a---b"), sep), (QStringList{"a", "b"}));
    EXPECT_EQ(SplitText(QStringLiteral("a---"), sep), (QStringList{"a", ""}));
    EXPECT_EQ(SplitText(QString(), sep), (QStringList{""}));
    EXPECT_EQ(SplitText(QStringLiteral("---a"), sep), (QStringList{"", "a"}));
    EXPECT_EQ(SplitText(QStringLiteral("a------b"), sep), (QStringList{"a", "", "b"}));
    EXPECT_EQ(SplitText(QStringLiteral("x\t\ty"), QStringLiteral("\t")), (QStringList{"x", "", "y"}));
    QStringList appended{QStringLiteral("keep")};
    SplitText(QStringLiteral("1---2"), sep, appended);
    EXPECT_EQ(appended, (QStringList{"keep", "1", "2"}));
}

TEST(EntryRules, TaxGroupCodesAndHundredths) {
    EXPECT_EQ(TaxGroupCode(TaxGroupOfLetter(QStringLiteral("C"))), QStringLiteral("03"));
    EXPECT_EQ(TaxGroupCode(TaxGroupOfLetter(QStringLiteral("A"))), QStringLiteral("01"));
    EXPECT_EQ(TaxGroupCode(TaxGroupOfLetter(QStringLiteral("I"))), QStringLiteral("09"));
    EXPECT_EQ(TaxGroupCode(TaxGroupOfLetter(QString())), QStringLiteral("00"));
    EXPECT_EQ(TaxGroupCode(12), QStringLiteral("12"));
    EXPECT_EQ(TaxGroupCode(-5), QStringLiteral("-05"));
    EXPECT_EQ(HundredthsOf(10), 1000);
    EXPECT_EQ(HundredthsOf(2.5), 250);
    EXPECT_EQ(HundredthsOf(0.125), 12); // exact half: to the even neighbour
    EXPECT_EQ(HundredthsOf(0.135), 14);
    EXPECT_EQ(HundredthsOf(1e300), 2147483647);
    EXPECT_EQ(HundredthsOf(-1e300), -2147483647 - 1);
}

TEST(EntryRules, KeyFilterLooksOnlyAtTheKey) {
    EXPECT_EQ(FilterNumericKey(u'7', false, kPoint), QChar(u'7'));
    EXPECT_EQ(FilterNumericKey(QChar(8), false, kPoint), QChar(8));
    EXPECT_TRUE(FilterNumericKey(u'.', false, kPoint).isNull());
    EXPECT_EQ(FilterNumericKey(u'.', true, kPoint), QChar(u'.'));
    EXPECT_TRUE(FilterNumericKey(u',', true, kPoint).isNull());
    EXPECT_EQ(FilterNumericKey(u',', true, kComma), QChar(u','));
    for (QChar c : {QChar(u'-'), QChar(u'\r'), QChar(u'x'), QChar(u'e'), QChar(u' ')})
        EXPECT_TRUE(FilterNumericKey(c, true, kPoint).isNull());
}

TEST(EntryRules, FilteredEditTakesDigitsAndTheSeparator) {
    testApplication();
    const QLocale saved;
    for (const QLocale& l : {kPoint, kComma}) {
        QLocale::setDefault(l);
        const QChar sep = l.decimalPoint().at(0);
        QLineEdit amount;
        NumericKeyFilter::install(&amount, true);
        QTest::keyClicks(&amount, QStringLiteral("12") + sep + QStringLiteral("5x0-"));
        EXPECT_EQ(amount.text(), QStringLiteral("12") + sep + QStringLiteral("50"));
        QTest::keyClick(&amount, Qt::Key_Backspace);
        EXPECT_EQ(amount.text(), QStringLiteral("12") + sep + QStringLiteral("5"));

        QLineEdit barcode;
        NumericKeyFilter::install(&barcode, false);
        QTest::keyClicks(&barcode, QStringLiteral("59a") + sep + QStringLiteral("01"));
        EXPECT_EQ(barcode.text(), QStringLiteral("5901"));
    }
    QLocale::setDefault(saved);
}

} // namespace
