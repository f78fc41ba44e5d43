#include "answers/HStatusPage.h"

#include "core/AnswerDecoders.h"
#include "core/ReadOnlyButtons.h"
#include "core/WidgetAccess.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>

using answers::FieldLink;
using answers::plainLabel;
using answers::setButtonChecked;

HStatusPage::HStatusPage(ConsoleContext& ctx, QWidget* parent)
    : Page(ctx, PageId::HStatus, QStringLiteral("HStatus"), parent) {
    auto radioGroup = [this](const char* group, const QString& title, int x, int y, const char* rb1,
                             const QString& c1, const char* rb2, const QString& c2) {
        auto* g = make<QGroupBox>(group, x, y, 190, 62);
        g->setTitle(title);
        make<QRadioButton>(rb1, 10, 18, 170, 20, g)->setText(c1);
        make<QRadioButton>(rb2, 10, 38, 170, 20, g)->setText(c2);
        return g;
    };
    radioGroup("GroupBox6", "Operation Mode", 8, 4, "rbOpMode1", "Fiscal Mode", "rbOpMode2",
               "Training  Mode");
    radioGroup("GroupBox11", "Battery State", 8, 70, "rbBatteryState1", "Low", "rbBatteryState2", "Normal");
    radioGroup("GroupBox12", "RAM Rest Pin", 8, 136, "rbPinState1", "Opened", "rbPinState2", "Shorted");
    radioGroup("GroupBox7", "Fiscal State", 8, 202, "rbFiscalMode1", "Fiscal", "rbFiscalMode2", "Non-Fiscal")
        ->setVisible(false);

    const struct {
        const char* name;
        const char* caption;
    } checks[] = {{"ckbRam", "RAM Check OK"},
                  {"ckbFlash", "Flash Check OK"},
                  {"ckbFiscalMem", "Fiscal Memory Check OK"},
                  {"ckbSaleReceipt", "Sales Receipt Opened"},
                  {"ckbTestmem", "Test memory check"},
                  {"ckbZReport", "Z Report Blocked"},
                  {"ckbRecDamaged", "Records In Fiscal Memory Maybe Damaged"},
                  {"ckbFiscalMemFull", "Fiscal Memory Full"}};
    int y = 8;
    for (const auto& c : checks) {
        make<QCheckBox>(c.name, 210, y, 262, 22)->setText(QString::fromLatin1(c.caption));
        y += 26;
    }

    auto* info = make<QGroupBox>("GroupBox9", 475, 4, 320, 200);
    info->setTitle(QStringLiteral("Infomation"));
    const struct {
        const char* label;
        const char* caption;
        const char* value;
    } pairs[] = {{"Label61", "Last Z Number:", "lbLastZNo"},  {"Label63", "Free Z Space:", "lbFreeZ"},
                 {"Label57", "ID Code:", "lbIDCode"},         {"Label59", "ID Number:", "lbIDNo"},
                 {"Label33", "Battery Voltage:", "lbBatVol"}, {"Label82", "Tax ID:", "lbTaxID"},
                 {"Label86", "ID Format:", "lbIDFmt"}};
    y = 22;
    for (const auto& p : pairs) {
        plainLabel(make<QLabel>(p.label, 10, y, 120, 20, info), QString::fromLatin1(p.caption));
        plainLabel(make<QLabel>(p.value, 135, y, 175, 20, info), QString());
        y += 24;
    }
    makeBackButton("BitBtn5");
    answers::makeCheckButtonsReadOnly(this); // they show the answer; before linkFields
    answers::linkFields(ctx_, this, protocol::HardwareStatus::layout, fieldLinks());
}

