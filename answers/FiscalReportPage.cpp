#include "answers/FiscalReportPage.h"

#include "answers/DataFiles.h"

#include <QListView>

FiscalReportPage::FiscalReportPage(ConsoleContext& ctx, QWidget* parent)
    : Page(ctx, PageId::FiscalReport, QStringLiteral("Fiscal Reprt"), parent) {
    model_ = new answers::ReportLinesModel(this);
    auto* list = make<QListView>("lstFisRpt", 16, 8, 420, 272);
    list->setModel(model_);
    list->setUniformItemSizes(true);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    QFont mono(QStringLiteral("Courier New"));
    mono.setStyleHint(QFont::TypeWriter);
    list->setFont(mono);
    makeBackButton("btnBackToMemRpt", QStringLiteral("Back"));
    auto* print = makeButton("btnfisPrint", QStringLiteral("Print"), 460, 8);
    print->setVisible(false);
    onClick(print, [this] { btnfisPrintClick(); });
    auto* burn = makeButton("btnBurn", QStringLiteral("Burn"), 460, 40);
    burn->setVisible(false);
    onClick(burn, [this] { btnBurnClick(); });
}

void FiscalReportPage::attach() {
    // Code 15: the three fiscal-report uploads leave the same file.
    ctx_.decoders.registerDecoder(protocol::cmd::cmUploadFisRptByZNo,
                                  [this](const QByteArray& a) { DecodeFiscalReportFile(a); });
}

void FiscalReportPage::btnBackToMemRptClick() {
    ctx_.nav.show(PageId::MemReport);
}

void FiscalReportPage::AddFiscalReportLine(const char* record, int count) {
    model_->append(answers::FiscalReportLine(record, count));
}

void FiscalReportPage::DecodeFiscalReportFile(const QByteArray&) {
    model_->beginLoad();
    bool emptied = false;
    try {
        answers::ReadDataFile(QString::fromLatin1(protocol::kFiscalReportFile),
                              protocol::FiscalReportRecord::layout.size, [&](const char* rec, int n, bool) {
                                  if (!emptied) { // the file is open: the old report goes
                                      model_->clear();
                                      emptied = true;
                                  }
                                  AddFiscalReportLine(rec, n);
                              });
    } catch (...) {
        model_->endLoad();
        throw;
    }
    model_->endLoad();
    ctx_.nav.show(PageId::FiscalReport);
}
