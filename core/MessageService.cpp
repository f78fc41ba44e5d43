#include "core/MessageService.h"

#include <QMessageBox>

namespace {
QMessageBox::Icon toQt(IMessageService::Icon icon) {
    switch (icon) {
    case IMessageService::Icon::Error:
        return QMessageBox::Critical;
    case IMessageService::Icon::Information:
        return QMessageBox::Information;
    case IMessageService::Icon::Question:
        return QMessageBox::Question;
    case IMessageService::Icon::Warning:
        return QMessageBox::Warning;
    case IMessageService::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}
} // namespace

void QtMessageService::show(const QString& text, const QString& caption, Icon icon) {
    QMessageBox box(toQt(icon), caption, text, QMessageBox::Ok, parent_);
    box.exec();
}

bool QtMessageService::ask(const QString& text, const QString& caption, Icon icon) {
    QMessageBox box(toQt(icon), caption, text, QMessageBox::Yes | QMessageBox::No, parent_);
    return box.exec() == QMessageBox::Yes;
}
