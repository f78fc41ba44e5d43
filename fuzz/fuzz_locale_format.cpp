// Fuzzes the safe formatter with hostile format texts, as a language library
// could supply them. The input's first byte picks the arguments; the rest is
// the format text (UTF-8, invalid sequences included).
#include "app/LocaleLibrary.h"

#include <QList>
#include <QString>
#include <QVariant>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const uint8_t selector = data[0];
    const QString format =
        QString::fromUtf8(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));

    QList<QVariant> args;
    const int count = selector & 0x03; // zero to three arguments
    for (int i = 0; i < count; ++i) {
        switch ((selector >> (2 + 2 * i)) & 0x03) {
        case 0:
            args << QVariant(QStringLiteral("40"));
            break;
        case 1:
            args << QVariant(static_cast<qlonglong>(INT64_MIN));
            break;
        case 2:
            args << QVariant(3);
            break;
        default:
            args << QVariant();
            break;
        }
    }

    const QString out = SafeFormat(format, args);
    // Each character of the format yields at most one padded field.
    if (out.size() > (format.size() + 1) * (kSafeFormatMaxWidth + 24))
        __builtin_trap();
    return 0;
}
