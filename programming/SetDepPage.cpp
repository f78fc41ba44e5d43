#include "programming/SetDepPage.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

SetDepPage::SetDepPage(ConsoleContext& ctx, QWidget* parent)
    : Page(ctx, PageId::SetDep, QStringLiteral("SetDep"), parent) {
    make<QLabel>("Label28", 40, 33, 100, 17)->setText(QStringLiteral("Depart ID:"));
    cbDepID2 = make<QComboBox>("cbDepID2", 150, 30, 70, 22);
    for (int i = 1; i <= 9; ++i)
        cbDepID2->addItem(QStringLiteral("%1").arg(i, 2, 10, QLatin1Char('0')));
    cbDepID2->setCurrentIndex(-1);
    make<QLabel>("Label105", 40, 73, 100, 17)->setText(QStringLiteral("Depart Name:"));
    edDepName = make<QLineEdit>("edDepName", 150, 70, 200, 22);
    edDepName->setMaxLength(20);
    make<QLabel>("Label23", 40, 113, 100, 17)->setText(QStringLiteral("Tax Type:"));
    cbTaxType = make<QComboBox>("cbTaxType", 150, 110, 70, 22);
    for (char c = 'A'; c <= 'I'; ++c)
        cbTaxType->addItem(QString(QLatin1Char(c)));
    cbTaxType->setCurrentIndex(-1);
    onClick(makeButton("bbtnExecSetDept", QStringLiteral("SetDepartName"), 40, 170),
            [this] { bbtnExecSetDeptClick(); });
    makeBackButton("BitBtn2");
}

void SetDepPage::bbtnSetDeptClick() {
    ctx_.nav.show(PageId::SetDep);
}

void SetDepPage::bbtnExecSetDeptClick() {
    ctx_.frame.run(protocol::cmd::cmSetDepartName, [this] {
        return dev::Args{dev::Arg::text1250(cbDepID2->currentText()), dev::Arg::text1250(edDepName->text()),
                         dev::Arg::text1250(cbTaxType->currentText())};
    });
}

void SetDepPage::bbtnUploadDepartClick() {
    ctx_.frame.run(protocol::cmd::cmUploadDepartment, [] { return dev::Args{}; });
}
