#include "app/CommandLinePage.h"

#include "device/Cp1250.h"

#include <QLabel>
#include <QLineEdit>

CommandLinePage::CommandLinePage(ConsoleContext& ctx, QWidget* parent)
    : Page(ctx, PageId::CommandLine, QStringLiteral("CommandLine"), parent) {
    auto* label = make<QLabel>("Label2", 20, 40, 110, 22);
    label->setText(QStringLiteral("Command Line:"));
    auto* edit = make<QLineEdit>("Edit1", 135, 40, 520, 22); // no length limit
    auto* exec = makeButton("bbtnExec", QStringLiteral("Execute"), 135, 80);
    makeBackButton("BitBtn3");
    setTabOrder(exec, edit); // the button comes first
    onClick(exec, [this] { bbtnExecClick(); });
    // Edit1KeyDown: Enter clicks "Execute".
    connect(edit, &QLineEdit::returnPressed, exec, &QPushButton::click);
}

void CommandLinePage::bbtnExecClick() {
    auto* edit = findChild<QLineEdit*>(QStringLiteral("Edit1"));
    const QString text = edit->text();
    if (text.size() < 2)
        edit->clear(); // still sent as taken
    ctx_.frame.runCommandLine(dev::toCp1250(text));
}
