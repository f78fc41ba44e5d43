#include "session/Session.h"

#include "codepage/Cp1250.h"
#include "protocol/Commands.h"

#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cmath>

namespace session {
namespace {

QJsonValue toJson(const Value& v) {
    if (const auto* i = std::get_if<int64_t>(&v))
        return static_cast<qint64>(*i);
    if (const auto* d = std::get_if<double>(&v))
        return std::isfinite(*d) ? QJsonValue(*d) : QJsonValue(); // JSON has no infinity
    if (const auto* s = std::get_if<std::string>(&v))
        return QString::fromStdString(*s);
    return QJsonValue(QJsonValue::Null);
}

std::optional<Value> fromJson(const QJsonValue& j) {
    switch (j.type()) {
    case QJsonValue::Null:
        return Value(nullptr);
    case QJsonValue::String:
        return Value(j.toString().toStdString());
    case QJsonValue::Double: {
        const double d = j.toDouble();
        if (d == std::floor(d) && std::fabs(d) < 9.0e15)
            return Value(static_cast<int64_t>(d));
        return Value(d);
    }
    default:
        return std::nullopt;
    }
}

std::optional<std::string> fromHex(const QString& hex) {
    if (hex.size() % 2 != 0)
        return std::nullopt;
    for (QChar c : hex)
        if (!((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F')))
            return std::nullopt;
    const QByteArray bytes = QByteArray::fromHex(hex.toLatin1());
    return bytes.toStdString();
}

bool fail(QString* error, const QString& why) {
    if (error)
        *error = why;
    return false;
}

} // namespace

const Argument* Call::argument(std::string_view name) const {
    for (const Argument& a : arguments)
        if (a.name == name)
            return &a;
    return nullptr;
}

std::vector<std::string_view> parameterNames(std::string_view function) {
    return protocol::argumentNames(function);
}

bool knownFunction(std::string_view function) {
    return protocol::knownFunction(function);
}

bool isPassword(std::string_view function, std::string_view name) {
    const protocol::Command* c = protocol::findFunction(function);
    if (c == nullptr)
        return false;
    for (int i = 0; i < protocol::paramCount(*c); ++i)
        if (const protocol::Param p = protocol::param(*c, i); p.name == name)
            return p.secret;
    return false;
}

std::string textValue(const QByteArray& bytes, bool password) {
    if (password)
        return std::string(static_cast<size_t>(bytes.size()), '*');
    return cp1250::decode(bytes).toStdString();
}

QByteArray maskCommandLine(const QByteArray& line) {
    if (line.size() < 2)
        return line;
    const unsigned mask = protocol::secretMask(std::string_view(line.constData(), 2));
    if (mask == 0)
        return line;
    QByteArray out = line;
    qsizetype at = line.size() > 2 && line[2] == '|' ? 3 : 2;
    for (unsigned field = 0; at <= out.size() && field < 32; ++field) {
        qsizetype bar = out.indexOf('|', at);
        if (bar < 0)
            bar = out.size();
        if ((mask >> field) & 1u)
            std::fill(out.begin() + at, out.begin() + bar, '*');
        at = bar + 1;
    }
    return out;
}

std::string now() {
    return QDateTime::currentDateTime()
        .toOffsetFromUtc(QDateTime::currentDateTime().offsetFromUtc())
        .toString(Qt::ISODateWithMs)
        .toStdString();
}

QByteArray toJsonLine(const Call& call) {
    QJsonObject arguments;
    for (const Argument& a : call.arguments)
        arguments[QString::fromStdString(a.name)] = toJson(a.value);
    QJsonObject o;
    o[QLatin1String("time")] = QString::fromStdString(call.time);
    o[QLatin1String("library")] = QString::fromStdString(call.library);
    o[QLatin1String("function")] = QString::fromStdString(call.function);
    o[QLatin1String("arguments")] = arguments;
    o[QLatin1String("sizing")] = call.sizing;
    o[QLatin1String("status")] = call.status;
    o[QLatin1String("subCode")] = call.subCode;
    o[QLatin1String("length")] = call.length;
    o[QLatin1String("answer")] =
        QString::fromLatin1(QByteArray::fromStdString(call.answer).toHex().toUpper());
    o[QLatin1String("ms")] = std::round(call.ms * 1000.0) / 1000.0;
    return QJsonDocument(o).toJson(QJsonDocument::Compact) + '\n';
}

std::optional<Call> fromJsonLine(QByteArrayView line, QString* error) {
    QJsonParseError parse{};
    const QJsonDocument doc = QJsonDocument::fromJson(line.toByteArray(), &parse);
    if (parse.error != QJsonParseError::NoError || !doc.isObject()) {
        fail(error, QStringLiteral("not a JSON object (%1)").arg(parse.errorString()));
        return std::nullopt;
    }
    const QJsonObject o = doc.object();
    Call c;
    auto text = [&](const char* key, std::string& out) {
        const QJsonValue v = o.value(QLatin1String(key));
        if (!v.isString())
            return fail(error, QStringLiteral("\"%1\" is missing or not a text").arg(QLatin1String(key)));
        out = v.toString().toStdString();
        return true;
    };
    auto integer = [&](const char* key, int32_t& out) {
        const QJsonValue v = o.value(QLatin1String(key));
        if (!v.isDouble() || v.toDouble() != std::floor(v.toDouble()) ||
            std::fabs(v.toDouble()) > 2147483647.0)
            return fail(error,
                        QStringLiteral("\"%1\" is missing or not a whole number").arg(QLatin1String(key)));
        out = static_cast<int32_t>(v.toInteger());
        return true;
    };
    std::string answerHex;
    if (!text("time", c.time) || !text("library", c.library) || !text("function", c.function) ||
        !integer("status", c.status) || !integer("subCode", c.subCode) || !integer("length", c.length) ||
        !text("answer", answerHex))
        return std::nullopt;
    if (c.library != "TavoUser" && c.library != "TavoSrv") {
        fail(error, QStringLiteral("unknown library \"%1\"").arg(QString::fromStdString(c.library)));
        return std::nullopt;
    }
    const QJsonValue sizing = o.value(QLatin1String("sizing"));
    if (!sizing.isBool()) {
        fail(error, QStringLiteral("\"sizing\" is missing or not true or false"));
        return std::nullopt;
    }
    c.sizing = sizing.toBool();
    const QJsonValue ms = o.value(QLatin1String("ms"));
    if (!ms.isDouble() || ms.toDouble() < 0) {
        fail(error, QStringLiteral("\"ms\" is missing or not a duration"));
        return std::nullopt;
    }
    c.ms = ms.toDouble();
    const auto bytes = fromHex(QString::fromStdString(answerHex));
    if (!bytes) {
        fail(error, QStringLiteral("\"answer\" is not pairs of hexadecimal digits"));
        return std::nullopt;
    }
    c.answer = *bytes;
    const QJsonValue args = o.value(QLatin1String("arguments"));
    if (!args.isObject()) {
        fail(error, QStringLiteral("\"arguments\" is missing or not an object"));
        return std::nullopt;
    }
    // JSON objects have no order: the call's order comes from its parameter names.
    const QJsonObject a = args.toObject();
    std::vector<std::string_view> order = parameterNames(c.function);
    for (const QString& key : a.keys())
        if (std::find(order.begin(), order.end(), key.toStdString()) == order.end()) {
            fail(error,
                 QStringLiteral("%1 has no argument \"%2\"").arg(QString::fromStdString(c.function), key));
            return std::nullopt;
        }
    for (std::string_view name : order) {
        const QJsonValue v = a.value(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
        if (v.isUndefined())
            continue;
        const auto value = fromJson(v);
        if (!value) {
            fail(error, QStringLiteral("argument \"%1\" is not a number, a text or null")
                            .arg(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()))));
            return std::nullopt;
        }
        c.arguments.push_back(Argument{std::string(name), *value});
    }
    return c;
}

Read readFile(const QString& path) {
    Read r;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        r.error = QStringLiteral("Cannot read the session \"%1\": %2").arg(path, f.errorString());
        return r;
    }
    const QByteArray all = f.readAll();
    qsizetype at = 0;
    int lineNo = 0;
    while (at < all.size()) {
        ++lineNo;
        const qsizetype end = all.indexOf('\n', at);
        if (end < 0) {
            r.warning = QStringLiteral("Line %1 of \"%2\" is cut short (the session ended while it was "
                                       "written); the %3 whole calls before it are read.")
                            .arg(lineNo)
                            .arg(path)
                            .arg(r.calls.size());
            break;
        }
        const QByteArrayView line(all.constData() + at, end - at);
        at = end + 1;
        if (line.trimmed().isEmpty())
            continue;
        QString why;
        auto call = fromJsonLine(line, &why);
        if (!call) {
            r.error = QStringLiteral("Line %1 of \"%2\" is not a call: %3").arg(lineNo).arg(path, why);
            return r;
        }
        r.calls.push_back(std::move(*call));
    }
    return r;
}

Writer::~Writer() {
    close();
}

bool Writer::open(const QString& path, QString* error) {
    close();
    file_.setFileName(path);
    // Unbuffered: each call goes to the file in one write, nothing waits in memory.
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        return fail(error,
                    QStringLiteral("Cannot write the session \"%1\": %2").arg(path, file_.errorString()));
    return true;
}

void Writer::close() {
    if (file_.isOpen())
        file_.close();
}

bool Writer::write(const Call& call) {
    if (!file_.isOpen())
        return false;
    const QByteArray line = toJsonLine(call);
    return file_.write(line) == line.size() && file_.flush();
}

bool Writer::append(const QString& path, const Call& call) {
    Writer w;
    return w.open(path) && w.write(call);
}

} // namespace session
