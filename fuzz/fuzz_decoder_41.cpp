// Fuzzes the decoder of answer code "41" with arbitrary answers: it must refuse
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
    if (const auto s =
            answers::decodeSoftwareStatus(answer, answers::DateSeparator(), answers::TimeSeparator()))
        sink(s->date + s->time + s->receiptNo + s->subtotal + s->printBuffer + s->version);
    return 0;
}
