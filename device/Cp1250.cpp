#include "device/Cp1250.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace dev {

QByteArray toCp1250(const QString& s) {
    QStringEncoder enc("windows-1250", QStringConverter::Flag::Default);
    if (!enc.isValid())
        return s.toLatin1();
    QByteArray out = enc.encode(s);
    return out;
}

QString fromCp1250(const char* data, qsizetype size) {
    QStringDecoder dec("windows-1250");
    if (!dec.isValid())
        return QString::fromLatin1(data, size);
    return dec.decode(QByteArrayView(data, size));
}

QString fromCp1250(const QByteArray& b) {
    return fromCp1250(b.constData(), b.size());
}

} // namespace dev
