#include "core/ConsoleContext.h"

#include "core/LostAnswer.h"
#include "core/ReturnBufferModel.h"
#include "core/SafeFormat.h"
#include "device/DeviceErrors.h"
#include "protocol/Commands.h"

#include <QAbstractItemView>
#include <QApplication>

#include <exception>

ConsoleContext::ConsoleContext(dev::DeviceSet devices, IMessageService& msgs)
    : messages(msgs),
      frame(devices,
            dev::CommandFrame::Hooks{
                [this] { return portNameFn ? portNameFn() : QByteArray("COM1"); },
                [this](const CommandResult& r) { errorBox(dev::DeviceErrorText(r.Status, r.SubCode)); },
                [this](const QString& code, const QByteArray& answer) { ShowReturnBuffer(code, answer); },
                [this](const QByteArray& code, const CommandResult& r) { tellAfterLostAnswer(code, r); }}) {}

QString ConsoleContext::LocaleString(int id) const {
    return localeText ? localeText(id) : QString();
}

QString ConsoleContext::applicationTitle() const {
    // A fixed text: never the application's display name, which the platform
    // would also append to every title.
    return QStringLiteral("Demo");
}

void ConsoleContext::errorBox(const QString& text) const {
    messages.show(text, texts.errorCaption, IMessageService::Icon::Error);
}

void ConsoleContext::infoBox(const QString& text) const {
    messages.show(text, applicationTitle(), IMessageService::Icon::None);
}

void ConsoleContext::formatErrorBox() const {
    errorBox(texts.formatError);
}

namespace {
void showLastLine(ReturnBufferModel* model, QAbstractItemView* view) {
    if (!view)
        return;
    const QModelIndex last = model->index(model->rowCount() - 1, 0);
    view->setCurrentIndex(last);
    view->scrollTo(last);
}
} // namespace

void ConsoleContext::ShowReturnBuffer(const QString& code, const QByteArray& answer) {
    if (code == QLatin1String(protocol::cmd::cmSoftwareStatus.code))
        lastSoftwareStatus = answer;
    if (returnBuffer) {
        returnBuffer->appendLine(SafeFormat(LocaleString(11363), {code}));
        returnBuffer->appendLine(LocaleString(11364));
        returnBuffer->appendDump(answer, protocol::answerLayout(code.toLatin1().toStdString()));
        showLastLine(returnBuffer, returnBufferView);
    }
    decoders.DecodeAnswer(code, answer);
}

void ConsoleContext::tellAfterLostAnswer(const QByteArray& code, const CommandResult& result) {
    constexpr int32_t kTimeOut = -3;
    const std::string c = code.toStdString();
    if (result.Status != kTimeOut || !lostanswer::closesDocument(c) || Exiting)
        return;
    const QByteArray before = lastSoftwareStatus;
    // The status page is filled as by any status answer, but the page in use
    // (e.g. the payment, to repeat it) stays on screen.
    const PageId page = nav.current();
    const auto status = frame.run(protocol::cmd::cmSoftwareStatus, [] { return dev::Args{}; });
    if (nav.current() != page)
        nav.show(page);
    const QString note = lostanswer::noteText(c, status.value_or(QByteArray()), before, localeText);
    if (returnBuffer) {
        returnBuffer->appendLine(note);
        showLastLine(returnBuffer, returnBufferView);
    }
    if (showStatusNote)
        showStatusNote(note);
}

void ConsoleContext::guard(const std::function<void()>& handler) const {
    try {
        handler();
    } catch (const std::exception& e) {
        messages.show(QString::fromLocal8Bit(e.what()), applicationTitle(), IMessageService::Icon::Error);
    } catch (...) {
        messages.show(QStringLiteral("Unexpected error."), applicationTitle(), IMessageService::Icon::Error);
    }
}
