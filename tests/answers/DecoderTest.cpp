// The answer decoders as plain functions: field rules, the shared frame check,
// and answers cut short at every length.

#include "Fixtures.h"
#include "core/AnswerDecoders.h"
#include "protocol/Commands.h"

#include <gtest/gtest.h>

using namespace answers;

TEST(CounterFields, StripLeadingZeros) {
    EXPECT_EQ(StripLeadingZeros("0042"), "42");
    EXPECT_EQ(StripLeadingZeros("0000"), "0");
    EXPECT_EQ(StripLeadingZeros("0123"), "123");
    EXPECT_EQ(StripLeadingZeros(""), "");
    EXPECT_EQ(StripLeadingZeros("1000"), "1000");
}

TEST(TaxIdGrouping, ByTheFourFormatDigits) {
    EXPECT_EQ(FormatTaxId("1234567890", "3322"), "123-456-78-90");
    EXPECT_EQ(FormatTaxId("1234567890", "3223"), "123-45-67-890");
    EXPECT_EQ(FormatTaxId("1234567890", "0000"), "1234567890");
    // Letters count as 0; characters beyond the sum are not shown; a short ID gives short parts.
    EXPECT_EQ(FormatTaxId("1234567890", "3A22"), "123--45-67");
    EXPECT_EQ(FormatTaxId("1234567890", "3300"), "123-456--");
    EXPECT_EQ(FormatTaxId("12345", "3322"), "123-45--");
    EXPECT_EQ(FormatTaxId("", "3322"), "---");
}

TEST(BatteryVoltage, TwoDigitCharacters) {
    EXPECT_EQ(BatteryText('2', '9'), "2.9V");
    EXPECT_EQ(BatteryText('3', '1'), "3.1V");
    EXPECT_EQ(BatteryText('\0', '5'), " .5V");
}

TEST(WorkstationSeparators, FirstNonLetterOfTheShortFormats) {
    EXPECT_EQ(DateSeparator(QLocale(QLocale::German, QLocale::Germany)), QLatin1Char('.'));
    EXPECT_EQ(DateSeparator(QLocale(QLocale::English, QLocale::UnitedStates)), QLatin1Char('/'));
    EXPECT_EQ(DateSeparator(QLocale(QLocale::Dutch, QLocale::Netherlands)), QLatin1Char('-'));
    EXPECT_EQ(TimeSeparator(QLocale(QLocale::German, QLocale::Germany)), QLatin1Char(':'));
    EXPECT_EQ(TimeSeparator(QLocale(QLocale::Finnish, QLocale::Finland)), QLatin1Char('.'));
}

TEST(FrameCheck, MinimumLengthAndPrefix) {
    const AnswerFixture tax = loadFixture("tax_rates.hex");
    ASSERT_EQ(tax.bytes.size(), protocol::TaxRates::layout.size);
    EXPECT_TRUE(decodeTaxRates(tax.bytes).has_value());
    EXPECT_FALSE(decodeTaxRates(tax.bytes.left(protocol::TaxRates::layout.size - 1)).has_value());
    QByteArray wrong = tax.bytes;
    wrong[0] = 'P';
    EXPECT_FALSE(decodeTaxRates(wrong).has_value());
    EXPECT_FALSE(decodePrinterStatus("O0").has_value());
    EXPECT_FALSE(decodePrinterStatus("O00").has_value());
    EXPECT_EQ(decodePrinterStatus("P0X"), 7);
    EXPECT_EQ(decodePrinterStatus("P00"), 0);
    EXPECT_EQ(decodePrinterStatus("P06"), 6);
    EXPECT_EQ(decodePrinterStatus("P07"), 7);
}

TEST(TaxRates, ExemptLetterOutsideAToIMarksNoRate) {
    const auto t = decodeTaxRates(loadFixture("tax_rates_unknown_letter.hex").bytes);
    ASSERT_TRUE(t);
    EXPECT_EQ(t->exemptIndex, -1);
    EXPECT_EQ(t->exemptLetter, "Z");
    EXPECT_EQ(t->rates[0], "2200");
    EXPECT_EQ(t->rates[8], "0000");
    for (const char letter : {'@', 'J', 'a', '\0', '\xFF'}) {
        QByteArray a = loadFixture("tax_rates.hex").bytes;
        a[protocol::TaxRates::ExemptLetter.offset] = letter;
        ASSERT_TRUE(decodeTaxRates(a));
        EXPECT_EQ(decodeTaxRates(a)->exemptIndex, -1) << int(letter);
    }
}

