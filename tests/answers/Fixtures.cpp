#include "Fixtures.h"

#include <QDir>
#include <QFile>

#include <stdexcept>

AnswerFixture loadFixture(const QString& fileName) {
    QFile f(QStringLiteral(ANSWER_FIXTURES) + QLatin1Char('/') + fileName);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        throw std::runtime_error("missing fixture " + fileName.toStdString());
    AnswerFixture fx;
    while (!f.atEnd()) {
        QString line = QString::fromUtf8(f.readLine());
        if (line.endsWith(QLatin1Char('\n')))
            line.chop(1);
        if (line.startsWith(QLatin1String("# "))) {
            fx.title = line.mid(2);
        } else if (line.startsWith(QLatin1String("code: "))) {
            fx.code = line.mid(6).trimmed();
        } else if (line.startsWith(QLatin1String("= "))) {
            const qsizetype colon = line.indexOf(QLatin1String(": "));
            if (colon > 2)
                fx.expects.append({line.mid(2, colon - 2), line.mid(colon + 2)});
            else if (line.endsWith(QLatin1Char(':')))
                fx.expects.append({line.mid(2, line.size() - 3), QString()});
        } else if (!line.trimmed().isEmpty()) {
            fx.bytes += QByteArray::fromHex(line.toLatin1());
        }
    }
    return fx;
}

QStringList fixtureNames() {
    return QDir(QStringLiteral(ANSWER_FIXTURES))
        .entryList({QStringLiteral("*.hex")}, QDir::Files, QDir::Name);
}
