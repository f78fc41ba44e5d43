// Pictures of every notebook page of the main window, rendered offscreen on
// scripted devices with the fonts the console maps its layout to (Liberation,
// DejaVu) and a fixed date in the date fields:
//   page_screenshots <output-dir> [--language]    save the pages of one language
//   page_screenshots --compare <reference-dir> <output-dir>
//                                                 compare both languages with the
//                                                 references; for each page that
//                                                 differs, write the new picture and
//                                                 a difference picture to output-dir
//   page_screenshots --update <reference-dir>     write new references
//   page_screenshots --same <a.png> <b.png> [--ignore-bottom N]
//                                                 exit 0 when the two pictures match
//                                                 (but for their bottom N rows)
// Run it with QT_QPA_PLATFORM=offscreen.
#include "RecordingMessages.h"
#include "ScriptedDevice.h"
#include "app/Application.h"
#include "app/Main.h"
#include "core/Page.h"

#include <algorithm>

#include <QApplication>
#include <QDateTimeEdit>
#include <QDir>
#include <QFontInfo>
#include <QImage>
#include <QPixmap>
#include <QStackedWidget>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

namespace {

// A pixel differs when one of its channels is off by more than this.
constexpr int kChannelThreshold = 32;

using Pictures = std::vector<std::pair<QString, QImage>>;

Pictures renderPages(bool language) {
    ScriptedDevice user, service;
    RecordingMessages messages;
    // A folder of its own: a SYSTEM.CFG left elsewhere must not choose another port.
    const QTemporaryDir programDir;
    TMainForm::Options o;
    o.programDir = programDir.path();
    o.languageDir = QStringLiteral(CONSOLE_BIN_DIR);
    if (!language)
        o.languageLibrary = QStringLiteral("NoLanguage");
    TMainForm form(dev::DeviceSet{&user, &service}, messages, o);
    form.show();
    QCoreApplication::processEvents();
    // The date fields show today's date; a picture must not change with the day.
    for (QDateTimeEdit* edit : form.findChildren<QDateTimeEdit*>())
        edit->setDateTime(QDateTime(QDate(2026, 1, 15), QTime(12, 30, 0)));
    Pictures pictures;
    for (int i = 0; i < form.notebook()->count(); ++i) {
        form.showPage(static_cast<PageId>(i));
        if (QWidget* focus = QApplication::focusWidget())
            focus->clearFocus(); // no blinking caret in the picture
        QCoreApplication::processEvents();
        const QString name = QStringLiteral("page%1-%2.png")
                                 .arg(i, 2, 10, QLatin1Char('0'))
                                 .arg(form.page(static_cast<PageId>(i))->pageName().replace(' ', '_'));
        pictures.emplace_back(name, form.grab().toImage().convertToFormat(QImage::Format_RGB32));
    }
    return pictures;
}

bool save(const Pictures& pictures, const QString& dir) {
    QDir().mkpath(dir);
    bool ok = true;
    for (const auto& [name, picture] : pictures)
        if (!picture.save(QDir(dir).filePath(name))) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(QDir(dir).filePath(name)));
            ok = false;
        }
    return ok;
}

// The number of pixels that differ; `diff` shows them red on a faded copy.
qint64 compare(const QImage& reference, const QImage& picture, QImage* diff) {
    *diff = picture.copy();
    qint64 differing = 0;
    for (int y = 0; y < picture.height(); ++y) {
        const auto* a = reinterpret_cast<const QRgb*>(reference.constScanLine(y));
        const auto* b = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        auto* d = reinterpret_cast<QRgb*>(diff->scanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            const int delta =
                std::max({std::abs(qRed(a[x]) - qRed(b[x])), std::abs(qGreen(a[x]) - qGreen(b[x])),
                          std::abs(qBlue(a[x]) - qBlue(b[x]))});
            if (delta > kChannelThreshold) {
                ++differing;
                d[x] = qRgb(255, 0, 0);
            } else {
                const int grey = 160 + qGray(b[x]) * 95 / 255;
                d[x] = qRgb(grey, grey, grey);
            }
        }
    }
    return differing;
}

