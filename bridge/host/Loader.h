#pragma once
// Loading a device library and finding its functions: dlopen on Linux,
// LoadLibrary on Windows (where a 32-bit stdcall build may export a name in
// its decorated form, "_name@N", which is found too).

#include "bridge/Binding.h"

#include <memory>
#include <string>
#include <vector>

namespace bridge {

class Module {
  public:
    virtual ~Module() = default;
    // The function, or null.
    virtual RawFunction find(const Binding& binding) = 0;
};

// The library's file in `dir`: "libTavoUser.so" on Linux, "TavoUser.dll" on
// Windows (any case of the name, as Windows finds it).
std::string libraryFile(const std::string& dir, const std::string& library);
// Loads it; null and the system's reason when it cannot.
std::unique_ptr<Module> loadModule(const std::string& file, std::string* error);
// "linux-x86_64", "windows-x86_64" or "windows-x86".
const char* platformName();

// The program's arguments as UTF-8 (on Windows from the wide command line).
std::vector<std::string> arguments(int argc, char** argv);
// Standard input and output as raw bytes (no text-mode translation).
void prepareStdio();
// Reads what standard input has, at most `size` bytes; 0 at its end or on an error.
size_t readInput(char* buffer, size_t size);
// Writes all of `bytes` to standard output; false when it is gone.
bool writeOutput(const std::string& bytes);

} // namespace bridge
