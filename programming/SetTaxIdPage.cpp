#include "programming/SetTaxIdPage.h"

#include "core/ProgrammingWidgets.h"
#include "programming/ProgrammingRules.h"

#include <QLabel>

namespace {
// The console's own string (lang/README.md): a tax ID shorter than ten digits.
constexpr int kTaxIdLengthMessage = 19000;
} // namespace

SetTaxIdPage::SetTaxIdPage(ConsoleContext& ctx, QWidget* parent)
    : Page(ctx, PageId::SetTaxId, QStringLiteral("SetTaxID"), parent) {
    make<QLabel>("Label54", 40, 33, 120, 17)->setText(QStringLiteral("Tax ID:"));
    edTaxID = make<prog::MaskEdit>("edTaxID", 170, 30, 120, 22);
    edTaxID->setup(QStringLiteral("9999999999"), QString());
    make<QLabel>("Label80", 40, 73, 120, 17)->setText(QStringLiteral("Tax ID FORMAT:"));
    edIDFmt = make<prog::MaskEdit>("edIDFmt", 170, 70, 60, 22);
    edIDFmt->setup(QStringLiteral("0000"), QString());
    onClick(makeButton("btnSetTaxID", QStringLiteral("SET TAX ID"), 40, 130),
            [this] { btnExecEnterUserModeClick(); });
    makeBackButton("BitBtn13");
}

void SetTaxIdPage::attach() {
    onMenu(MenuCommand::SetTaxId, [this] { bbtnUserModeClick(); });
}

void SetTaxIdPage::bbtnUserModeClick() {
    if (!ctx_.ServiceLoggedOn) {
        ctx_.infoBox(ctx_.LocaleString(12710));
        return;
    }
    ctx_.nav.show(PageId::SetTaxId);
}

void SetTaxIdPage::btnExecEnterUserModeClick() {
    const prog::TaxIdFormat format = prog::TaxIdFormatValue(edIDFmt->maskedText());
    if (format.result != prog::TaxIdFormat::Result::Ok) {
        ctx_.infoBox(ctx_.LocaleString(11441));
        return;
    }
    // The tax ID goes into the fiscal memory for good: only all ten digits are sent.
    if (!edTaxID->hasAcceptableInput()) {
        const QString message = ctx_.LocaleString(kTaxIdLengthMessage);
        ctx_.infoBox(message.isEmpty() ? QStringLiteral("The Tax ID must have 10 digits.") : message);
        return;
    }
    ctx_.frame.run(protocol::cmd::cmSetTaxID,
                   [this, format] {
                       return dev::Args{dev::Arg::text1250(edTaxID->text()), dev::Arg::integer(format.value)};
                   },
                   {.showCode = false});
}