int compareAll(const QString& referenceDir, const QString& outputDir) {
    int failed = 0, compared = 0;
    for (const bool language : {false, true}) {
        const QString sub = language ? QStringLiteral("pl") : QStringLiteral("en");
        const QDir refs(QDir(referenceDir).filePath(sub));
        const QDir out(QDir(outputDir).filePath(sub));
        for (const auto& [name, picture] : renderPages(language)) {
            ++compared;
            const QImage reference = QImage(refs.filePath(name)).convertToFormat(QImage::Format_RGB32);
            QString problem;
            QImage diff;
            if (reference.isNull())
                problem = QStringLiteral("no reference picture");
            else if (reference.size() != picture.size())
                problem = QStringLiteral("size %1x%2, reference %3x%4")
                              .arg(picture.width())
                              .arg(picture.height())
                              .arg(reference.width())
                              .arg(reference.height());
            else if (const qint64 n = compare(reference, picture, &diff); n > 0)
                problem = QStringLiteral("%1 pixel(s) differ").arg(n);
            if (problem.isEmpty())
                continue;
            ++failed;
            QDir().mkpath(out.path());
            const QString stem = out.filePath(name.chopped(4));
            picture.save(stem + QStringLiteral("-new.png"));
            if (!diff.isNull())
                diff.save(stem + QStringLiteral("-diff.png"));
            std::printf("DIFFERS %s/%s: %s (see %s-new.png)\n", qPrintable(sub), qPrintable(name),
                        qPrintable(problem), qPrintable(stem));
        }
    }
    std::printf("%d of %d page pictures match their references\n", compared - failed, compared);
    if (failed)
        std::printf("If the change is intended: cmake --build <build-dir> --target update-page-pictures\n");
    return failed == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    ConfigureApplication();
    if (QFontInfo(QFont(QStringLiteral("Arial CE"), 9)).family() != QStringLiteral("Liberation Sans"))
        std::fprintf(stderr, "warning: Liberation Sans is not installed; the pictures will differ\n");
    const QStringList args = app.arguments();
    if (args.size() >= 4 && args[1] == QStringLiteral("--compare"))
        return compareAll(args[2], args[3]);
    if (args.size() >= 4 && args[1] == QStringLiteral("--same")) {
        // Two pictures, e.g. the installed console's window and a reference.
        QImage a = QImage(args[2]).convertToFormat(QImage::Format_RGB32);
        QImage b = QImage(args[3]).convertToFormat(QImage::Format_RGB32);
        if (args.size() >= 6 && args[4] == QStringLiteral("--ignore-bottom") && a.size() == b.size()) {
            const int keep = std::max(0, a.height() - args[5].toInt());
            a = a.copy(0, 0, a.width(), keep);
            b = b.copy(0, 0, b.width(), keep);
        }
        QImage diff;
        const qint64 n = a.isNull() || b.isNull() || a.size() != b.size() ? -1 : compare(b, a, &diff);
        if (n == 0)
            return 0;
        std::printf("%s and %s differ (%lld pixel(s); -1: unreadable or another size)\n", qPrintable(args[2]),
                    qPrintable(args[3]), static_cast<long long>(n));
        return 1;
    }
    if (args.size() >= 3 && args[1] == QStringLiteral("--update")) {
        const bool ok = save(renderPages(false), QDir(args[2]).filePath(QStringLiteral("en"))) &&
                        save(renderPages(true), QDir(args[2]).filePath(QStringLiteral("pl")));
        std::printf("%s references in %s\n", ok ? "wrote" : "could not write all", qPrintable(args[2]));
        return ok ? 0 : 1;
    }
    const QString out = args.size() > 1 ? args[1] : QStringLiteral("page-shots");
    const bool language = args.contains(QStringLiteral("--language"));
    const Pictures pictures = renderPages(language);
    if (!save(pictures, out))
        return 1;
    std::printf("saved %d pages to %s\n", static_cast<int>(pictures.size()), qPrintable(out));
    return 0;
}
