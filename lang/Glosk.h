#pragma once
// Glosk: the console's language library.
//
// A shared library (libGlosk.so on Linux, Glosk.dll on Windows) that holds the
// console's localised captions and messages as a table of UTF-8 strings keyed by
// number. The table is generated at build time from lang/strings.txt.
//
// ABI (stable; the console resolves the function by name at run time):
//
//   int32_t GloskGetString(uint32_t id, char* buffer, int32_t bufferSize);
//
//   - C linkage, the platform's default calling convention, exported under the
//     undecorated name "GloskGetString". Nothing else is exported.
//   - Returns -1 when the table has no string with that identifier; the buffer
//     is then left untouched.
//   - buffer == nullptr or bufferSize <= 0: a sizing call; nothing is written
//     and the full length of the string in bytes (without terminator) is
//     returned.
//   - Otherwise copies the string's UTF-8 bytes into buffer, at most
//     bufferSize - 1 of them, always followed by a nul byte, and returns the
//     number of bytes copied (without the nul). When the string does not fit it
//     is cut at a character boundary: a multi-byte UTF-8 sequence is never
//     split, so the copy is always valid UTF-8.
//   - Strings never contain nul bytes. The function is thread-safe (the table is
//     read-only) and keeps no state.
//   - Strings that other parts of the console use as format texts carry only
//     "%s" and "%d" placeholders (and "%%"); the console substitutes them with
//     its own safe formatter and never hands them to printf.

#include <cstdint>

#if defined(_WIN32)
#define GLOSK_EXPORT __attribute__((dllexport)) // MinGW and clang
#else
#define GLOSK_EXPORT __attribute__((visibility("default")))
#endif

extern "C" {
GLOSK_EXPORT int32_t GloskGetString(uint32_t id, char* buffer, int32_t bufferSize);
}

// The function's type, for callers that resolve it at run time.
using GloskGetStringFn = int32_t (*)(uint32_t id, char* buffer, int32_t bufferSize);
