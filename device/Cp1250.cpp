#include "device/Cp1250.h"

#include "codepage/Cp1250.h"

namespace dev {

QByteArray toCp1250(const QString& s) {
    return cp1250::encode(s);
}

QString fromCp1250(const char* data, qsizetype size) {
    return cp1250::decode(data, size);
}

QString fromCp1250(const QByteArray& b) {
    return cp1250::decode(b);
}

} // namespace dev
