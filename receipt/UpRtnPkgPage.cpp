#include "receipt/UpRtnPkgPage.h"

#include "programming/PluFile.h"
#include "receipt/ProgressPanel.h"

#include <QCheckBox>
#include <QDir>
#include <QFileDialog>

namespace {

QString runPluDialog(QWidget* parent, const QString& initialFile) {
    QFileDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("OpenDialog1"));
    dialog.setNameFilter(QStringLiteral("Plu Files (*.plu)"));
    dialog.setDefaultSuffix(QStringLiteral("plu"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setDirectory(QDir::currentPath());
    if (!initialFile.isEmpty())
        dialog.selectFile(initialFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

} // namespace

UpRtnPkgPage::UpRtnPkgPage(ConsoleContext& ctx, QWidget* parent)
    : Page(ctx, PageId::UpRtnPkg, QStringLiteral("UpRtnPkg"), parent) {
    chkbUpRtnPkg = make<QCheckBox>("chkbUpRtnPkg", 264, 70, 160, 22);
    chkbUpRtnPkg->setText(QStringLiteral("Is Clear"));
    auto* exec = makeButton("btnUpRtnPkg", QStringLiteral("Upload RtnPackage"), 264, 110);
    makeBackButton("btnUpRtnPkgBack", QStringLiteral("Back To Menu"), 663, 256);
    onClick(exec, [this] { btnUpRtnPkgClick(); });
    choosePluFile = [this](const QString& initial) { return runPluDialog(window(), initial); };
}

void UpRtnPkgPage::attach() {
    onMenu(MenuCommand::UploadPackages, [this] { bbtnUploadPkgClick(); });
    onMenu(MenuCommand::LoadPlu, [this] { bbtnLoadPluClick(); });
    onMenu(MenuCommand::UploadPlu, [this] { bbtnUploadPluClick(); });
}

void UpRtnPkgPage::bbtnUploadPkgClick() {
    ctx_.nav.show(PageId::UpRtnPkg);
}

void UpRtnPkgPage::btnUpRtnPkgClick() {
    ctx_.frame.EnsureLinkOpen(dev::Library::User);
    const int flag = chkbUpRtnPkg->isChecked() ? '1' : '0';
    int call = 0;
    QString text = ctx_.LocaleString(11361);
    if (text.isEmpty())
        text = QStringLiteral("RTNPACKAGE UPLOADING...");
    RunWithProgressPanel(
        ctx_, protocol::cmd::cmUploadPkg,
        [&] { return dev::Args{dev::Arg::integer(call++ == 0 ? '0' : flag)}; }, text);
}

void UpRtnPkgPage::bbtnLoadPluClick() {
    const QString path = choosePluFile ? choosePluFile(ctx_.plu.PluFileName) : QString();
    if (path.isEmpty())
        return;
    loadPlu(path);
}

void UpRtnPkgPage::loadPlu(const QString& path) {
    QString error;
    if (LoadPluFile(ctx_.plu, path, &error) == PluLoadStatus::Failed)
        ctx_.errorBox(
            QStringLiteral("Cannot open file \"%1\". %2").arg(QDir::toNativeSeparators(path), error));
}

void UpRtnPkgPage::bbtnUploadPluClick() {
    QString text = ctx_.LocaleString(11360);
    if (text.isEmpty())
        text = QStringLiteral("PLU UPLOADING...");
    RunWithProgressPanel(
        ctx_, protocol::cmd::cmUploadPlu, [] { return dev::Args{}; }, text);
}
