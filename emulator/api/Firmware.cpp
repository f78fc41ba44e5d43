// UpdateTavoProgram: the service library talks to the operator itself.  The
// firmware file is chosen with a file dialog (or given by VPRINTER_FIRMWARE);
// the new software version is read from the file (see docs/virtual-printer.md).
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QProgressDialog>
#include <QRegularExpression>
#include <QThread>

#include <cstdlib>
#include <cstring>

#include "Link.h"

namespace {

// "VERSION=0123" in the first 4 KiB of the file, else four digits in its name.
QString versionOf(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray head = f.read(4096);
    static const QRegularExpression inside("VERSION\\s*=\\s*([0-9A-Za-z]{4})");
    if (const auto m = inside.match(QString::fromLatin1(head)); m.hasMatch())
        return m.captured(1);
    static const QRegularExpression inName("([0-9]{4})");
    if (const auto m = inName.match(QFileInfo(path).fileName()); m.hasMatch())
        return m.captured(1);
    return {};
}

} // namespace

extern "C" TAVO_API int32_t TAVO_CALL UpdateTavoProgram(uintptr_t ownerWindow, const char* portName,
                                                        int32_t full) {
    try {
        const std::string port = portName ? std::string(portName, strnlen(portName, 16)) : std::string();
        const bool gui = qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
        QWidget* owner = nullptr;
        if (gui && ownerWindow != 0)
            owner = QWidget::find(static_cast<WId>(ownerWindow));
        QString path;
        if (const char* env = std::getenv("VPRINTER_FIRMWARE"); env && *env)
            path = QString::fromLocal8Bit(env);
        else if (gui)
            path = QFileDialog::getOpenFileName(
                owner, QObject::tr("Choose the printer program"), QString(),
                QObject::tr("Printer program (*.bin *.hex *.fw);;All files (*)"));
        int32_t r = 1;
        QString message;
        const QString version = path.isEmpty() ? QString() : versionOf(path);
        if (path.isEmpty()) {
            message = QObject::tr("No program file was chosen; the printer keeps its program.");
        } else if (version.isEmpty()) {
            message = QObject::tr("The file %1 holds no program version.").arg(path);
        } else {
            if (gui) {
                QProgressDialog progress(QObject::tr("Sending the program to the printer on %1...")
                                             .arg(QString::fromStdString(port)),
                                         QString(), 0, 20, owner);
                progress.setWindowModality(Qt::WindowModal);
                progress.setMinimumDuration(0);
                for (int i = 0; i <= 20; ++i) {
                    progress.setValue(i);
                    QCoreApplication::processEvents();
                    QThread::msleep(25);
                }
            }
            r = vp::linkUpdateFirmware(port, version.toStdString(), full != 0);
            message = r == 0 ? QObject::tr("The printer on %1 now runs program %2.")
                                   .arg(QString::fromStdString(port), version)
                             : QObject::tr("The printer on %1 did not accept the program (code %2).")
                                   .arg(QString::fromStdString(port))
                                   .arg(r);
        }
        if (gui && std::getenv("VPRINTER_FIRMWARE") == nullptr) {
            if (r == 0)
                QMessageBox::information(owner, QObject::tr("Update Program"), message);
            else
                QMessageBox::warning(owner, QObject::tr("Update Program"), message);
        }
        vp::linkTrace("UpdateTavoProgram",
                      {{"ownerWindow", static_cast<int64_t>(ownerWindow)},
                       {"portName", session::textValue(QByteArray::fromStdString(port), false)},
                       {"full", int64_t{full}}},
                      r);
        return r;
    } catch (...) {
        return 1;
    }
}
