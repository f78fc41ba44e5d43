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
    };

    // Runs one cm... command. args is called for each call, so fields are read
    // again for the second call. On acceptance the answer has been shown in the
    // Return Buffer with code and is returned; on refusal the error box has been
    // shown and nullopt is returned. Exceptions from args propagate after the
    // buffer is released.
    std::optional<QByteArray> run(Library lib, const std::string& function, const std::function<Args()>& args,
                                  const QString& code, const Options& options);
    std::optional<QByteArray> run(Library lib, const std::string& function, const std::function<Args()>& args,
                                  const QString& code) {
        return run(lib, function, args, code, Options{});
    }

    // The raw command line: GetReturnBufLength for the code, then one ExecCommand.
    std::optional<QByteArray> runCommandLine(const QByteArray& line);

    const CommandResult& lastResult() const { return last_; }
    DeviceSet devices() const { return devices_; }

  private:
    std::optional<QByteArray> finish(const CommandResult& r, const QString& code,
                                     const std::vector<char>& buffer, int32_t allocated, int32_t length);

    DeviceSet devices_;
    Hooks hooks_;
    CommandResult last_{};
};

} // namespace dev