std::span<const FieldLink> HStatusPage::fieldLinks() {
    namespace hw = protocol::HardwareStatus;
    static constexpr FieldLink links[] = {{"rbOpMode1", hw::OperationMode},
                                          {"rbOpMode2", hw::OperationMode},
                                          {"rbBatteryState1", hw::Battery},
                                          {"rbBatteryState2", hw::Battery},
                                          {"rbPinState1", hw::ResetPin},
                                          {"rbPinState2", hw::ResetPin},
                                          {"ckbRam", hw::RamCheck},
                                          {"ckbFlash", hw::FlashCheck},
                                          {"ckbFiscalMem", hw::FiscalMemCheck},
                                          {"ckbSaleReceipt", hw::SaleReceipt},
                                          {"ckbTestmem", hw::TestMemory},
                                          {"ckbZReport", hw::ZReportBlocked},
                                          {"ckbRecDamaged", hw::RecordsDamaged},
                                          {"ckbFiscalMemFull", hw::FiscalMemFull},
                                          {"lbLastZNo", hw::LastZ},
                                          {"lbFreeZ", hw::FreeZ},
                                          {"lbIDCode", hw::IdCode},
                                          {"lbIDNo", hw::IdNumber},
                                          {"lbBatVol", hw::BatteryUnits, hw::BatteryTenths},
                                          {"lbTaxID", hw::TaxId},
                                          {"lbIDFmt", hw::IdFormat}};
    return links;
}

void HStatusPage::attach() {
    onMenu(MenuCommand::HardwareStatus, [this] { bbtnChkHwClick(); });
    ctx_.decoders.registerDecoder(protocol::cmd::cmHardwareStatus,
                                  [this](const QByteArray& a) { DecodeHardwareStatus(a); });
}

void HStatusPage::bbtnChkHwClick() {
    ctx_.frame.run(protocol::cmd::cmHardwareStatus, [] { return dev::Args{}; });
}

void HStatusPage::DecodeHardwareStatus(const QByteArray& answer) {
    const auto s = answers::decodeHardwareStatus(answer);
    if (!s) {
        ctx_.formatErrorBox();
        return;
    }
    answers::setLabelText(this, QStringLiteral("lbIDCode"), s->idCode);
    answers::setLabelText(this, QStringLiteral("lbIDNo"), s->idNumber);
    if (ctx_.FiscalReviewMode) {
        emit reviewed(*s);
        return;
    }
    answers::setLabelText(this, QStringLiteral("lbIDFmt"), s->idFormat);
    answers::setLabelText(this, QStringLiteral("lbTaxID"), s->taxId);
    answers::setLabelText(this, QStringLiteral("lbLastZNo"), s->lastZ);
    answers::setLabelText(this, QStringLiteral("lbFreeZ"), s->freeZ);
    answers::setLabelText(this, QStringLiteral("lbBatVol"), s->batteryVoltage);
    const auto pair = [this](const char* rb1, const char* rb2, char value) {
        setButtonChecked(this, QString::fromLatin1(rb1), value == '0');
        setButtonChecked(this, QString::fromLatin1(rb2), value == '1');
    };
    pair("rbOpMode1", "rbOpMode2", s->operationMode);
    pair("rbBatteryState1", "rbBatteryState2", s->battery);
    pair("rbPinState1", "rbPinState2", s->resetPin);
    setButtonChecked(this, QStringLiteral("ckbSaleReceipt"), s->saleReceipt);
    setButtonChecked(this, QStringLiteral("ckbZReport"), s->zReportBlocked);
    setButtonChecked(this, QStringLiteral("ckbRecDamaged"), s->recordsDamaged);
    setButtonChecked(this, QStringLiteral("ckbRam"), s->ramOk);
    setButtonChecked(this, QStringLiteral("ckbFlash"), s->flashOk);
    setButtonChecked(this, QStringLiteral("ckbFiscalMem"), s->fiscalMemOk);
    setButtonChecked(this, QStringLiteral("ckbFiscalMemFull"), s->fiscalMemFull);
    setButtonChecked(this, QStringLiteral("ckbTestmem"), s->testMemory);
    ctx_.nav.show(PageId::HStatus);
}
