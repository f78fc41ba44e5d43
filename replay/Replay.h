#pragma once
// Runs the calls of a session again, in order, on a pair of device libraries,
// and compares each outcome with the recorded one. Passwords are not in a
// session: a masked one is filled in from the options, or the replay stops.

#include "device/DeviceLibrary.h"
#include "replay/Compare.h"
#include "session/Session.h"

#include <QByteArray>
#include <QString>

#include <map>
#include <optional>
#include <vector>

namespace replay {

struct Options {
    std::optional<QByteArray> port;       // replaces the recorded port of OpenTavo
    std::map<QString, QString> passwords; // "service", "skip", "clerk1" ... to the password
    CompareOptions compare;
};

// One call run again.
struct Step {
    int number = 0; // counting from 1, as the session's lines
    session::Call recorded;
    session::Call replayed; // arguments as sent (passwords still masked)
    bool skipped = false;   // not run (see note); never a difference
    QString note;
    Comparison comparison;
};

struct Result {
    std::vector<Step> steps;
    QString stopped; // why the replay stopped before the end; empty when it ran every call
    int differing() const;
    int volatileIgnored() const;
    int ignored() const;
};

// Why the session cannot be replayed, in one sentence; empty when it can. A
// session whose call to a library was answered before any OpenTavo of that
// library was recorded on a link opened earlier: a replay has no port to open,
// and every call of that library would be refused.
QString whyNotReplayable(const std::vector<session::Call>& calls);

// The password key a call needs ("service", "skip", "clerkN"), or empty when
// it needs none (no password argument, or an empty one).
QString passwordKey(const session::Call& call);

class Replayer {
  public:
    Replayer(dev::DeviceSet devices, Options options) : devices_(devices), options_(std::move(options)) {}

    // Runs one call; nullopt and the reason when the replay must stop there.
    std::optional<Step> run(int number, const session::Call& call, QString* stop);
    // Every call in order, until the end or a stop.
    Result runAll(const std::vector<session::Call>& calls);

  private:
    dev::DeviceSet devices_;
    Options options_;
    int32_t lastSize_ = -1;  // what the last sizing call or GetReturnBufLength gave
    std::string lastSizing_; // the function of that call
};

} // namespace replay
