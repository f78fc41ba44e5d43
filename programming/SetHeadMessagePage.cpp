#include "programming/SetHeadMessagePage.h"

#include "programming/ProgrammingRules.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

SetHeadMessagePage::SetHeadMessagePage(ConsoleContext& ctx, QWidget* parent)
    : Page(ctx, PageId::SetHeadMessage, QStringLiteral("SetHeadMessage"), parent) {
    auto* group = make<QGroupBox>("GroupBox1", 20, 8, 520, 190);
    group->setTitle(QStringLiteral("Head Message"));
    QFont mono(QStringLiteral("Monospace"));
    mono.setStyleHint(QFont::TypeWriter);
    static const char* const numberLabels[] = {"lblHeadLine1", "lblHeadLine2", "lblHeadLine3", "lblHeadLine4",
                                               "lblHeadLine5"};
    for (int n = 1; n <= prog::kHeaderLines; ++n) {
        const int y = 25 + (n - 1) * 32;
        make<QLabel>(numberLabels[n - 1], 12, y + 3, 15, 17, group)->setText(QString::number(n));
        const QByteArray edit = "HMEdit" + QByteArray::number(n);
        auto* e = make<QLineEdit>(edit.constData(), 32, y, 330, 24, group);
        e->setMaxLength(prog::kHeaderLineWidth);
        e->setFont(mono);
        const QByteArray box = "chkCentralLine" + QByteArray::number(n);
        make<QCheckBox>(box.constData(), 380, y + 2, 120, 20, group)->setText(QStringLiteral("Centralize"));
    }
    onClick(makeButton("SetHeadMessageBtn1", QStringLiteral("Set Head Message"), 20, 240),
            [this] { SetHeadMessageBtn1Click(); });
    makeBackButton("BackBtn4");
}

void SetHeadMessagePage::attach() {
    onMenu(MenuCommand::SetHeadMessage, [this] { bbtnSetHeadMessageClick(); });
    onMenu(MenuCommand::UploadHeadMessage, [this] { bbtnUploadHeadMessageClick(); });
}

void SetHeadMessagePage::bbtnSetHeadMessageClick() {
    ctx_.nav.show(PageId::SetHeadMessage);
}

QString SetHeadMessagePage::headerText() const {
    std::array<QString, prog::kHeaderLines> lines;
    std::array<bool, prog::kHeaderLines> centre{};
    for (int n = 1; n <= prog::kHeaderLines; ++n) {
        const auto* e = find<QLineEdit>(QStringLiteral("HMEdit%1").arg(n));
        const auto* c = find<QCheckBox>(QStringLiteral("chkCentralLine%1").arg(n));
        lines[n - 1] = e ? e->text() : QString();
        centre[n - 1] = c && c->isChecked();
    }
    return prog::BuildHeaderText(lines, centre);
}

void SetHeadMessagePage::SetHeadMessageBtn1Click() {
    ctx_.frame.run(
        protocol::cmd::cmSetHeadMessage,
        [this] {
            return dev::Args{dev::Arg::integer(1), dev::Arg::integer(0), dev::Arg::text1250(headerText())};
        },
        {.showCode = false});
}

void SetHeadMessagePage::bbtnUploadHeadMessageClick() {
    ctx_.frame.run(protocol::cmd::cmUploadHeadMessage, [] { return dev::Args{}; });
}
