#include "codepage/Cp1250.h"
#include "codepage/Cp1250Table.h"

#include <QStringEncoder>

#include <vector>

namespace cp1250 {

const std::array<char16_t, 256>& table() {
    return kTable;
}

QString decode(const char* data, qsizetype size) {
    const auto& t = table();
    QString out(size, Qt::Uninitialized);
    QChar* p = out.data();
    for (qsizetype i = 0; i < size; ++i)
        p[i] = QChar(t[static_cast<unsigned char>(data[i])]);
    return out;
}

void encodeExactAppend(QStringView text, QByteArray& out) {
    static const std::vector<unsigned char> reverse = [] {
        std::vector<unsigned char> r(65536, static_cast<unsigned char>('?'));
        const auto& t = table();
        for (int b = 255; b >= 0; --b)
            r[t[static_cast<size_t>(b)]] = static_cast<unsigned char>(b);
        return r;
    }();
    const qsizetype at = out.size();
    out.resize(at + text.size());
    char* dst = out.data() + at;
    const QChar* src = text.data();
    for (qsizetype i = 0; i < text.size(); ++i)
        dst[i] = static_cast<char>(reverse[src[i].unicode()]);
}

QByteArray encode(const QString& text) {
    QStringEncoder enc("windows-1250", QStringConverter::Flag::Default);
    if (!enc.isValid())
        return text.toLatin1();
    return enc.encode(text);
}

std::string toUtf8(const std::string& bytes) {
    return decode(bytes.data(), static_cast<qsizetype>(bytes.size())).toStdString();
}

std::string fromUtf8(const std::string& utf8) {
    return encode(QString::fromStdString(utf8)).toStdString();
}

} // namespace cp1250
