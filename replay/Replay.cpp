#include "replay/Replay.h"

#include "codepage/Cp1250.h"
#include "device/QLibraryDevice.h"
#include "protocol/Commands.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <stdexcept>

namespace replay {
namespace {

// No answer is this large: a session or a library asking for more is wrong.
constexpr int32_t kLargestBuffer = 1 << 20;

QString fromUtf8(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

const std::string* textOf(const session::Call& call, std::string_view name) {
    const session::Argument* a = call.argument(name);
    return a ? std::get_if<std::string>(&a->value) : nullptr;
}

bool masked(const std::string& s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c == '*'; });
}

// A command line's code and its fields, split as the printer splits them.
struct Line {
    QString code;
    bool bar = false; // a '|' after the code
    QStringList fields;
};
Line splitLine(const QString& text) {
    Line l;
    l.code = text.left(2);
    QString rest = text.mid(2);
    if (rest.startsWith(QLatin1Char('|'))) {
        l.bar = true;
        rest.remove(0, 1);
    }
    l.fields = rest.split(QLatin1Char('|'));
    return l;
}
QString joinLine(const Line& l) {
    return l.code + (l.bar ? QStringLiteral("|") : QString()) + l.fields.join(QLatin1Char('|'));
}

QString keyOfCode(const QString& code, const QString& clerk) {
    if (code == QLatin1String("09"))
        return QStringLiteral("service");
    if (code == QLatin1String("10"))
        return QStringLiteral("skip");
    return QStringLiteral("clerk") + clerk; // 06 and 07
}

QString clerkOf(const session::Call& call) {
    const session::Argument* a = call.argument("clerk");
    if (a == nullptr)
        return QString();
    if (const auto* i = std::get_if<int64_t>(&a->value))
        return QString::number(*i);
    if (const auto* d = std::get_if<double>(&a->value))
        return QString::number(*d);
    if (const auto* s = std::get_if<std::string>(&a->value))
        return fromUtf8(*s).trimmed();
    return QString();
}

QString whatKeyMeans(const QString& key) {
    if (key == QLatin1String("service"))
        return QStringLiteral("the service password");
    if (key == QLatin1String("skip"))
        return QStringLiteral("the password of the password-skipping logon");
    return QStringLiteral("the password of clerk %1").arg(key.mid(5));
}

// A recorded value as the argument of the C kind the function takes.
std::optional<dev::Arg> toArg(dev::Arg::Kind kind, const session::Value& v, QString* why) {
    switch (kind) {
    case dev::Arg::Kind::Int:
        if (const auto* i = std::get_if<int64_t>(&v); i && *i >= INT32_MIN && *i <= INT32_MAX)
            return dev::Arg::integer(static_cast<int32_t>(*i));
        *why = QStringLiteral("is not a 32-bit whole number");
        return std::nullopt;
    case dev::Arg::Kind::Double:
        if (const auto* i = std::get_if<int64_t>(&v))
            return dev::Arg::real(static_cast<double>(*i));
        if (const auto* d = std::get_if<double>(&v))
            return dev::Arg::real(*d);
        *why = QStringLiteral("is not a number");
        return std::nullopt;
    case dev::Arg::Kind::Text:
        if (std::holds_alternative<std::nullptr_t>(v))
            return dev::Arg::null();
        if (const auto* s = std::get_if<std::string>(&v))
            return dev::Arg::text1250(fromUtf8(*s));
        *why = QStringLiteral("is not a text");
        return std::nullopt;
    }
    return std::nullopt;
}

// A step whose call could not be run: a difference of its own.
void cannotRun(Step& s, const QString& why) {
    s.comparison.differences.push_back({QStringLiteral("Call"),
                                        QStringLiteral("whether the call could be run"),
                                        QStringLiteral("ran"), why});
}

} // namespace

int Result::differing() const {
    return static_cast<int>(
        std::count_if(steps.begin(), steps.end(), [](const Step& s) { return !s.comparison.matches(); }));
}
int Result::volatileIgnored() const {
    int n = 0;
    for (const Step& s : steps)
        n += s.comparison.volatileIgnored;
    return n;
}
int Result::ignored() const {
    int n = 0;
    for (const Step& s : steps)
        n += s.comparison.ignored;
    return n;
}

