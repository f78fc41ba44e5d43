#include "answers/DumpEpromPage.h"

#include "answers/DumpSramPage.h"
#include "core/WidgetAccess.h"

#include <QLabel>
#include <QLineEdit>

namespace {
constexpr int kEpromX = 260, kRomX = 410, kButtonY = 38;
}

DumpEpromPage::DumpEpromPage(ConsoleContext& ctx, QWidget* parent)
    : Page(ctx, PageId::DumpEprom, QStringLiteral("DumpEprom"), parent) {
    answers::plainLabel(make<QLabel>("Label69", 40, 40, 104, 22), QStringLiteral("Start Address:"));
    make<QLineEdit>("edEPRomAddr", 145, 40, 90, 22)->setMaxLength(5);
    onClick(makeButton("btnExecDumpEprom", QStringLiteral("Dump EPROM"), kEpromX, kButtonY),
            [this] { btnExecDumpEpromClick(); });
    auto* rom = makeButton("btnExecDumpRom", QStringLiteral("Dump ROM"), kRomX, kButtonY);
    rom->setVisible(false);
    onClick(rom, [this] { btnExecDumpRomClick(); });
    makeBackButton("BitBtn9");
}

void DumpEpromPage::attach() {
    onMenu(MenuCommand::DumpRom, [this] { bbtnDumpRomClick(); });
}

void DumpEpromPage::bbtnDumpEpromClick() {
    find<QLineEdit>(QStringLiteral("edEPRomAddr"))->clear();
    auto* eprom = find<QPushButton>(QStringLiteral("btnExecDumpEprom"));
    eprom->move(kEpromX, kButtonY);
    eprom->setVisible(true);
    find<QPushButton>(QStringLiteral("btnExecDumpRom"))->setVisible(false);
    ctx_.nav.show(PageId::DumpEprom);
}

void DumpEpromPage::bbtnDumpRomClick() {
    find<QLineEdit>(QStringLiteral("edEPRomAddr"))->clear();
    auto* eprom = find<QPushButton>(QStringLiteral("btnExecDumpEprom"));
    auto* rom = find<QPushButton>(QStringLiteral("btnExecDumpRom"));
    rom->setVisible(true);
    rom->move(eprom->x(), rom->y());
    eprom->setVisible(false);
    ctx_.nav.show(PageId::DumpEprom);
}

void DumpEpromPage::dump(const protocol::Command& command) {
    auto* edit = find<QLineEdit>(QStringLiteral("edEPRomAddr"));
    ctx_.frame.run(command,
                   [edit] { return dev::Args{dev::Arg::integer(answers::ParseHexAddress(edit->text()))}; });
}

void DumpEpromPage::btnExecDumpEpromClick() {
    dump(protocol::cmd::cmEPROMDump);
}

void DumpEpromPage::btnExecDumpRomClick() {
    dump(protocol::cmd::cmROMDump);
}
