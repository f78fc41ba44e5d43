// One line of a session file, as tavo-replay and the tests read it: any bytes
// give a call or a reason, and a call read back from its own line is the same.
#include "session/Session.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView line(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QString why;
    const auto call = session::fromJsonLine(line, &why);
    if (!call) {
        if (why.isEmpty())
            std::abort(); // a refusal always says why
        return 0;
    }
    const auto again = session::fromJsonLine(session::toJsonLine(*call));
    if (!again)
        std::abort();
    const auto third = session::fromJsonLine(session::toJsonLine(*again));
    if (!third || !(*third == *again))
        std::abort();
    return 0;
}