QString whyNotReplayable(const std::vector<session::Call>& calls) {
    std::map<std::string, bool> opened; // by library
    for (size_t i = 0; i < calls.size(); ++i) {
        const session::Call& c = calls[i];
        const std::string& fn = c.function;
        if (fn == "OpenTavo") {
            opened[c.library] = true;
            continue;
        }
        if (opened[c.library])
            continue;
        // What only an open link answers: a command (accepted, or refused by
        // the printer rather than for want of a link), or a fault or clock function.
        const bool command = fn == "ExecCommand" || protocol::findFunction(fn) != nullptr;
        const bool extension =
            fn == "TavoSetFault" || fn == "TavoGetFault" || fn == "TavoSetClock" || fn == "TavoGetClock";
        if ((command && c.status >= 0) || (extension && c.status == 0))
            return QStringLiteral("the session cannot be replayed: its call %1 (%2) was answered by %3 "
                                  "before any OpenTavo of %3, so it was recorded on a link opened earlier "
                                  "and does not say which port to open")
                .arg(i + 1)
                .arg(fromUtf8(fn), fromUtf8(c.library));
    }
    return QString();
}

QString passwordKey(const session::Call& call) {
    if (call.function == "ExecCommand") {
        const std::string* text = textOf(call, "commandLine");
        if (text == nullptr || text->size() < 2)
            return QString();
        const Line line = splitLine(fromUtf8(*text));
        const unsigned mask = protocol::secretMask(line.code.toStdString());
        for (int i = 0; i < line.fields.size() && i < 32; ++i)
            if ((mask >> i) & 1u && masked(line.fields[i].toStdString()))
                return keyOfCode(line.code, line.fields.value(0).trimmed());
        return QString();
    }
    const protocol::Command* c = protocol::findFunction(call.function);
    if (c == nullptr)
        return QString();
    for (const session::Argument& a : call.arguments)
        if (session::isPassword(call.function, a.name))
            if (const auto* s = std::get_if<std::string>(&a.value); s && masked(*s))
                return keyOfCode(QString::fromLatin1(c->code), clerkOf(call));
    return QString();
}

