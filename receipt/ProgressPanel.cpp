#include "receipt/ProgressPanel.h"

#include <QApplication>
#include <QLabel>

std::optional<QByteArray> RunWithProgressPanel(ConsoleContext& ctx, const protocol::Command& command,
                                               const std::function<dev::Args()>& args,
                                               const QString& panelText) {
    QWidget* panel = ctx.menu.progressPanel;
    QLabel* caption = ctx.menu.progressCaption;
    QString savedText;
    dev::CommandFrame::Options o;
    o.beforeSecondCall = [&] {
        if (ctx.window)
            ctx.window->setEnabled(false);
        if (caption) {
            savedText = caption->text();
            caption->setText(panelText);
        }
        if (panel) {
            panel->setVisible(true);
            panel->raise();
        }
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
    o.afterSecondCall = [&] {
        if (panel)
            panel->setVisible(false);
        if (caption)
            caption->setText(savedText);
        if (ctx.window)
            ctx.window->setEnabled(true);
    };
    return ctx.frame.run(command, args, o);
}
