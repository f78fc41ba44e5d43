#include "answers/PrnStatusPage.h"

#include "core/AnswerDecoders.h"
#include "core/ReadOnlyButtons.h"
#include "core/WidgetAccess.h"

#include <QGroupBox>
#include <QRadioButton>

PrnStatusPage::PrnStatusPage(ConsoleContext& ctx, QWidget* parent)
    : Page(ctx, PageId::PrnStatus, QStringLiteral("PrnStatus"), parent) {
    auto* g = make<QGroupBox>("GroupBox10", 16, 8, 420, 228);
    g->setTitle(QStringLiteral("Printer Status"));
    const char* captions[] = {"Printer OK",
                              "Busy Pin TimeOut",
                              "Receipt Printer Is Out Of Paper ",
                              "Journal Printer Is Out Of Paper ",
                              "Receipt and Journal Printer Is Out Of Paper ",
                              "Error Pin",
                              "Printer Offline",
                              "Unknown Status"};
    for (int i = 0; i < 8; ++i) {
        const QByteArray name = "rbPrinterStatus" + QByteArray::number(i + 1);
        make<QRadioButton>(name.constData(), 14, 20 + 25 * i, 390, 22, g)
            ->setText(QString::fromLatin1(captions[i]));
    }
    makeBackButton("BitBtn7");
    answers::makeCheckButtonsReadOnly(this); // they show the answer; before linkFields
    answers::linkFields(ctx_, this, protocol::PrinterStatus::layout, fieldLinks());
}

std::span<const answers::FieldLink> PrnStatusPage::fieldLinks() {
    // Each of the eight buttons stands for a value of the one state byte.
    namespace prn = protocol::PrinterStatus;
    static constexpr answers::FieldLink links[] = {
        {"rbPrinterStatus1", prn::State}, {"rbPrinterStatus2", prn::State}, {"rbPrinterStatus3", prn::State},
        {"rbPrinterStatus4", prn::State}, {"rbPrinterStatus5", prn::State}, {"rbPrinterStatus6", prn::State},
        {"rbPrinterStatus7", prn::State}, {"rbPrinterStatus8", prn::State}};
    return links;
}

void PrnStatusPage::attach() {
    onMenu(MenuCommand::PrinterStatus, [this] { bbtnChkPrnClick(); });
    ctx_.decoders.registerDecoder(protocol::cmd::cmPrinterStatus,
                                  [this](const QByteArray& a) { DecodePrinterStatus(a); });
}

void PrnStatusPage::bbtnChkPrnClick() {
    ctx_.frame.run(protocol::cmd::cmPrinterStatus, [] { return dev::Args{}; });
}

void PrnStatusPage::DecodePrinterStatus(const QByteArray& answer) {
    const auto index = answers::decodePrinterStatus(answer);
    if (!index) {
        ctx_.formatErrorBox();
        return;
    }
    answers::setButtonChecked(this, QStringLiteral("rbPrinterStatus%1").arg(*index + 1), true);
    ctx_.nav.show(PageId::PrnStatus);
}
