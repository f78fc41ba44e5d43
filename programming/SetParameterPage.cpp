#include "programming/SetParameterPage.h"

#include "programming/ProgrammingRules.h"

#include <QCheckBox>

SetParameterPage::SetParameterPage(ConsoleContext& ctx, QWidget* parent)
    : Page(ctx, PageId::SetParameter, QStringLiteral("SetParameter"), parent) {
    chk1 = make<QCheckBox>("chk1", 40, 30, 320, 20);
    chk1->setText(QStringLiteral("display and Error code is responded"));
    chk2 = make<QCheckBox>("chk2", 40, 60, 320, 20);
    chk2->setText(QStringLiteral("Print Exchange rate info section"));
    onClick(makeButton("btn2", QStringLiteral("DownLoad"), 40, 110), [this] { btn2Click(); });
    makeBackButton("btn3");
}

void SetParameterPage::attach() {
    onMenu(MenuCommand::SetParameter, [this] { btn1Click(); });
    onMenu(MenuCommand::SleepMode, [this] { Button8Click(); });
}

void SetParameterPage::btn1Click() {
    ctx_.nav.show(PageId::SetParameter);
}

void SetParameterPage::btn2Click() {
    const QByteArray text = prog::ParameterText(chk1->isChecked(), chk2->isChecked());
    ctx_.frame.EnsureLinkOpen(dev::Library::User);
    dev::CommandFrame::Options once;
    once.ensureLinkOpen = false;
    once.twoCallSizing = false;
    once.fixedLength = 32;
    once.showCode = false;
    ctx_.frame.run(
        protocol::cmd::cmSetParameter, [text] { return dev::Args{dev::Arg::bytes(text)}; }, once);
}

void SetParameterPage::Button8Click() {
    ctx_.frame.run(protocol::cmd::cmEcrSleepMode, [] { return dev::Args{}; }, {.showCode = false});
}
