// Fuzzes the decoder of answer code "91" with arbitrary answers: it must refuse
// what is too short or wrongly prefixed and never read past the answer.
#include "answers/AnswerDecoders.h"

#include <cstddef>
#include <cstdint>

static void sink(const QString& s) {
    volatile qsizetype n = s.size();
    (void)n;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // An exact-size copy, so any read past the answer is caught.
    const QByteArray answer(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (const auto t = answers::decodeTaxRates(answer)) {
        for (const QString& r : t->rates)
            sink(r);
        sink(t->exemptLetter);
        if (t->exemptIndex < -1 || t->exemptIndex > 8)
            __builtin_trap();
    }
    return 0;
}
