#include "programming/EcrNumberSetPage.h"

#include "programming/ProgrammingRules.h"

#include <QLabel>
#include <QLineEdit>

EcrNumberSetPage::EcrNumberSetPage(ConsoleContext& ctx, QWidget* parent)
    : Page(ctx, PageId::EcrNumberSet, QStringLiteral("ECR number set"), parent) {
    make<QLabel>("Label31", 40, 43, 100, 17)->setText(QStringLiteral("ECR number"));
    Edit3 = make<QLineEdit>("Edit3", 150, 40, 40, 22);
    Edit3->setMaxLength(1);
    onClick(makeButton("Button1", QStringLiteral("Set"), 40, 100), [this] { Button1Click(); });
    makeBackButton("Button4", QStringLiteral("Back to Menu"));
}

void EcrNumberSetPage::attach() {
    onMenu(MenuCommand::EcrNumber, [this] { Button2Click(); });
}

void EcrNumberSetPage::Button2Click() {
    ctx_.nav.show(PageId::EcrNumberSet);
}

void EcrNumberSetPage::Button1Click() {
    ctx_.frame.EnsureLinkOpen(dev::Library::User);
    const int number = prog::StrToInt(Edit3->text()); // stops with the conversion message
    const auto answer =
        ctx_.frame.run(protocol::cmd::cmSetEcrNumber,
                       [number] { return dev::Args{dev::Arg::integer(number)}; }, {.showCode = false});
    if (answer)
        ctx_.nav.show(PageId::Menu);
}
