#include "answers/DumpSramPage.h"

#include "core/WidgetAccess.h"

#include <QLabel>
#include <QLineEdit>

namespace answers {

int32_t ParseHexAddress(const QString& text) {
    const QString t = text.trimmed();
    if (t.isEmpty() || t.size() > 8)
        return 0;
    for (const QChar c : t)
        if (!QString(QStringLiteral("0123456789abcdefABCDEF")).contains(c))
            return 0;
    bool ok = false;
    const uint v = t.toUInt(&ok, 16);
    return ok ? static_cast<int32_t>(v) : 0;
}

} // namespace answers

DumpSramPage::DumpSramPage(ConsoleContext& ctx, QWidget* parent)
    : Page(ctx, PageId::DumpSram, QStringLiteral("DumpSram"), parent) {
    answers::plainLabel(make<QLabel>("Label62", 40, 40, 104, 22), QStringLiteral("Start Address:"));
    make<QLineEdit>("edSRamAddr", 145, 40, 90, 22)->setMaxLength(5);
    auto* exec = makeButton("btnExecDumpSRam", QStringLiteral("Dump SRAM"), 260, 38);
    onClick(exec, [this] { btnExecDumpSRamClick(); });
    makeBackButton("BitBtn8");
}

void DumpSramPage::bbtnDumpSramClick() {
    ctx_.nav.show(PageId::DumpSram);
}

void DumpSramPage::btnExecDumpSRamClick() {
    auto* edit = find<QLineEdit>(QStringLiteral("edSRamAddr"));
    ctx_.frame.run(protocol::cmd::cmSRAMDump,
                   [edit] { return dev::Args{dev::Arg::integer(answers::ParseHexAddress(edit->text()))}; });
}
