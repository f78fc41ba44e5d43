#include "answers/SStatusPage.h"

#include "core/AnswerDecoders.h"
#include "core/ReadOnlyButtons.h"
#include "core/WidgetAccess.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>

using answers::FieldLink;
using answers::setButtonChecked;
using answers::setLabelText;

SStatusPage::SStatusPage(ConsoleContext& ctx, QWidget* parent)
    : Page(ctx, PageId::SStatus, QStringLiteral("SStatus"), parent) {
    const struct {
        const char* label;
        const char* caption;
        const char* value;
    } pairs[] = {{"Label56", "Current Date:", "lbCurDate"},
                 {"Label60", "Current Time:", "lbCurTime"},
                 {"Label64", "Current Receipt No:", "lbCurReceiptNo"},
                 {"Label68", "Current  Subtotal:", "lbCurSailtotal"},
                 {"Label55", "Software Version:", "lbVersion"},
                 {"Label76", "Print Buffer Left:", "lbPrintBuffer"}};
    int y = 12;
    for (const auto& p : pairs) {
        answers::plainLabel(make<QLabel>(p.label, 16, y, 140, 20), QString::fromLatin1(p.caption));
        answers::plainLabel(make<QLabel>(p.value, 160, y, 200, 20), QString());
        y += 28;
    }
    const struct {
        const char* name;
        const char* caption;
    } checks[] = {{"ckbSaleReceipt_S", "Sales Receipt Not Closed"},
                  {"ckbPayment1_S", "Payment Started"},
                  {"ckbPayment2_S", "Service mode"},
                  {"ckbProgramReceipt_S", "Super mode"},
                  {"ckbZReport_S", "Programming Not Allowed Unless Printing Z Report"},
                  {"ckbRamCheckSum_S", "Ram Checksum Error"}};
    // The flags of the answer, framed under their own heading.
    auto* flags = make<QGroupBox>("GroupBox15", 380, 4, 416, 190);
    flags->setTitle(QStringLiteral("Software Status"));
    y = 20;
    for (const auto& c : checks) {
        make<QCheckBox>(c.name, 10, y, 400, 22, flags)->setText(QString::fromLatin1(c.caption));
        y += 28;
    }
    makeBackButton("BitBtn6");
    answers::makeCheckButtonsReadOnly(this); // they show the answer; before linkFields
    answers::linkFields(ctx_, this, protocol::SoftwareStatus::layout, fieldLinks());
}

std::span<const FieldLink> SStatusPage::fieldLinks() {
    namespace sw = protocol::SoftwareStatus;
    static constexpr FieldLink links[] = {{"lbCurDate", sw::Day, sw::Year},
                                          {"lbCurTime", sw::Hours, sw::Seconds},
                                          {"lbCurReceiptNo", sw::ReceiptNo},
                                          {"lbCurSailtotal", sw::Subtotal},
                                          {"lbVersion", sw::Version},
                                          {"lbPrintBuffer", sw::PrintBuffer},
                                          {"ckbSaleReceipt_S", sw::ReceiptNotClosed},
                                          {"ckbPayment1_S", sw::PaymentStarted},
                                          {"ckbPayment2_S", sw::ServiceMode},
                                          {"ckbProgramReceipt_S", sw::SuperMode},
                                          {"ckbZReport_S", sw::ZReportNeeded},
                                          {"ckbRamCheckSum_S", sw::RamChecksum}};
    return links;
}

void SStatusPage::attach() {
    onMenu(MenuCommand::SoftwareStatus, [this] { bbtnChkSwClick(); });
    ctx_.decoders.registerDecoder(protocol::cmd::cmSoftwareStatus,
                                  [this](const QByteArray& a) { DecodeSoftwareStatus(a); });
}

void SStatusPage::bbtnChkSwClick() {
    ctx_.frame.run(protocol::cmd::cmSoftwareStatus, [] { return dev::Args{}; });
}

void SStatusPage::DecodeSoftwareStatus(const QByteArray& answer) {
    const auto s = answers::decodeSoftwareStatus(answer, answers::DateSeparator(), answers::TimeSeparator());
    if (!s) {
        ctx_.formatErrorBox();
        return;
    }
    if (!ctx_.FiscalReviewMode && !ctx_.ServiceModeQuery) {
        setLabelText(this, QStringLiteral("lbCurDate"), s->date);
        setLabelText(this, QStringLiteral("lbCurTime"), s->time);
        setLabelText(this, QStringLiteral("lbCurReceiptNo"), s->receiptNo);
        setLabelText(this, QStringLiteral("lbCurSailtotal"), s->subtotal);
        setLabelText(this, QStringLiteral("lbPrintBuffer"), s->printBuffer);
        setLabelText(this, QStringLiteral("lbVersion"), s->version);
        setButtonChecked(this, QStringLiteral("ckbSaleReceipt_S"), s->receiptNotClosed);
        setButtonChecked(this, QStringLiteral("ckbPayment1_S"), s->paymentStarted);
        setButtonChecked(this, QStringLiteral("ckbPayment2_S"), s->serviceMode);
        setButtonChecked(this, QStringLiteral("ckbProgramReceipt_S"), s->superMode);
        setButtonChecked(this, QStringLiteral("ckbZReport_S"), s->zReportNeeded);
        setButtonChecked(this, QStringLiteral("ckbRamCheckSum_S"), s->ramChecksumError);
        ctx_.nav.show(PageId::SStatus);
    } else if (ctx_.ServiceModeQuery) {
        emit serviceModeRead(s->serviceMode);
    } else {
        emit reviewed(*s);
    }
}
