// The bridge client's reader of its host's output: any bytes, cut into lines
// at any points, give messages or reasons, and a message survives its own
// line.
#include "bridge/Wire.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    // The first byte chooses how the bytes arrive: in pieces of that size.
    const size_t piece = 1 + data[0] % 64;
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    bridge::LineReader reader;
    for (size_t at = 0; at < bytes.size(); at += piece) {
        reader.feed(bytes.substr(at, piece));
        while (auto line = reader.next()) {
            std::string why;
            const auto message = bridge::readLine(*line, &why);
            if (!message) {
                if (why.empty())
                    std::abort(); // a refusal always says why
                continue;
            }
            const std::string again = bridge::toLine(*message);
            const auto back = bridge::readLine(again);
            if (!back || bridge::toLine(*back) != again)
                std::abort();
        }
    }
    return 0;
}
