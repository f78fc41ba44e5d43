// The plain rules of the programming pages, without a window.

#include "programming/ProgrammingRules.h"

#include <gtest/gtest.h>

using namespace prog;

namespace {
QString spaces(int n) {
    return QString(n, QLatin1Char(' '));
}
} // namespace

TEST(HeaderLines, CentringPutsTheSmallerHalfOnTheLeft) {
    EXPECT_EQ(FormatHeaderLine("abc", true), spaces(14) + "abc" + spaces(15));
    EXPECT_EQ(FormatHeaderLine("abcd", true), spaces(14) + "abcd" + spaces(14));
    const QString l31(31, QLatin1Char('x'));
    EXPECT_EQ(FormatHeaderLine(l31, true), l31 + " ");
    EXPECT_EQ(FormatHeaderLine("abc", false), "abc" + spaces(29));
    EXPECT_EQ(FormatHeaderLine(QString(), true), spaces(32));
    EXPECT_EQ(FormatHeaderLine(QString(), false), spaces(32));
}

TEST(HeaderLines, ThirtyTwoCharactersStayAndLongerTextsAreCut) {
    const QString l32 = QStringLiteral("0123456789abcdefghijklmnopqrstuv");
    ASSERT_EQ(l32.size(), 32);
    EXPECT_EQ(FormatHeaderLine(l32, true), l32);
    EXPECT_EQ(FormatHeaderLine(l32, false), l32);
    EXPECT_EQ(FormatHeaderLine(l32 + "XYZ", true), l32);
    EXPECT_EQ(FormatHeaderLine(" " + l32, false), " " + l32.left(31));
}

TEST(HeaderLines, EveryLineIsOneByteWideOnTheDevice) {
    // A character outside the basic plane would otherwise count twice on screen and shift the header.
    const QString emoji = QString::fromUtf8("A\xF0\x9F\x98\x80"
                                            "B");
    EXPECT_EQ(FormatHeaderLine(emoji, false), "A?B" + spaces(29));
    // A letter typed as base + combining mark is the one precomposed Polish letter.
    const QString decomposed = QStringLiteral("e") + QChar(0x0328);
    EXPECT_EQ(FormatHeaderLine(decomposed, false), QString(QChar(0x0119)) + spaces(31));
}

TEST(HeaderLines, FiveLinesMakeOneHundredSixtyCharacters) {
    EXPECT_EQ(BuildHeaderText({}, {}), spaces(160));
    const QString h = BuildHeaderText({"A", "", "", "", "E"}, {true, false, false, false, false});
    ASSERT_EQ(h.size(), 160);
    EXPECT_EQ(h.left(32), spaces(15) + "A" + spaces(16));
    EXPECT_EQ(h.mid(128), "E" + spaces(31));
}

TEST(VatRates, DisplayedTextGivesTheValueOr255) {
    EXPECT_EQ(VatRateValue("2200"), 2200);
    EXPECT_EQ(VatRateValue("0700"), 700);
    EXPECT_EQ(VatRateValue("9999"), 9999);
    EXPECT_EQ(VatRateValue("22__"), 255);
    EXPECT_EQ(VatRateValue("____"), 255);
    EXPECT_EQ(VatRateValue(""), 255);
    EXPECT_EQ(VatRateValue("-700"), 255);
}

TEST(TaxIdFormat, PackedOneDigitPerNibble) {
    EXPECT_EQ(TaxIdFormatValue("3322").value, 13090);
    EXPECT_EQ(TaxIdFormatValue("2233").value, 8755);
    EXPECT_EQ(TaxIdFormatValue("0000").value, 0);
    EXPECT_EQ(TaxIdFormatValue("0000").result, TaxIdFormat::Result::Ok);
    EXPECT_EQ(TaxIdFormatValue("1126").value, 0x1126);
}

TEST(TaxIdFormat, RefusedSumsAndShortTexts) {
    EXPECT_EQ(TaxIdFormatValue("3332").result, TaxIdFormat::Result::Refused); // sum 11
    EXPECT_EQ(TaxIdFormatValue("1111").result, TaxIdFormat::Result::Refused); // sum 4
    EXPECT_EQ(TaxIdFormatValue("").result, TaxIdFormat::Result::Refused);
    EXPECT_EQ(TaxIdFormatValue("    ").result, TaxIdFormat::Result::Refused);
    EXPECT_EQ(TaxIdFormatValue("55  ").result, TaxIdFormat::Result::Refused); // trimmed to two digits
}

TEST(TaxIdFormat, BlankBetweenDigitsIsAConversionError) {
    try {
        TaxIdFormatValue("3 22");
        FAIL() << "no conversion error";
    } catch (const ConversionError& e) {
        EXPECT_STREQ(e.what(), "' ' is not a valid integer value");
    }
}

TEST(Conversion, StrToIntAcceptsOnlyWholeNumbers) {
    EXPECT_EQ(StrToInt("5"), 5);
    EXPECT_EQ(StrToInt("-3"), -3);
    EXPECT_THROW(StrToInt(""), ConversionError);
    EXPECT_THROW(StrToInt("x"), ConversionError);
    EXPECT_THROW(StrToInt("1 2"), ConversionError);
}

