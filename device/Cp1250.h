#pragma once
// Every text that crosses the device boundary is code page 1250.

#include <QByteArray>
#include <QString>

namespace dev {

// A character the code page cannot hold is replaced by '?', visibly, never dropped.
QByteArray toCp1250(const QString& s);
QString fromCp1250(const QByteArray& b);
QString fromCp1250(const char* data, qsizetype size);

} // namespace dev
