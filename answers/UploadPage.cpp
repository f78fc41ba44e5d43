#include "answers/UploadPage.h"

#include "core/AnswerDecoders.h"
#include "core/WidgetAccess.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>

const answers::GridLink UploadPage::kDepartmentGrid{&protocol::Departments::layout,
                                                    answers::kDepartmentColumns};
const answers::GridLink UploadPage::kHeaderLineGrid{&protocol::HeaderLines::layout,
                                                    answers::kHeaderLineColumns};

UploadPage::UploadPage(ConsoleContext& ctx, QWidget* parent)
    : Page(ctx, PageId::Upload, QStringLiteral("Upload"), parent) {
    answers::plainLabel(make<QLabel>("lbUpload", 16, 4, 400, 20), QStringLiteral("Uploaded"));
    auto* grid = make<QTableWidget>("sgrdUpload", 16, 26, 580, 256);
    grid->verticalHeader()->setVisible(false); // no fixed column
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->verticalHeader()->setDefaultSectionSize(18);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setColumnCount(1);
    makeBackButton("BitBtn18");
    answers::linkGrid(ctx_, grid, [this] { return shown_; });
}

void UploadPage::attach() {
    ctx_.decoders.registerDecoder(protocol::cmd::cmUploadDepartment,
                                  [this](const QByteArray& a) { DecodeDepartments(a); });
    ctx_.decoders.registerDecoder(protocol::cmd::cmUploadHeadMessage,
                                  [this](const QByteArray& a) { DecodeHeaderLines(a); });
}

void UploadPage::DecodeDepartments(const QByteArray& answer) {
    const auto rows = answers::decodeDepartments(answer);
    if (!rows) {
        ctx_.formatErrorBox();
        return;
    }
    answers::setLabelText(this, QStringLiteral("lbUpload"), ctx_.LocaleString(11330));
    answers::FillUploadGrid(find<QTableWidget>(QStringLiteral("sgrdUpload")),
                            {ctx_.LocaleString(11331), ctx_.LocaleString(11332), ctx_.LocaleString(11333)},
                            {9, 8, protocol::Departments::Name.width}, *rows);
    shown_ = &kDepartmentGrid;
    ctx_.nav.show(PageId::Upload);
}

void UploadPage::DecodeHeaderLines(const QByteArray& answer) {
    const auto rows = answers::decodeHeaderLines(answer);
    if (!rows) {
        ctx_.formatErrorBox();
        return;
    }
    if (ctx_.FiscalReviewMode) {
        emit headerLinesReviewed(*rows);
        return;
    }
    answers::setLabelText(this, QStringLiteral("lbUpload"), ctx_.LocaleString(11334));
    answers::FillUploadGrid(find<QTableWidget>(QStringLiteral("sgrdUpload")),
                            {ctx_.LocaleString(11335), ctx_.LocaleString(11336)},
                            {3, protocol::HeaderLines::Text.width}, *rows);
    shown_ = &kHeaderLineGrid;
    ctx_.nav.show(PageId::Upload);
}
