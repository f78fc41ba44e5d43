// Saves a PNG of every notebook page of the main window, for looking at the
// layout: page_screenshots <output-dir> [--language]
// Runs on scripted devices, so no printer is needed; use the offscreen
// platform (QT_QPA_PLATFORM=offscreen) or a virtual X display.
#include "RecordingMessages.h"
#include "ScriptedDevice.h"
#include "app/Main.h"
#include "app/Page.h"

#include <QApplication>
#include <QDir>
#include <QFont>
#include <QPixmap>
#include <QStackedWidget>

#include <cstdio>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Demo"));
    QFont::insertSubstitutions(QStringLiteral("Arial CE"), {QStringLiteral("Liberation Sans")});
    QFont::insertSubstitutions(QStringLiteral("Courier New"), {QStringLiteral("Liberation Mono")});
    QFont::insertSubstitutions(QStringLiteral("Verdana"), {QStringLiteral("DejaVu Sans")});
    const QStringList args = app.arguments();
    const QString out = args.size() > 1 ? args[1] : QStringLiteral("page-shots");
    const bool language = args.contains(QStringLiteral("--language"));
    QDir().mkpath(out);

    ScriptedDevice user, service;
    RecordingMessages messages;
    TMainForm::Options o;
    o.programDir = QDir::tempPath();
    o.languageDir = QStringLiteral(CONSOLE_BIN_DIR);
    if (!language)
        o.languageLibrary = QStringLiteral("NoLanguage");
    TMainForm form(dev::DeviceSet{&user, &service}, messages, o);
    form.show();
    QCoreApplication::processEvents();
    for (int i = 0; i < form.notebook()->count(); ++i) {
        form.showPage(i);
        QCoreApplication::processEvents();
        const QString file = QDir(out).filePath(QStringLiteral("page%1-%2.png")
                                                    .arg(i, 2, 10, QLatin1Char('0'))
                                                    .arg(form.page(i)->pageName().replace(' ', '_')));
        if (!form.grab().save(file))
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
    }
    std::printf("saved %d pages to %s\n", form.notebook()->count(), qPrintable(out));
    return 0;
}
