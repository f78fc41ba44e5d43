// The exchange-rate answer of any length and content: every field is read only
// where it lies wholly inside the answer, in either decimal notation.
#include "receipt/ExchangeRate.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Its own allocation, so that a read past the end is caught.
    const QByteArray answer(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    for (const QLocale& locale : {QLocale::c(), QLocale(QLocale::Polish, QLocale::Poland)}) {
        const ExchangeRateAnswer parsed = ParseExchangeRate(answer, locale);
        (void)parsed;
        (void)ExchangeRateText(answer.left(14), locale);
    }
    return 0;
}