TEST(HardwareStatus, UnsetIdsAndRawFormatBytes) {
    const auto s = decodeHardwareStatus(loadFixture("hardware_status_unset.hex").bytes);
    ASSERT_TRUE(s);
    EXPECT_TRUE(s->idCode.isEmpty());
    EXPECT_TRUE(s->idNumber.isEmpty());
    EXPECT_EQ(s->idFormat, "0000");
    EXPECT_EQ(s->taxId, "1234567890");
    EXPECT_EQ(fieldText(loadFixture("hardware_status_unset.hex").bytes, protocol::HardwareStatus::TaxId),
              "1234567890");
    // Only an ID of all 0xFF bytes counts as unset.
    namespace hw = protocol::HardwareStatus;
    QByteArray a = loadFixture("hardware_status_unset.hex").bytes;
    a[hw::IdCode.offset + 1] = 'B';
    EXPECT_EQ(decodeHardwareStatus(a)->idCode.size(), hw::IdCode.width);
    // A tax ID of all 0xFF bytes is unset too: shown blank, whatever the format,
    // while the raw field keeps the bytes.
    a.replace(hw::TaxId.offset, hw::TaxId.width, QByteArray(hw::TaxId.width, '\xFF'));
    a[hw::IdFormat.offset] = char(0x33);
    a[hw::IdFormat.offset + 1] = char(0x22);
    EXPECT_TRUE(decodeHardwareStatus(a)->taxId.isEmpty());
    EXPECT_EQ(decodeHardwareStatus(a)->taxIdRaw.size(), hw::TaxId.width);
    // Raw format bytes are shown in uppercase hex, the first byte first.
    a[hw::IdFormat.offset] = char(0xAB);
    a[hw::IdFormat.offset + 1] = char(0x0C);
    EXPECT_EQ(decodeHardwareStatus(a)->idFormat, "AB0C");
}

TEST(SoftwareStatus, SeparatorsAndCounters) {
    const auto s = decodeSoftwareStatus(loadFixture("software_status.hex").bytes, '-', ':');
    ASSERT_TRUE(s);
    EXPECT_EQ(s->date, "07-12-2026");
    EXPECT_EQ(s->time, "23:59:59");
    EXPECT_EQ(s->subtotal, "12345");
    EXPECT_EQ(s->printBuffer, "7");
    EXPECT_TRUE(s->serviceMode);
    EXPECT_EQ(decodeSoftwareStatus(loadFixture("software_status.hex").bytes, '.', '.')->date, "07.12.2026");
}

TEST(Uploads, RecordCountsAndFullWidthFields) {
    const auto d = decodeDepartments(loadFixture("departments.hex").bytes);
    ASSERT_TRUE(d);
    ASSERT_EQ(d->size(), protocol::Departments::layout.records);
    EXPECT_EQ(d->at(0), (QStringList{"01", "A", "DEPT 1              "}));
    const auto h = decodeHeaderLines(loadFixture("header_lines.hex").bytes);
    ASSERT_TRUE(h);
    ASSERT_EQ(h->size(), protocol::HeaderLines::layout.records);
    EXPECT_EQ(h->at(4).at(0), "5");
    EXPECT_EQ(h->at(4).at(1).size(), protocol::HeaderLines::Text.width);
    EXPECT_FALSE(
        decodeDepartments(loadFixture("departments.hex").bytes.left(protocol::Departments::layout.size - 1)));
    EXPECT_FALSE(decodeHeaderLines(
        loadFixture("header_lines.hex").bytes.left(protocol::HeaderLines::layout.size - 1)));
}

// Every golden answer cut at every length: below the minimum it is refused,
// never read past; at or above it decodes.
TEST(Truncation, EveryPrefixOfEveryGoldenAnswer) {
    for (const QString& name : fixtureNames()) {
        const AnswerFixture fx = loadFixture(name);
        for (qsizetype n = 0; n <= fx.bytes.size(); ++n) {
            // A copy of exactly n bytes, so a sanitizer sees any overread.
            const QByteArray cut(fx.bytes.constData(), n);
            const int code = fx.code.toInt();
            bool ok = false;
            switch (code) {
            case 40:
                ok = decodeHardwareStatus(cut).has_value();
                break;
            case 41:
                ok = decodeSoftwareStatus(cut, '-', ':').has_value();
                break;
            case 47:
                ok = decodePrinterStatus(cut).has_value();
                break;
            case 91:
                ok = decodeTaxRates(cut).has_value();
                break;
            case 92:
                ok = decodeDepartments(cut).has_value();
                break;
            case 93:
                ok = decodeHeaderLines(cut).has_value();
                break;
            default:
                ADD_FAILURE() << "fixture with unknown code " << name.toStdString();
            }
            // The whole answer of the code's layout in the catalogue.
            const int min = protocol::answerSize(fx.code.toStdString());
            EXPECT_EQ(ok, n >= min) << name.toStdString() << " cut to " << n;
        }
    }
}

TEST(Fields, NeverReadPastTheBuffer) {
    using protocol::Field;
    const QByteArray a("O0AB");
    EXPECT_EQ(fieldBytes(a, Field{2, 3, "", ""}), "AB");
    EXPECT_EQ(fieldBytes(a, Field{4, 3, "", ""}), "");
    EXPECT_EQ(fieldBytes(a, Field{-1, 3, "", ""}), "");
    EXPECT_FALSE(fieldIs(a, Field{10, 1, "", ""}, '\0'));
    EXPECT_EQ(fieldChar(a, Field{3, 1, "", ""}), 'B');
    EXPECT_EQ(fieldChar(a, Field{4, 1, "", ""}), '\0');
    EXPECT_EQ(fieldText(QByteArray("\0\xFF", 2), Field{0, 2, "", ""}).size(), 2); // zero and 0xFF kept
}
