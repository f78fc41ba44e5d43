#include "answers/RtnPkgPage.h"

#include "answers/DataFiles.h"
#include "core/WidgetAccess.h"

#include <QLabel>
#include <QTableView>

namespace answers {
QTableView* makeRecordGrid(QTableView* view, RecordTableModel* model); // PluInfoPage.cpp
}

RtnPkgPage::RtnPkgPage(ConsoleContext& ctx, QWidget* parent)
    : Page(ctx, PageId::RtnPkg, QStringLiteral("RtnPkg"), parent) {
    answers::plainLabel(make<QLabel>("Label116", 16, 4, 400, 20), QStringLiteral("Return Package Uploaded"));
    model_ = new answers::RecordTableModel(
        protocol::PackageRecord::layout.size,
        [](const char* rec, int col) { return answers::PackageCell(rec, col); }, this);
    grid_ = answers::makeRecordGrid(make<QTableView>("sgrdPkg", 16, 26, 585, 256), model_);
    makeBackButton("BitBtn20");
}

void RtnPkgPage::attach() {
    ctx_.decoders.registerDecoder(protocol::cmd::cmUploadPkg,
                                  [this](const QByteArray& a) { DecodeReturnPackageFile(a); });
}

void RtnPkgPage::ShowReturnPackageRecord(const char* record, int count, bool first) {
    if (count < protocol::PackageRecord::layout.size) {
        ctx_.formatErrorBox();
        grid_->setVisible(false);
        return;
    }
    if (first) {
        answers::setLabelText(ctx_, QStringLiteral("Label116"), ctx_.LocaleString(11350));
        QStringList headers;
        for (int id = 11351; id <= 11356; ++id)
            headers << ctx_.LocaleString(id);
        model_->startOver(headers);
        widthsPending_ = true;
    }
    model_->append(record);
    if (grid_->isHidden())
        grid_->setVisible(true);
}

void RtnPkgPage::DecodeReturnPackageFile(const QByteArray&) {
    model_->beginLoad();
    try {
        answers::ReadDataFile(
            QString::fromLatin1(protocol::kReturnPackageFile), protocol::PackageRecord::layout.size,
            [this](const char* rec, int n, bool first) { ShowReturnPackageRecord(rec, n, first); });
    } catch (...) {
        model_->endLoad();
        throw;
    }
    model_->endLoad();
    if (widthsPending_) {
        widthsPending_ = false;
        grid_->setColumnWidth(0, answers::gridColumnWidth(grid_, protocol::PackageRecord::Name.width));
        for (int c = 1; c <= static_cast<int>(std::size(protocol::PackageRecord::values)); ++c)
            grid_->setColumnWidth(c, answers::gridColumnWidth(grid_, 8));
    }
    ctx_.nav.show(PageId::RtnPkg);
}
