#pragma once
// The bridge client's settings (docs/bridge.md, "The client's settings"):
// read by the client at every OpenTavo and by the console's bridge set-up,
// which writes them. Standard library only.

#include <string>
#include <string_view>

namespace bridge::client {

struct Settings {
    std::string command;    // the host's command line, before "--library"
    std::string name;       // for the status bar; the command when empty
    std::string wineprefix; // WINEPREFIX for the host unless already set
    int startMs = 60000;    // the host must say hello within this
    int silenceMs = 5000;   // and never be silent longer during a call
    std::string source;     // where they were read from, for messages
};

// The settings file's text: plain key=value lines, the value as written
// (trimmed, no escapes); comments, sections and unknown keys are skipped.
Settings parseSettings(std::string_view text);

} // namespace bridge::client
