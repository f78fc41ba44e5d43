#include "answers/UploadPage.h"

#include "core/AnswerDecoders.h"
#include "core/WidgetAccess.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>

namespace answers {

void FillUploadGrid(QTableWidget* grid, const QStringList& headers, const QList<int>& widths,
                    const QList<QStringList>& rows) {
    if (!grid)
        return;
    grid->clear();
    grid->setRowCount(0);
    grid->setColumnCount(static_cast<int>(headers.size()));
    grid->setHorizontalHeaderLabels(headers);
    for (int c = 0; c < widths.size() && c < headers.size(); ++c)
        grid->setColumnWidth(c, gridColumnWidth(grid, widths.at(c)));
    for (const QStringList& cells : rows) {
        const int r = grid->rowCount();
        grid->setRowCount(r + 1);
        for (int c = 0; c < cells.size() && c < headers.size(); ++c)
            grid->setItem(r, c, new QTableWidgetItem(cells.at(c)));
    }
}

} // namespace answers

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
    answers::setLabelText(ctx_, QStringLiteral("lbUpload"), ctx_.LocaleString(11330));
    answers::FillUploadGrid(ctx_.find<QTableWidget>(QStringLiteral("sgrdUpload")),
                            {ctx_.LocaleString(11331), ctx_.LocaleString(11332), ctx_.LocaleString(11333)},
                            {9, 8, protocol::Departments::Name.width}, *rows);
    ctx_.nav.show(PageId::Upload);
}

void UploadPage::DecodeHeaderLines(const QByteArray& answer) {
    const auto rows = answers::decodeHeaderLines(answer);
    if (!rows) {
        ctx_.formatErrorBox();
        return;
    }
    const bool review = ctx_.FiscalReviewMode; // the "SetID" page's Label130 and StringGrid1
    answers::setLabelText(ctx_, review ? QStringLiteral("Label130") : QStringLiteral("lbUpload"),
                          ctx_.LocaleString(11334));
    answers::FillUploadGrid(
        ctx_.find<QTableWidget>(review ? QStringLiteral("StringGrid1") : QStringLiteral("sgrdUpload")),
        {ctx_.LocaleString(11335), ctx_.LocaleString(11336)}, {3, protocol::HeaderLines::Text.width}, *rows);
    if (!review)
        ctx_.nav.show(PageId::Upload);
}
