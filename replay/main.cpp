// tavo-replay: runs every call of a session again on a pair of device
// libraries and compares each answer with the recorded one.
//   tavo-replay SESSION [--library-dir DIR] [--port COMn] [--ignore FIELD...]
//               [--compare-volatile] [--password KEY=VALUE...] [--report FILE.html]
// Without --library-dir, the libraries beside tavo-replay.
// Exit status: 0 every call matches, 1 some differ, 2 the replay could not run
// (usage, a session that cannot be read or replayed, libraries, a password not given).

#include "device/QLibraryDevice.h"
#include "replay/Report.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <cstdio>
#include <memory>

namespace {

void print(FILE* to, const QString& text) {
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), to);
    std::fflush(to);
}

int usage(const QCommandLineParser& parser, const QString& why) {
    print(stderr, QStringLiteral("tavo-replay: %1\n\n%2").arg(why, parser.helpText()));
    return 2;
}

QStringList listOf(const QStringList& values) {
    QStringList out;
    for (const QString& v : values)
        for (const QString& part : v.split(QLatin1Char(','), Qt::SkipEmptyParts))
            out << part.trimmed();
    return out;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tavo-replay"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Runs every call of a session again on a pair of device libraries and compares each answer with "
        "the recorded one.\nExit status: 0 every call matches, 1 some differ, 2 the replay could not run."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("SESSION"),
                                 QStringLiteral("the session file (one JSON line a call)"));
    const QCommandLineOption libraryDir(
        QStringLiteral("library-dir"),
        QStringLiteral("the folder holding the two device libraries (default: the folder of tavo-replay)"),
        QStringLiteral("DIR"));
    const QCommandLineOption port(QStringLiteral("port"),
                                  QStringLiteral("open this port instead of the recorded one"),
                                  QStringLiteral("COMn"));
    const QCommandLineOption ignore(
        QStringLiteral("ignore"),
        QStringLiteral("leave a field out of the comparison (repeat, or separate by commas): "
                       "TaxId, HardwareStatus.TaxId, Departments.Name"),
        QStringLiteral("FIELD"));
    const QCommandLineOption compareVolatile(
        QStringLiteral("compare-volatile"),
        QStringLiteral("compare the fields that change by nature too (clock, numbers)"));
    const QCommandLineOption password(
        QStringLiteral("password"),
        QStringLiteral("a password the session holds only masked: service=..., skip=..., "
                       "clerkN=... (repeat for several)"),
        QStringLiteral("KEY=VALUE"));
    const QCommandLineOption report(QStringLiteral("report"), QStringLiteral("write an HTML report"),
                                    QStringLiteral("FILE.html"));
    parser.addOptions({libraryDir, port, ignore, compareVolatile, password, report});
    if (!parser.parse(QCoreApplication::arguments()))
        return usage(parser, parser.errorText());
    if (parser.isSet(QStringLiteral("help"))) {
        print(stdout, parser.helpText());
        return 0;
    }
    if (parser.positionalArguments().size() != 1)
        return usage(parser, QStringLiteral("give exactly one session file"));
    const QString dir =
        parser.isSet(libraryDir) ? parser.value(libraryDir) : QCoreApplication::applicationDirPath();
    if (!QFileInfo(dir).isDir())
        return usage(parser, QStringLiteral("the library folder \"%1\" does not exist").arg(dir));

    replay::Options options;
    if (parser.isSet(port))
        options.port = parser.value(port).toLatin1();
    options.compare.ignore = listOf(parser.values(ignore));
    options.compare.compareVolatile = parser.isSet(compareVolatile);
    for (const QString& p : parser.values(password)) {
        const qsizetype eq = p.indexOf(QLatin1Char('='));
        const QString key = p.left(eq).trimmed();
        static const QRegularExpression keys(QStringLiteral("^(service|skip|clerk[0-9]+)$"));
        if (eq < 0 || !keys.match(key).hasMatch())
            return usage(parser,
                         QStringLiteral("--password takes service=..., skip=... or clerkN=...; not \"%1\"")
                             .arg(eq < 0 ? p : key));
        options.passwords[key] = p.mid(eq + 1);
    }

    const QString sessionPath = parser.positionalArguments().constFirst();
    const session::Read read = session::readFile(sessionPath);
    if (!read.ok()) {
        print(stderr, QStringLiteral("tavo-replay: %1\n").arg(read.error));
        return 2;
    }
    if (!read.warning.isEmpty())
        print(stderr, QStringLiteral("tavo-replay: %1\n").arg(read.warning));
    if (const QString why = replay::whyNotReplayable(read.calls); !why.isEmpty()) {
        print(stderr, QStringLiteral("tavo-replay: %1.\n").arg(why));
        return 2;
    }

    std::unique_ptr<dev::QLibraryDevice> user, service;
    try {
        user = std::make_unique<dev::QLibraryDevice>(dev::Library::User, QDir(dir).absolutePath());
        service = std::make_unique<dev::QLibraryDevice>(dev::Library::Service, QDir(dir).absolutePath());
    } catch (const dev::BindError& e) {
        print(stderr, QStringLiteral("tavo-replay: %1\n").arg(e.message()));
        return 2;
    }

    replay::Replayer replayer(dev::DeviceSet{user.get(), service.get()}, options);
    const replay::Result result = replayer.runAll(read.calls);
    print(stdout, replay::textSummary(result));
    if (parser.isSet(report)) {
        QString why;
        if (!replay::writeHtmlReport(parser.value(report), result,
                                     {QFileInfo(sessionPath).fileName(), QDir(dir).absolutePath()}, &why)) {
            print(stderr, QStringLiteral("tavo-replay: %1\n").arg(why));
            return 2;
        }
    }
    if (!result.stopped.isEmpty()) {
        print(stderr, QStringLiteral("tavo-replay: %1\n").arg(result.stopped));
        return 2;
    }
    return result.differing() == 0 ? 0 : 1;
}
