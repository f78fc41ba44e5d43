#include "device/CommandFrame.h"

#include <algorithm>

namespace dev {

CommandFrame::CommandFrame(DeviceSet devices, Hooks hooks) : devices_(devices), hooks_(std::move(hooks)) {}

void CommandFrame::EnsureLinkOpen(Library lib) {
    if (lib == Library::User) {
        if (ServiceLinkOpen)
            CloseLink(Library::Service);
        if (!UserLinkOpen)
            UserLinkOpen = devices_.user->open(hooks_.portName(), 9600) == 0;
    } else if (lib == Library::Service) {
        if (UserLinkOpen)
            CloseLink(Library::User);
        if (!ServiceLinkOpen)
            ServiceLinkOpen = devices_.service->open(hooks_.portName(), 9600) == 0;
    }
}

void CommandFrame::CloseLink(Library lib) {
    bool& flag = lib == Library::User ? UserLinkOpen : ServiceLinkOpen;
    if (flag)
        flag = devices_.get(lib).close() != 0;
}

std::optional<QByteArray> CommandFrame::finish(const CommandResult& r, const QString& code,
                                               const std::vector<char>& buffer, int32_t allocated,
                                               int32_t length) {
    last_ = r;
    if (r.Status < 0) {
        hooks_.showError(r);
        return std::nullopt;
    }
    // The library reports the answer's length; it can never be more than we gave it.
    const auto n = static_cast<qsizetype>(std::clamp<int32_t>(length, 0, allocated));
    QByteArray answer(buffer.data(), n);
    hooks_.showReturnBuffer(code, answer);
    return answer;
}

std::optional<QByteArray> CommandFrame::run(Library lib, const protocol::Command& command,
                                            const std::function<Args()>& args, const Options& options) {
    const std::string function = command.function;
    const QString code = options.showCode ? QString::fromLatin1(command.code) : QString();
    if (options.ensureLinkOpen)
        EnsureLinkOpen(lib);
    IDeviceLibrary& device = devices_.get(lib);

    int32_t length = 0;
    if (options.twoCallSizing) {
        const Args first = args();
        device.command(function, first, nullptr, &length); // only the size counts
        length = std::max<int32_t>(length, 0);
    } else {
        length = std::max<int32_t>(options.fixedLength, 0);
    }
    // Released on every path. Never a null pointer in the real call, even for an
    // empty answer: a null buffer is how a library recognises the sizing call.
    const int32_t allocated = length;
    std::vector<char> buffer(static_cast<std::size_t>(std::max<int32_t>(length, 1)), 0);

    const Args second = args();
    struct After {
        const std::function<void()>& fn;
        ~After() {
            if (fn)
                fn();
        }
    };
    CommandResult r{};
    {
        if (options.beforeSecondCall)
            options.beforeSecondCall();
        After after{options.afterSecondCall};
        r = device.command(function, second, buffer.data(), &length);
    }
    auto answer = finish(r, code, buffer, allocated, length);
    if (!answer)
        afterError(QByteArray(command.code), r);
    return answer;
}

void CommandFrame::afterError(const QByteArray& code, const CommandResult& r) {
    if (!hooks_.afterError)
        return;
    hooks_.afterError(code, r);
    last_ = r;
}

std::optional<QByteArray> CommandFrame::runCommandLine(const QByteArray& line) {
    EnsureLinkOpen(Library::User);
    const QByteArray code = line.left(2);
    int32_t length = std::max<int32_t>(devices_.user->getReturnBufLength(code), 0);
    const int32_t allocated = length;
    std::vector<char> buffer(static_cast<std::size_t>(std::max<int32_t>(length, 1)), 0);
    const CommandResult r = devices_.user->execCommand(line, buffer.data(), &length);
    auto answer = finish(r, QString::fromLatin1(code), buffer, allocated, length);
    if (!answer)
        afterError(code, r);
    return answer;
}

} // namespace dev
