#include "core/ConsoleContext.h"

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
                [this](const QString& code, const QByteArray& answer) { ShowReturnBuffer(code, answer); }}) {}

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

void ConsoleContext::ShowReturnBuffer(const QString& code, const QByteArray& answer) {
    if (returnBuffer) {
        returnBuffer->appendLine(SafeFormat(LocaleString(11363), {code}));
        returnBuffer->appendLine(LocaleString(11364));
        returnBuffer->appendDump(answer, protocol::answerLayout(code.toLatin1().toStdString()));
        if (returnBufferView) {
            const QModelIndex last = returnBuffer->index(returnBuffer->rowCount() - 1, 0);
            returnBufferView->setCurrentIndex(last);
            returnBufferView->scrollTo(last);
        }
    }
    decoders.DecodeAnswer(code, answer);
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
