#pragma once
// Reading an answer's bytes by the catalogue's field names, for the virtual
// printer's tests.

#include "protocol/Layouts.h"

#include <string>

// A field of an answer, named by the catalogue; empty when the answer is shorter.
inline std::string field(const std::string& answer, const protocol::Field& f) {
    return answer.size() >= static_cast<size_t>(f.end()) ? answer.substr(f.offset, f.width) : std::string();
}
// The bytes from the first field's start to the last field's end.
inline std::string fields(const std::string& answer, const protocol::Field& first,
                          const protocol::Field& last) {
    return answer.size() >= static_cast<size_t>(last.end())
               ? answer.substr(first.offset, last.end() - first.offset)
               : std::string();
}
