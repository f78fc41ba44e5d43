// JSON persistence of plain structs that list their members in fields(v).
#pragma once

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <array>
#include <string>
#include <vector>

namespace vp::json {

inline QJsonValue toJ(const std::string& v) {
    return QString::fromStdString(v);
}
inline QJsonValue toJ(bool v) {
    return v;
}
inline QJsonValue toJ(int v) {
    return v;
}
inline QJsonValue toJ(int64_t v) {
    return static_cast<qint64>(v);
}
template <class T> QJsonValue toJ(const T& v);
template <class T> QJsonValue toJ(const std::vector<T>& v) {
    QJsonArray a;
    for (const auto& e : v)
        a.append(toJ(e));
    return a;
}
template <class T, size_t N> QJsonValue toJ(const std::array<T, N>& v) {
    QJsonArray a;
    for (const auto& e : v)
        a.append(toJ(e));
    return a;
}

struct Writer {
    QJsonObject o;
    template <class T> void operator()(const char* k, T& m) { o[QLatin1String(k)] = toJ(m); }
};
template <class T> QJsonValue toJ(const T& v) {
    Writer w;
    const_cast<T&>(v).fields(w);
    return w.o;
}

inline void fromJ(const QJsonValue& j, std::string& v) {
    v = j.toString().toStdString();
}
inline void fromJ(const QJsonValue& j, bool& v) {
    v = j.toBool();
}
inline void fromJ(const QJsonValue& j, int& v) {
    v = j.toInt();
}
inline void fromJ(const QJsonValue& j, int64_t& v) {
    v = j.toInteger();
}
template <class T> void fromJ(const QJsonValue& j, T& v);
template <class T> void fromJ(const QJsonValue& j, std::vector<T>& v) {
    v.clear();
    for (const auto& e : j.toArray()) {
        v.emplace_back();
        fromJ(e, v.back());
    }
}
template <class T, size_t N> void fromJ(const QJsonValue& j, std::array<T, N>& v) {
    const QJsonArray a = j.toArray();
    for (size_t i = 0; i < N && i < static_cast<size_t>(a.size()); ++i)
        fromJ(a[static_cast<qsizetype>(i)], v[i]);
}
struct Reader {
    QJsonObject o;
    template <class T> void operator()(const char* k, T& m) {
        const auto it = o.find(QLatin1String(k));
        if (it != o.end())
            fromJ(*it, m);
    }
};
template <class T> void fromJ(const QJsonValue& j, T& v) {
    Reader r{j.toObject()};
    v.fields(r);
}

template <class T> std::string encode(T& v) {
    return QJsonDocument(toJ(v).toObject()).toJson(QJsonDocument::Compact).toStdString();
}
template <class T> bool decode(const std::string& text, T& v) {
    QJsonParseError err{};
    const auto doc = QJsonDocument::fromJson(QByteArray::fromStdString(text), &err);
    if (err.error != QJsonParseError::NoError || !doc.isObject())
        return false;
    fromJ(QJsonValue(doc.object()), v);
    return true;
}

} // namespace vp::json
