#include "core/AnswerDecoders.h"

#include "device/Cp1250.h"

#include <algorithm>

namespace answers {

QByteArray fieldBytes(const QByteArray& buffer, const protocol::Field& f) {
    if (f.offset < 0 || f.width <= 0 || f.offset >= buffer.size())
        return {};
    return buffer.mid(f.offset, std::min<qsizetype>(f.width, buffer.size() - f.offset));
}

QString fieldText(const QByteArray& buffer, const protocol::Field& f) {
    return dev::fromCp1250(fieldBytes(buffer, f));
}

bool fieldIs(const QByteArray& buffer, const protocol::Field& f, char c) {
    return f.offset >= 0 && f.offset < buffer.size() && buffer.at(f.offset) == c;
}

char fieldChar(const QByteArray& buffer, const protocol::Field& f) {
    return f.offset >= 0 && f.offset < buffer.size() && f.width > 0 ? buffer.at(f.offset) : '\0';
}

QString fieldValueText(const QByteArray& buffer, const protocol::Field& f) {
    const QByteArray b = fieldBytes(buffer, f);
    const auto hex = [](const QByteArray& bytes) { return QString::fromLatin1(bytes.toHex(' ').toUpper()); };
    const auto code = [&hex](char c) { return QStringLiteral("0x") + hex(QByteArray(1, c)); };
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    QString value;
    switch (f.kind) {
    case protocol::Kind::Text: {
        QString text = dev::fromCp1250(b);
        for (QChar& c : text)
            if (c.unicode() < 0x20)
                c = QLatin1Char('.');
        value = QLatin1Char('"') + text + QLatin1Char('"');
        break;
    }
    case protocol::Kind::Digits:
        value = dev::fromCp1250(b);
        if (!std::all_of(b.begin(), b.end(), isDigit))
            value += QStringLiteral(" (not digits)");
        break;
    case protocol::Kind::Flag:
        if (b == "0" || b == "1")
            value = QString::fromLatin1(b);
        else
            value = hex(b) + QStringLiteral(" (not 0 or 1)");
        break;
    case protocol::Kind::Char:
        for (char c : b) {
            if (!value.isEmpty())
                value += QLatin1Char(' ');
            value += c >= 0x20 && c < 0x7F ? QStringLiteral("'%1' (%2)").arg(QString(QLatin1Char(c)), code(c))
                                           : code(c);
        }
        break;
    case protocol::Kind::Raw:
        value = hex(b);
        break;
    case protocol::Kind::BigEndian: {
        quint64 n = 0;
        for (char c : b.left(8))
            n = n << 8 | static_cast<unsigned char>(c);
        value = QStringLiteral("%1 (0x%2)").arg(n).arg(QString::fromLatin1(b.toHex().toUpper()));
        break;
    }
    case protocol::Kind::Bcd:
        for (char c : b) {
            const auto u = static_cast<unsigned char>(c);
            value += (u >> 4) <= 9 && (u & 15) <= 9 ? hex(QByteArray(1, c))
                                                    : code(c) + QStringLiteral(" (not BCD)");
        }
        break;
    }
    if (b.size() < f.width)
        value += QStringLiteral(" (the answer ends inside the field)");
    return value;
}

bool answerFrameOk(const QByteArray& answer, int minLength, const char* prefix) {
    if (answer.size() < minLength)
        return false;
    return !prefix || !*prefix || answer.startsWith(prefix);
}

bool answerFrameOk(const QByteArray& answer, const protocol::Layout& layout) {
    return answerFrameOk(answer, layout.size, layout.prefix);
}

QString StripLeadingZeros(const QString& text) {
    if (text.isEmpty())
        return text;
    qsizetype i = 0;
    while (i < text.size() && text.at(i) == QLatin1Char('0'))
        ++i;
    return i == text.size() ? QStringLiteral("0") : text.mid(i);
}

QString FormatTaxId(const QString& taxId, const QString& idFormat) {
    if (idFormat == QLatin1String("0000"))
        return taxId;
    QString result;
    qsizetype p = 0;
    const qsizetype groups = std::min<qsizetype>(idFormat.size(), 4);
    for (qsizetype g = 0; g < groups; ++g) {
        const QChar c = idFormat.at(g);
        const int n = (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ? c.unicode() - '0' : 0;
        const QString part = p < taxId.size() ? taxId.mid(p, n) : QString();
        if (g > 0)
            result += QLatin1Char('-');
        result += part;
        p += n;
    }
    return result;
}

QString BatteryText(char units, char tenths) {
    // "%1.1s" of a one-character text: a zero byte is an empty text padded to one blank.
    const auto one = [](char c) { return c ? dev::fromCp1250(&c, 1) : QStringLiteral(" "); };
    return one(units) + QLatin1Char('.') + one(tenths) + QLatin1Char('V');
}

static QChar firstNonLetter(const QString& format, QChar fallback) {
    for (const QChar c : format)
        if (!c.isLetter() && c != QLatin1Char('\''))
            return c;
    return fallback;
}

QChar DateSeparator(const QLocale& locale) {
    return firstNonLetter(locale.dateFormat(QLocale::ShortFormat), QLatin1Char('-'));
}

QChar TimeSeparator(const QLocale& locale) {
    return firstNonLetter(locale.timeFormat(QLocale::ShortFormat), QLatin1Char(':'));
}

std::optional<HardwareStatus> decodeHardwareStatus(const QByteArray& a) {
    namespace hw = protocol::HardwareStatus;
    if (!answerFrameOk(a, hw::layout))
        return std::nullopt;
    HardwareStatus s;
    const QByteArray code = fieldBytes(a, hw::IdCode);
    s.idCode = code == QByteArray(hw::IdCode.width, '\xFF') ? QString() : dev::fromCp1250(code);
    const QByteArray number = fieldBytes(a, hw::IdNumber);
    s.idNumber = number == QByteArray(hw::IdNumber.width, '\xFF') ? QString() : dev::fromCp1250(number);
    s.taxIdRaw = fieldText(a, hw::TaxId);
    s.idFormat = QString::fromLatin1(fieldBytes(a, hw::IdFormat).toHex().toUpper());
    // Unset like the ID: shown blank, not as ten 0xFF characters.
    const bool taxIdUnset = fieldBytes(a, hw::TaxId) == QByteArray(hw::TaxId.width, '\xFF');
    s.taxId = taxIdUnset ? QString() : FormatTaxId(s.taxIdRaw, s.idFormat);
    s.operationMode = fieldChar(a, hw::OperationMode);
    s.battery = fieldChar(a, hw::Battery);
    s.resetPin = fieldChar(a, hw::ResetPin);
    s.fiscalMemFull = fieldIs(a, hw::FiscalMemFull, '1');
    s.saleReceipt = fieldIs(a, hw::SaleReceipt, '1');
    s.testMemory = fieldIs(a, hw::TestMemory, '1');
    s.zReportBlocked = fieldIs(a, hw::ZReportBlocked, '1');
    s.recordsDamaged = fieldIs(a, hw::RecordsDamaged, '1');
    s.ramOk = fieldIs(a, hw::RamCheck, '0');
    s.flashOk = fieldIs(a, hw::FlashCheck, '1');
    s.fiscalMemOk = fieldIs(a, hw::FiscalMemCheck, '0');
    s.lastZ = StripLeadingZeros(fieldText(a, hw::LastZ));
    s.freeZ = StripLeadingZeros(fieldText(a, hw::FreeZ));
    s.batteryVoltage = BatteryText(fieldChar(a, hw::BatteryUnits), fieldChar(a, hw::BatteryTenths));
    return s;
}

std::optional<SoftwareStatus> decodeSoftwareStatus(const QByteArray& a, QChar dateSep, QChar timeSep) {
    namespace sw = protocol::SoftwareStatus;
    if (!answerFrameOk(a, sw::layout))
        return std::nullopt;
    SoftwareStatus s;
    s.date = fieldText(a, sw::Day) + dateSep + fieldText(a, sw::Month) + dateSep + fieldText(a, sw::Year);
    s.time =
        fieldText(a, sw::Hours) + timeSep + fieldText(a, sw::Minutes) + timeSep + fieldText(a, sw::Seconds);
    s.receiptNo = fieldText(a, sw::ReceiptNo);
    s.subtotal = StripLeadingZeros(fieldText(a, sw::Subtotal));
    s.printBuffer = StripLeadingZeros(fieldText(a, sw::PrintBuffer));
    s.version = fieldText(a, sw::Version);
    s.receiptNotClosed = fieldIs(a, sw::ReceiptNotClosed, '1');
    s.paymentStarted = fieldIs(a, sw::PaymentStarted, '1');
    s.serviceMode = fieldIs(a, sw::ServiceMode, '1');
    s.superMode = fieldIs(a, sw::SuperMode, '1');
    s.zReportNeeded = fieldIs(a, sw::ZReportNeeded, '1');
    s.ramChecksumError = fieldIs(a, sw::RamChecksum, '1');
    return s;
}

std::optional<int> decodePrinterStatus(const QByteArray& a) {
    namespace prn = protocol::PrinterStatus;
    if (!answerFrameOk(a, prn::layout))
        return std::nullopt;
    const char c = fieldChar(a, prn::State);
    return (c >= '0' && c <= '6') ? c - '0' : 7;
}

std::optional<TaxRates> decodeTaxRates(const QByteArray& a) {
    namespace tax = protocol::TaxRates;
    if (!answerFrameOk(a, tax::layout))
        return std::nullopt;
    TaxRates t;
    for (std::size_t k = 0; k < t.rates.size(); ++k)
        t.rates[k] = fieldText(a, tax::rates[k]);
    t.exemptLetter = fieldText(a, tax::ExemptLetter);
    const char letter = fieldChar(a, tax::ExemptLetter);
    t.exemptIndex = (letter >= 'A' && letter <= 'I') ? letter - 'A' : -1;
    return t;
}

// One row per record of the layout's record block, one cell per column field.
static UploadRows recordRows(const QByteArray& a, const protocol::Layout& layout,
                             std::span<const protocol::Field> columns) {
    UploadRows rows;
    for (int r = 0; r < layout.records; ++r) {
        QStringList cells;
        for (const protocol::Field& f : columns)
            cells << fieldText(a, protocol::recordField(layout, r, f));
        rows << cells;
    }
    return rows;
}

std::optional<UploadRows> decodeDepartments(const QByteArray& a) {
    namespace dept = protocol::Departments;
    if (!answerFrameOk(a, dept::layout))
        return std::nullopt;
    return recordRows(a, dept::layout, kDepartmentColumns);
}

std::optional<UploadRows> decodeHeaderLines(const QByteArray& a) {
    namespace head = protocol::HeaderLines;
    if (!answerFrameOk(a, head::layout))
        return std::nullopt;
    return recordRows(a, head::layout, kHeaderLineColumns);
}

} // namespace answers
