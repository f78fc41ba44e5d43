#pragma once
// Page 35, "Fiscal Reprt": a fiscal memory report uploaded as text; the device
// library leaves it in "_FisRpt.mem" (code "15").

#include "core/Page.h"

#include <QByteArray>

class QListView;
namespace answers {
class ReportLinesModel;
}

class FiscalReportPage : public Page {
    Q_OBJECT
  public:
    explicit FiscalReportPage(ConsoleContext& ctx, QWidget* parent = nullptr);
    void attach() override;

    void DecodeFiscalReportFile(const QByteArray& answer);
    void AddFiscalReportLine(const char* record, int count);
    void btnBackToMemRptClick(); // exists, bound to no control
    void btnfisPrintClick() {}
    void btnBurnClick() {}

    answers::ReportLinesModel* model() const { return model_; }

  private:
    answers::ReportLinesModel* model_ = nullptr;
};
