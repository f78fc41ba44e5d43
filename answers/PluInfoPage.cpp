#include "answers/PluInfoPage.h"

#include "answers/DataFiles.h"
#include "core/SafeFormat.h"
#include "core/WidgetAccess.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>

namespace answers {

// A model-backed grid: one fixed header row, no fixed column, rows 18 pixels high.
QTableView* makeRecordGrid(QTableView* view, RecordTableModel* model) {
    view->setModel(model);
    view->verticalHeader()->setVisible(false);
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setDefaultSectionSize(18);
    view->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setWordWrap(false);
    view->setVisible(false); // shown by its reader
    return view;
}

} // namespace answers

PluInfoPage::PluInfoPage(ConsoleContext& ctx, QWidget* parent)
    : Page(ctx, PageId::PluInfo, QStringLiteral("PLUInfo"), parent) {
    answers::plainLabel(make<QLabel>("Label108", 16, 4, 300, 20), QStringLiteral("PLU Uploaded"));
    answers::plainLabel(make<QLabel>("Label107", 300, 4, 70, 20), QStringLiteral("PLU"))->setVisible(false);
    make<QLineEdit>("edPlu", 375, 2, 80, 22)->setVisible(false);
    makeButton("btnExecPluUpload", QStringLiteral("Upload"), 465, 0)->setVisible(false);
    model_ = new answers::RecordTableModel(
        protocol::PluRecord::layout.size, [](const char* rec, int col) { return answers::PluCell(rec, col); },
        this);
    grid_ = answers::makeRecordGrid(make<QTableView>("sgrdPlu", 16, 26, 585, 256), model_);
    makeBackButton("BitBtn17");
}

void PluInfoPage::attach() {
    ctx_.decoders.registerDecoder(protocol::cmd::cmUploadPlu,
                                  [this](const QByteArray& a) { DecodePluFile(a); });
}

void PluInfoPage::ShowPluRecord(const char* record, int count, bool first) {
    if (count < protocol::PluRecord::layout.size) {
        ctx_.formatErrorBox();
        grid_->setVisible(false);
        return;
    }
    if (first) {
        // The name column's heading carries the column's number where the
        // language library's text asks for one.
        QStringList headers{SafeFormat(ctx_.LocaleString(11323), {0})};
        for (int k = 0; k < static_cast<int>(std::size(protocol::PluRecord::values)); ++k)
            headers << SafeFormat(ctx_.LocaleString(11324), {k});
        model_->startOver(headers);
        widthsPending_ = true;
    }
    model_->append(record);
    if (grid_->isHidden())
        grid_->setVisible(true);
}

void PluInfoPage::DecodePluFile(const QByteArray&) {
    model_->beginLoad();
    try {
        answers::ReadDataFile(QString::fromLatin1(protocol::kPluFile), protocol::PluRecord::layout.size,
                              [this](const char* rec, int n, bool first) { ShowPluRecord(rec, n, first); });
    } catch (...) {
        model_->endLoad();
        throw;
    }
    model_->endLoad();
    if (widthsPending_) {
        widthsPending_ = false;
        grid_->setColumnWidth(0, answers::gridColumnWidth(grid_, protocol::PluRecord::Name.width));
        for (int c = 1; c <= static_cast<int>(std::size(protocol::PluRecord::values)); ++c)
            grid_->setColumnWidth(c, answers::gridColumnWidth(grid_, 4));
    }
    ctx_.nav.show(PageId::PluInfo);
}
