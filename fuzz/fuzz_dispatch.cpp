// Any answer under any command code, through ShowReturnBuffer and every
// decoder the window registers: the first two bytes are the code, the rest the
// answer. Nothing may crash or read past the answer.
#include "app/Main.h"
#include "core/ReturnBufferModel.h"

#include <QApplication>

namespace {
struct NullDevice : dev::IDeviceLibrary {
    int32_t open(const QByteArray&, int32_t) override { return 0; }
    int32_t close() override { return 0; }
    int32_t isCommandExecuting() override { return 1; }
    void abort() override {}
    int32_t getReturnBufLength(const QByteArray&) override { return 0; }
    CommandResult execCommand(const QByteArray&, char*, int32_t*) override { return dev::makeResult(-1); }
    CommandResult command(const std::string&, const dev::Args&, char*, int32_t*) override {
        return dev::makeResult(-1);
    }
    int32_t updateProgram(uintptr_t, const QByteArray&, int32_t) override { return 0; }
    void setIdleHandler(TavoIdleHandler, void*) override {}
};
struct NullMessages : IMessageService {
    void show(const QString&, const QString&, Icon) override {}
    bool ask(const QString&, const QString&, Icon) override { return false; }
};

TMainForm& window() {
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QApplication(argc, argv);
    }();
    (void)app;
    static NullDevice user, service;
    static NullMessages messages;
    static TMainForm* form = [] {
        TMainForm::Options o;
        o.programDir = QStringLiteral("/nonexistent-fuzz-dir");
        o.languageLibrary = QStringLiteral("NoLanguage");
        return new TMainForm(dev::DeviceSet{&user, &service}, messages, o);
    }();
    return *form;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2)
        return 0;
    TMainForm& form = window();
    const QString code = QString::fromLatin1(reinterpret_cast<const char*>(data), 2);
    // Keep the answer in its own allocation, so ASan sees any read beyond it.
    const QByteArray answer(reinterpret_cast<const char*>(data) + 2, static_cast<qsizetype>(size - 2));
    // As in every handler: a decoder's error (say, a data file that is not there)
    // ends in the error box, never in a crash.
    ConsoleContext& ctx = form.context();
    ctx.guard([&] { ctx.ShowReturnBuffer(code, answer); });
    ctx.FiscalReviewMode = (size & 1) != 0;
    ctx.guard([&] { ctx.ShowReturnBuffer(code, answer); });
    ctx.FiscalReviewMode = false;
    if (form.context().returnBuffer->rowCount() > 100000)
        form.context().returnBuffer->clear();
    return 0;
}
