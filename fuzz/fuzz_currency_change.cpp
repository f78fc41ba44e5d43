// Fuzzes the parse of the currency-change answer: any length, any bytes; it
// must read only as far as the answer reaches and keep its own promises.
#include "programming/ProgrammingRules.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // An exact-size copy, so any read past the answer is caught. A rate of 14
    // characters may gain the "0" put before a leading separator.
    const QByteArray answer(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    for (QChar sep : {QChar('.'), QChar(',')}) {
        const prog::CurrencyChange c = prog::ParseCurrencyChange(answer, sep);
        if (c.state != prog::CurrencyChange::State::Set)
            continue;
        if (answer.size() < prog::kCurrencyChangeMinLength)
            __builtin_trap();
        if (c.secondName.has_value() != (answer.size() >= prog::kCurrencyChangeFullLength))
            __builtin_trap();
        if (c.year.size() != 2 || c.minute.size() != 2 || c.rate1.rate.size() > 15)
            __builtin_trap();
        if (c.rate1.direction != QChar('A') && c.rate1.direction != QChar('B'))
            __builtin_trap();
    }
    // The rate filter never lets a second separator in, whatever the text.
    const QString text = QString::fromLatin1(answer.left(20));
    if (text.count('.') == 1 && prog::FilterRateKey(text, QChar('.'), QChar('.')))
        __builtin_trap();
    return 0;
}
