#pragma once
// The sequence every device command runs in: open the link when needed, learn
// the answer's size, run the command, then show the device's error or hand the
// answer to the Return Buffer, and release the answer buffer on every path.

#include "device/DeviceLibrary.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

namespace dev {

class CommandFrame {
  public:
    struct Hooks {
        std::function<QByteArray()> portName;                // "COM" + (PortCB index + 1)
        std::function<void(const CommandResult&)> showError; // the error box
        std::function<void(const QString& code, const QByteArray& answer)> showReturnBuffer;
        // After the error box of a refused command (code: its catalogue code,
        // even when the Return Buffer would not show it); may run commands of
        // its own. lastResult() stays the refused command's.
        std::function<void(const QByteArray& code, const CommandResult&)> afterError;
    };

    CommandFrame(DeviceSet devices, Hooks hooks);

    // The link flags: true while the console holds that library's link open.
    bool UserLinkOpen = false;
    bool ServiceLinkOpen = false;

    void EnsureLinkOpen(Library lib);
    void CloseLink(Library lib);

    struct Options {
        bool ensureLinkOpen = true; // false: the handler opened it itself (or must not)
        bool twoCallSizing = true;  // false: one call with a buffer of fixedLength bytes
        int32_t fixedLength = 0;
        std::function<void()> beforeSecondCall; // e.g. disable the window during an upload
        std::function<void()> afterSecondCall;  // runs on every path once beforeSecondCall ran
        // false: the Return Buffer heads the answer with no code, and so no
        // decoder sees it (the pages that never named their command's code).
        bool showCode = true;
    };

    // Runs one cm... command of the catalogue on its library. args is called
    // for each call, so fields are read again for the second call. On
    // acceptance the answer has been shown in the Return Buffer under the
    // command's code and is returned; on refusal the error box has been shown
    // and nullopt is returned. Exceptions from args propagate after the buffer
    // is released.
    std::optional<QByteArray> run(const protocol::Command& command, const std::function<Args()>& args,
                                  const Options& options) {
        return run(libraryOf(command), command, args, options);
    }
    std::optional<QByteArray> run(const protocol::Command& command, const std::function<Args()>& args) {
        return run(libraryOf(command), command, args, Options{});
    }
    // The same on a library of the caller's choosing (a library that has the
    // command where the catalogue puts it in the other).
    std::optional<QByteArray> run(Library lib, const protocol::Command& command,
                                  const std::function<Args()>& args, const Options& options);
    std::optional<QByteArray> run(Library lib, const protocol::Command& command,
                                  const std::function<Args()>& args) {
        return run(lib, command, args, Options{});
    }

    // The raw command line: GetReturnBufLength for the code, then one ExecCommand.
    std::optional<QByteArray> runCommandLine(const QByteArray& line);

    const CommandResult& lastResult() const { return last_; }
    DeviceSet devices() const { return devices_; }

  private:
    std::optional<QByteArray> finish(const CommandResult& r, const QString& code,
                                     const std::vector<char>& buffer, int32_t allocated, int32_t length);
    void afterError(const QByteArray& code, const CommandResult& r);

    DeviceSet devices_;
    Hooks hooks_;
    CommandResult last_{};
};

} // namespace dev