TEST(Parameters, CheckedBoxGivesZero) {
    const QByteArray zeros(30, '0');
    EXPECT_EQ(ParameterText(false, false), "8111" + zeros);
    EXPECT_EQ(ParameterText(true, false), "8101" + zeros);
    EXPECT_EQ(ParameterText(false, true), "8110" + zeros);
    EXPECT_EQ(ParameterText(true, true), "8100" + zeros);
    EXPECT_EQ(ParameterText(true, true).size(), 34);
}

TEST(CurrencyNames, PaddedToThreeAndThree) {
    EXPECT_EQ(CurrencyNamesText("EUR", ""), "EUR   ");
    EXPECT_EQ(CurrencyNamesText(" PL ", " USD "), "PL USD");
    EXPECT_EQ(CurrencyNamesText("", "USD"), "   USD");
    EXPECT_EQ(CurrencyNamesText("", ""), "      ");
}

TEST(RateConversion, DeviceTextToDisplay) {
    EXPECT_EQ(RateFromDevice("0000001,234500"), "1.234500");
    EXPECT_EQ(RateFromDevice("0000000,123400"), "0.123400");
    EXPECT_EQ(RateFromDevice("00000000000000"), "");
    EXPECT_EQ(RateFromDevice("0000012,5,0000"), "12.50000");      // a later comma is dropped
    EXPECT_EQ(RateFromDevice("0000001,234500", ','), "1,234500"); // the workstation's separator
    EXPECT_EQ(RateFromDevice("0000000,000000"), "0.000000");
    EXPECT_EQ(RateFromDevice("   12,5       "), "12.5");
}

TEST(CurrencyChange, ReadOnlyAsFarAsTheLengthReaches) {
    QByteArray full = QByteArray("\x00\x00\x26\x12\x07\x09\x30", 7) + "EUR" + "0000004,123400" + "A" + "USD" +
                      "0000000,250000" + "B";
    ASSERT_EQ(full.size(), 43);
    for (int n = 0; n <= full.size(); ++n) {
        const CurrencyChange c = ParseCurrencyChange(full.left(n));
        if (n < 25) {
            EXPECT_EQ(c.state, CurrencyChange::State::TooShort) << n;
        } else {
            EXPECT_EQ(c.state, CurrencyChange::State::Set) << n;
            EXPECT_EQ(c.secondName.has_value(), n == 43) << n;
        }
    }
    const CurrencyChange c = ParseCurrencyChange(full);
    EXPECT_EQ(c.year, "26");
    EXPECT_EQ(c.month, "12");
    EXPECT_EQ(c.day, "07");
    EXPECT_EQ(c.hour, "09");
    EXPECT_EQ(c.minute, "30");
    EXPECT_EQ(c.name, "EUR");
    EXPECT_EQ(c.rate1.rate, "4.123400");
    EXPECT_EQ(c.rate1.direction, QLatin1Char('A'));
    EXPECT_EQ(*c.secondName, "USD");
    EXPECT_EQ(c.rate2.rate, "0.250000");
    EXPECT_EQ(c.rate2.direction, QLatin1Char('B'));
}

TEST(CurrencyChange, OtherDirectionByteMeansNotSet) {
    QByteArray a(43, '\xFF');
    EXPECT_EQ(ParseCurrencyChange(a).state, CurrencyChange::State::NotSet);
    a[24] = 'B';
    EXPECT_EQ(ParseCurrencyChange(a).state, CurrencyChange::State::Set);
    EXPECT_EQ(BcdText(0x1A), "1A");
}

TEST(KeyFilters, DigitsLettersAndBackspace) {
    EXPECT_TRUE(FilterDigitKey('7'));
    EXPECT_TRUE(FilterDigitKey(kBackspace));
    EXPECT_FALSE(FilterDigitKey('a'));
    EXPECT_FALSE(FilterDigitKey('-'));
    EXPECT_FALSE(FilterDigitKey('.'));
    EXPECT_TRUE(FilterLetterKey('q'));
    EXPECT_TRUE(FilterLetterKey('Q'));
    EXPECT_TRUE(FilterLetterKey(kBackspace));
    EXPECT_FALSE(FilterLetterKey('1'));
    EXPECT_FALSE(FilterLetterKey(QChar(0x0141))); // Ł is no ID code letter
}

TEST(KeyFilters, RateKeyJudgedOnTheWholeText) {
    const QChar sep('.');
    EXPECT_FALSE(FilterRateKey("", sep, sep));
    EXPECT_TRUE(FilterRateKey("", '1', sep));
    EXPECT_FALSE(FilterRateKey("1", 'x', sep));
    EXPECT_FALSE(FilterRateKey("1", ',', sep)); // not the workstation's separator
    // Six digits: only the separator and Backspace.
    EXPECT_FALSE(FilterRateKey("123456", '7', sep));
    EXPECT_TRUE(FilterRateKey("123456", sep, sep));
    EXPECT_TRUE(FilterRateKey("123456", kBackspace, sep));
    // A second separator is dropped; seven digits after it at most.
    EXPECT_FALSE(FilterRateKey("1.5", sep, sep));
    EXPECT_TRUE(FilterRateKey("1.123456", '7', sep));
    EXPECT_FALSE(FilterRateKey("1.1234567", '8', sep));
    EXPECT_TRUE(FilterRateKey("1.1234567", kBackspace, sep));
    EXPECT_FALSE(FilterRateKey("1,5", ',', ','));
}
