#pragma once
// Page 30, "RtnPkg": the returnable packages read back from the printer; the
// device library leaves them in "_RtnPkg.mem" (code "89").

#include "core/Page.h"

#include <QByteArray>

class QTableView;
namespace answers {
class RecordTableModel;
}

class RtnPkgPage : public Page {
    Q_OBJECT
  public:
    explicit RtnPkgPage(ConsoleContext& ctx, QWidget* parent = nullptr);
    void attach() override;

    void DecodeReturnPackageFile(const QByteArray& answer);
    void ShowReturnPackageRecord(const char* record, int count, bool first);

    answers::RecordTableModel* model() const { return model_; }

  private:
    QTableView* grid_ = nullptr;
    answers::RecordTableModel* model_ = nullptr;
    bool widthsPending_ = false;
};
