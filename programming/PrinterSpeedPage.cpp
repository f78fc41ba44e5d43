#include "programming/PrinterSpeedPage.h"

#include <QComboBox>
#include <QLabel>

PrinterSpeedPage::PrinterSpeedPage(ConsoleContext& ctx, QWidget* parent)
    : Page(ctx, PageId::PrinterSpeed, QStringLiteral("PrinterSpeed"), parent) {
    make<QLabel>("Label114", 40, 43, 110, 17)->setText(QStringLiteral("Printer Density"));
    cbDensity = make<QComboBox>("cbDensity", 160, 40, 60, 22);
    for (int i = 1; i <= 9; ++i)
        cbDensity->addItem(QString::number(i));
    cbDensity->setCurrentIndex(0);
    onClick(makeButton("bbtnSetPrinterSpeed", QStringLiteral("Set Printer Speed"), 40, 100),
            [this] { bbtnSetPrinterSpeedClick(); });
    makeBackButton("BitBtn19");
}

void PrinterSpeedPage::attach() {
    onMenu(MenuCommand::PrinterSpeed, [this] { bbtnPrinterSpeedClick(); });
}

void PrinterSpeedPage::bbtnPrinterSpeedClick() {
    ctx_.nav.show(PageId::PrinterSpeed);
}

void PrinterSpeedPage::bbtnSetPrinterSpeedClick() {
    ctx_.frame.run(protocol::cmd::cmSetPrinterSpeed,
                   [this] { return dev::Args{dev::Arg::integer(cbDensity->currentIndex() + 1)}; },
                   {.showCode = false});
}

void PrinterSpeedPage::updateProgram(int full) {
    ctx_.frame.CloseLink(dev::Library::User);
    ctx_.frame.CloseLink(dev::Library::Service);
    const QByteArray port = ctx_.portNameFn ? ctx_.portNameFn() : QByteArray("COM1");
    // The service library talks to the operator itself; its result is not examined.
    ctx_.frame.devices().service->updateProgram(static_cast<uintptr_t>(window()->winId()), port, full);
}

void PrinterSpeedPage::UpdateProgramBtnClick() {
    updateProgram(0);
}

void PrinterSpeedPage::btnUpdateFullProgramClick() {
    updateProgram(1);
}
