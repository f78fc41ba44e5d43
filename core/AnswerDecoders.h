#pragma once
// Plain decoding of the printer's answers: each decoder reads the fields of its
// answer's layout in the protocol catalogue (protocol/Layouts.h) and turns the
// bytes into a value that a page then shows. Nothing here touches a widget, and
// nothing reads past the answer it is given.

#include "protocol/Layouts.h"

#include <QByteArray>
#include <QChar>
#include <QLocale>
#include <QString>

#include <array>
#include <optional>

namespace answers {

// The field's bytes; shorter (or empty) when the buffer ends inside it.
QByteArray fieldBytes(const QByteArray& buffer, const protocol::Field& f);
// The field as text of exactly that many 8-bit characters (zero and 0xFF bytes
// included), decoded from code page 1250.
QString fieldText(const QByteArray& buffer, const protocol::Field& f);
// True when the one-byte field exists and equals c.
bool fieldIs(const QByteArray& buffer, const protocol::Field& f, char c);
// The field's first byte; a zero byte when the buffer does not reach it.
char fieldChar(const QByteArray& buffer, const protocol::Field& f);

// The field's value as a person reading the answer needs it, by its kind:
// text in quotes (code page 1250, control bytes as "."), digits, a flag's 0 or
// 1, a character with its code, raw bytes in hexadecimal, a big-endian number,
// a BCD byte's two digits. A value that breaks its kind says so, and so does a
// field the buffer ends inside.
QString fieldValueText(const QByteArray& buffer, const protocol::Field& f);

// The shared check: at least minLength bytes and, when prefix is not empty, the
// answer starts with it.
bool answerFrameOk(const QByteArray& answer, int minLength, const char* prefix);
// The same for a whole answer of that layout: its size and its prefix.
bool answerFrameOk(const QByteArray& answer, const protocol::Layout& layout);

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

// ---- code 40, hardware status: protocol::HardwareStatus ----
struct HardwareStatus {
    QString idCode;                                    // empty when unset
    QString idNumber;                                  // empty when unset
    QString taxIdRaw;                                  // as received
    QString idFormat;                                  // four uppercase hex digits
    QString taxId;                                     // grouped by the ID format; empty when unset
    char operationMode = 0, battery = 0, resetPin = 0; // '0' / '1' / anything
    bool fiscalMemFull = false, saleReceipt = false, testMemory = false, zReportBlocked = false;
    bool recordsDamaged = false, ramOk = false, flashOk = false, fiscalMemOk = false;
    QString lastZ, freeZ, batteryVoltage;
};
std::optional<HardwareStatus> decodeHardwareStatus(const QByteArray& answer);

// ---- code 41, software status: protocol::SoftwareStatus ----
struct SoftwareStatus {
    QString date, time, receiptNo, subtotal, printBuffer, version;
    bool receiptNotClosed = false, paymentStarted = false, serviceMode = false, superMode = false;
    bool zReportNeeded = false, ramChecksumError = false;
};
std::optional<SoftwareStatus> decodeSoftwareStatus(const QByteArray& answer, QChar dateSep, QChar timeSep);

// ---- code 47, printer status: protocol::PrinterStatus ----
// The index (0 to 7) of the radio button to check: "0".."6" give 0..6, anything else 7.
std::optional<int> decodePrinterStatus(const QByteArray& answer);

// ---- code 91, tax-rate upload: protocol::TaxRates ----
struct TaxRates {
    std::array<QString, std::size(protocol::TaxRates::rates)> rates; // A to I, as sent
    QString exemptLetter;                                            // its one character
    int exemptIndex = -1;                                            // 0..8 for A..I, -1 for any other letter
};
std::optional<TaxRates> decodeTaxRates(const QByteArray& answer);

// ---- codes 92 and 93, department and header-line uploads: protocol::Departments
// and protocol::HeaderLines, one row per record ----
// A grid's worth of decoded rows: each row has one text per column (number,
// letter and name of a department; mark and text of a header line).
using UploadRows = QList<QStringList>;
// The record fields of the columns, in order.
inline constexpr protocol::Field kDepartmentColumns[] = {
    protocol::Departments::Number, protocol::Departments::Letter, protocol::Departments::Name};
inline constexpr protocol::Field kHeaderLineColumns[] = {protocol::HeaderLines::Line,
                                                         protocol::HeaderLines::Text};
std::optional<UploadRows> decodeDepartments(const QByteArray& answer);
std::optional<UploadRows> decodeHeaderLines(const QByteArray& answer);

} // namespace answers
