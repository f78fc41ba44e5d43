#pragma once
// Golden answers kept as hexadecimal text: a "# title" line, "code: NN", lines of
// hex byte pairs, and "= control: value" lines with what the answer must show.

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

struct AnswerFixture {
    QString title;
    QString code;
    QByteArray bytes;
    QList<QPair<QString, QString>> expects;
};

AnswerFixture loadFixture(const QString& fileName);
QStringList fixtureNames(); // every *.hex file of the fixture folder
