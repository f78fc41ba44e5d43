#pragma once
// Plain decoding of the printer's answers: each answer layout is a table of
// fields (offset, width, meaning), and each decoder turns the bytes into a value
// that a page then shows. Nothing here touches a widget, and nothing reads past
// the answer it is given.

#include <QByteArray>
#include <QChar>
#include <QLocale>
#include <QString>

#include <array>
#include <optional>

namespace answers {

// One fixed-width field of an answer or record: byte offset from 0 and width.
struct Field {
    int offset;
    int width;
    const char* meaning;
    constexpr int end() const { return offset + width; }
};

// The field's bytes; shorter (or empty) when the buffer ends inside it.
QByteArray fieldBytes(const QByteArray& buffer, const Field& f);
// The field as text of exactly that many 8-bit characters (zero and 0xFF bytes
// included), decoded from code page 1250.
QString fieldText(const QByteArray& buffer, const Field& f);
// True when the one-byte field exists and equals c.
bool fieldIs(const QByteArray& buffer, const Field& f, char c);

// The shared check: at least minLength bytes and, when prefix is not empty, the
// answer starts with it.
bool answerFrameOk(const QByteArray& answer, int minLength, const char* prefix);

// Counter fields: leading "0"s removed; all zeros give "0"; empty stays empty.
QString StripLeadingZeros(const QString& text);

// The tax ID grouped by the four digits of the ID format ("3322" gives
// 123-456-78-90); "0000" leaves it unchanged. Hexadecimal letters count as 0.
QString FormatTaxId(const QString& taxId, const QString& idFormat);

// "%1.1s.%1.1sV" with the two battery digits as characters ("3", "1" give 3.1V).
QString BatteryText(char units, char tenths);

// The workstation's separators: the first non-letter character of the
// locale's short date or time format, "-" or ":" when there is none.
QChar DateSeparator(const QLocale& locale = QLocale());
QChar TimeSeparator(const QLocale& locale = QLocale());

// ---- code "40", hardware status ----
namespace hw {
inline constexpr int kMinLength = 62;
inline constexpr char kPrefix[] = "O0";
inline constexpr Field Prefix{0, 2, "prefix O0"};
inline constexpr Field IdCode{2, 3, "ID code, 0xFF when unset"};
inline constexpr Field IdNumber{5, 8, "ID number, 0xFF when unset"};
inline constexpr Field TaxId{13, 10, "tax ID"};
inline constexpr Field IdFormat{23, 2, "ID format, two raw bytes"};
inline constexpr Field OperationMode{25, 1, "0 fiscal, 1 training"};
inline constexpr Field FiscalMemFull{26, 1, "1: fiscal memory full"};
inline constexpr Field Battery{27, 1, "0 low, 1 normal"};
inline constexpr Field ResetPin{28, 1, "0 opened, 1 shorted"};
inline constexpr Field SaleReceipt{29, 1, "1: sales receipt opened"};
inline constexpr Field TestMemory{30, 1, "1: test memory check"};
inline constexpr Field ZReportBlocked{31, 1, "1: Z report blocked"};
inline constexpr Field LastZ{32, 4, "last Z number"};
inline constexpr Field FreeZ{36, 4, "free Z space"};
inline constexpr Field RecordsDamaged{56, 1, "1: records may be damaged"};
inline constexpr Field RamCheck{57, 1, "0: RAM check OK"};
inline constexpr Field FlashCheck{58, 1, "1: flash check OK"};
inline constexpr Field FiscalMemCheck{59, 1, "0: fiscal memory check OK"};
inline constexpr Field BatteryUnits{60, 1, "battery voltage, units"};
inline constexpr Field BatteryTenths{61, 1, "battery voltage, tenths"};
} // namespace hw

struct HardwareStatus {
    QString idCode;                                    // empty when unset
    QString idNumber;                                  // empty when unset
    QString taxIdRaw;                                  // as received
    QString idFormat;                                  // four uppercase hex digits
    QString taxId;                                     // grouped by the ID format
    char operationMode = 0, battery = 0, resetPin = 0; // '0' / '1' / anything
    bool fiscalMemFull = false, saleReceipt = false, testMemory = false, zReportBlocked = false;
    bool recordsDamaged = false, ramOk = false, flashOk = false, fiscalMemOk = false;
    QString lastZ, freeZ, batteryVoltage;
};
std::optional<HardwareStatus> decodeHardwareStatus(const QByteArray& answer);

// ---- code "41", software status ----
namespace sw {
inline constexpr int kMinLength = 48;
inline constexpr char kPrefix[] = "O0";
inline constexpr Field Date1{2, 2, "date, first pair"};
inline constexpr Field Date2{4, 2, "date, second pair"};
inline constexpr Field Year{6, 4, "date, year"};
inline constexpr Field Hours{10, 2, "time, hours"};
inline constexpr Field Minutes{12, 2, "time, minutes"};
inline constexpr Field Seconds{14, 2, "time, seconds"};
inline constexpr Field ReceiptNo{16, 6, "current receipt number"};
inline constexpr Field Subtotal{22, 12, "current subtotal"};
inline constexpr Field ReceiptNotClosed{34, 1, "1: sales receipt not closed"};
inline constexpr Field PaymentStarted{35, 1, "1: payment started"};
inline constexpr Field ServiceMode{36, 1, "1: service mode"};
inline constexpr Field SuperMode{38, 1, "1: super mode"};
inline constexpr Field ZReportNeeded{39, 1, "1: programming needs a Z report"};
inline constexpr Field PrintBuffer{40, 3, "print buffer left"};
inline constexpr Field Version{43, 4, "software version"};
inline constexpr Field RamChecksum{47, 1, "1: RAM checksum error"};
} // namespace sw

struct SoftwareStatus {
    QString date, time, receiptNo, subtotal, printBuffer, version;
    bool receiptNotClosed = false, paymentStarted = false, serviceMode = false, superMode = false;
    bool zReportNeeded = false, ramChecksumError = false;
};
std::optional<SoftwareStatus> decodeSoftwareStatus(const QByteArray& answer, QChar dateSep, QChar timeSep);

// ---- code "47", printer status ----
namespace prn {
inline constexpr int kMinLength = 3;
inline constexpr char kPrefix[] = "P0";
inline constexpr Field State{2, 1, "printer state 0 to 6"};
} // namespace prn
// The index (0 to 7) of the radio button to check: "0".."6" give 0..6, anything else 7.
std::optional<int> decodePrinterStatus(const QByteArray& answer);

// ---- code "91", tax-rate upload ----
namespace tax {
inline constexpr int kMinLength = 39;
inline constexpr char kPrefix[] = "O0";
constexpr Field rate(int k) {
    return Field{2 + 4 * k, 4, "rate of tax letter A+k"};
}
inline constexpr Field ExemptLetter{38, 1, "letter of the exempt rate"};
} // namespace tax

struct TaxRates {
    std::array<QString, 9> rates; // four characters each, as sent
    QString exemptLetter;         // the character at offset 38
    int exemptIndex = -1;         // 0..8 for A..I, -1 for any other letter
};
std::optional<TaxRates> decodeTaxRates(const QByteArray& answer);

// ---- code "92", department upload ----
namespace dept {
inline constexpr int kMinLength = 209;
inline constexpr char kPrefix[] = "O0";
inline constexpr int kFirst = 2, kRecordSize = 23, kRecords = 9;
inline constexpr Field Number{0, 2, "department number"};
inline constexpr Field Letter{2, 1, "tax letter"};
inline constexpr Field Name{3, 20, "department name"};
} // namespace dept

// ---- code "93", header-line upload ----
namespace head {
inline constexpr int kMinLength = 172;
inline constexpr char kPrefix[] = "O0";
inline constexpr int kFirst = 2, kRecordSize = 34, kRecords = 5;
inline constexpr Field Mark{0, 1, "first byte"};
inline constexpr Field Text{2, 32, "header line"};
} // namespace head

// A grid's worth of decoded rows: each row has one text per column.
using UploadRows = QList<QStringList>;
std::optional<UploadRows> decodeDepartments(const QByteArray& answer);
std::optional<UploadRows> decodeHeaderLines(const QByteArray& answer);

} // namespace answers