std::optional<Step> Replayer::run(int number, const session::Call& call, QString* stop) {
    Step s;
    s.number = number;
    s.recorded = call;
    s.replayed = call;
    s.replayed.status = s.replayed.subCode = s.replayed.length = 0;
    s.replayed.answer.clear();
    s.replayed.time = session::now();

    QString password;
    if (const QString key = passwordKey(call); !key.isEmpty()) {
        const auto given = options_.passwords.find(key);
        if (given == options_.passwords.end()) {
            *stop = QStringLiteral("call %1 (%2) needs %3: give --password %4=…")
                        .arg(number)
                        .arg(fromUtf8(call.function), whatKeyMeans(key), key);
            return std::nullopt;
        }
        password = given->second;
    }

    dev::IDeviceLibrary& device =
        devices_.get(call.library == "TavoSrv" ? dev::Library::Service : dev::Library::User);
    const std::string& fn = call.function;
    // The size a following call with a buffer takes, as the console sizes it.
    const int32_t sized =
        lastSizing_ == fn || (fn == "ExecCommand" && lastSizing_ == "GetReturnBufLength") ? lastSize_ : -1;
    lastSize_ = -1;
    lastSizing_.clear();
    const auto capacityFor = [&](int catalogue) {
        const int32_t c = sized > 0 ? sized : std::max(call.length, catalogue);
        return std::clamp<int32_t>(c, 1, kLargestBuffer);
    };
    // A two-call read: the sizing call without a buffer, the real call with a zeroed one.
    const auto twoCall = [&](int catalogue, auto invoke) {
        int32_t length = 0;
        CommandResult r{};
        if (call.sizing) {
            r = invoke(nullptr, &length);
            lastSize_ = length;
            lastSizing_ = fn;
        } else {
            const int32_t capacity = capacityFor(catalogue);
            std::vector<char> buffer(static_cast<size_t>(capacity), '\0');
            length = capacity;
            r = invoke(buffer.data(), &length);
            s.replayed.answer.assign(buffer.data(), static_cast<size_t>(std::clamp(length, 0, capacity)));
        }
        s.replayed.status = r.Status;
        s.replayed.subCode = r.SubCode;
        s.replayed.length = length;
    };
    const auto text = [&](std::string_view name) {
        const std::string* t = textOf(call, name);
        return t ? cp1250::encode(fromUtf8(*t)) : QByteArray();
    };

    const auto started = std::chrono::steady_clock::now();
    try {
        if (fn == "OpenTavo") {
            const session::Argument* baud = call.argument("baud");
            const auto* b = baud ? std::get_if<int64_t>(&baud->value) : nullptr;
            s.replayed.status =
                device.open(options_.port.value_or(text("portName")), b ? static_cast<int32_t>(*b) : 0);
            if (options_.port)
                s.note = QStringLiteral("on port %1").arg(QString::fromLatin1(*options_.port));
        } else if (fn == "CloseTavo") {
            s.replayed.status = device.close();
        } else if (fn == "isCommandExecuting") {
            s.replayed.status = device.isCommandExecuting();
        } else if (fn == "AbortTavo") {
            device.abort();
        } else if (fn == "GetReturnBufLength") {
            s.replayed.status = device.getReturnBufLength(text("commandCode"));
            lastSize_ = s.replayed.status;
            lastSizing_ = fn;
        } else if (fn == "ExecCommand") {
            QString line =
                fromUtf8(textOf(call, "commandLine") ? *textOf(call, "commandLine") : std::string());
            if (!password.isNull()) {
                Line l = splitLine(line);
                const unsigned mask = protocol::secretMask(l.code.toStdString());
                for (int i = 0; i < l.fields.size() && i < 32; ++i)
                    if ((mask >> i) & 1u && masked(l.fields[i].toStdString()))
                        l.fields[i] = password;
                line = joinLine(l);
            }
            const QByteArray bytes = cp1250::encode(line);
            twoCall(protocol::answerSize(line.left(2).toStdString()),
                    [&](char* b, int32_t* l) { return device.execCommand(bytes, b, l); });
        } else if (fn == "UpdateTavoProgram") {
            s.skipped = true;
            s.note = QStringLiteral("not run: the firmware update opens dialogs of its own");
        } else if (fn == "TavoSetFault" || fn == "TavoGetFault" || fn == "TavoSetClock" ||
                   fn == "TavoGetClock") {
            if (!device.offersLiveFaults()) {
                s.skipped = true;
                s.note = QStringLiteral("not offered by this library");
            } else if (fn == "TavoSetFault") {
                s.replayed.status = device.setFault(text("key"), text("value"));
            } else if (fn == "TavoSetClock") {
                s.replayed.status = device.setClock(text("dateTime"));
            } else {
                QByteArray value;
                s.replayed.status =
                    fn == "TavoGetFault" ? device.getFault(text("key"), &value) : device.getClock(&value);
                if (s.replayed.status == 0) {
                    s.replayed.answer = value.toStdString();
                    s.replayed.length = static_cast<int32_t>(value.size());
                }
            }
        } else if (const protocol::Command* command = protocol::findFunction(fn)) {
            const auto kinds = dev::QLibraryDevice::argumentKinds(fn);
            const auto names = session::parameterNames(fn);
            if (!kinds || kinds->size() != names.size())
                throw std::invalid_argument("its parameters are not known");
            dev::Args args;
            for (size_t i = 0; i < names.size(); ++i) {
                const QString name = fromUtf8(names[i]);
                const session::Argument* a = call.argument(names[i]);
                if (a == nullptr)
                    throw std::invalid_argument(
                        QStringLiteral("the argument \"%1\" is missing").arg(name).toStdString());
                if (session::isPassword(fn, names[i]) && !password.isNull() &&
                    std::holds_alternative<std::string>(a->value) &&
                    masked(std::get<std::string>(a->value))) {
                    args.push_back(dev::Arg::text1250(password));
                    continue;
                }
                QString why;
                const auto arg = toArg((*kinds)[i], a->value, &why);
                if (!arg)
                    throw std::invalid_argument(
                        QStringLiteral("the argument \"%1\" %2").arg(name, why).toStdString());
                args.push_back(*arg);
            }
            twoCall(command->answer.size,
                    [&](char* b, int32_t* l) { return device.command(fn, args, b, l); });
        } else {
            throw std::invalid_argument("no device library has this function");
        }
    } catch (const std::exception& e) {
        cannotRun(s, QString::fromLocal8Bit(e.what()));
    }
    s.replayed.ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count();
    if (!s.skipped && s.comparison.differences.empty())
        s.comparison = compare(s.recorded, s.replayed, options_.compare);
    return s;
}

Result Replayer::runAll(const std::vector<session::Call>& calls) {
    Result r;
    for (size_t i = 0; i < calls.size(); ++i) {
        QString stop;
        auto step = run(static_cast<int>(i) + 1, calls[i], &stop);
        if (!step) {
            r.stopped = stop;
            break;
        }
        r.steps.push_back(std::move(*step));
    }
    return r;
}

} // namespace replay
