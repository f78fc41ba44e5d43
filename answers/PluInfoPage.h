#pragma once
// Page 26, "PLUInfo": the article table read back from the printer; the device
// library leaves it in "_Plu.mem" (code "90").

#include "core/Page.h"

#include <QByteArray>

class QTableView;
namespace answers {
class RecordTableModel;
}

class PluInfoPage : public Page {
    Q_OBJECT
  public:
    explicit PluInfoPage(ConsoleContext& ctx, QWidget* parent = nullptr);
    void attach() override;

    void DecodePluFile(const QByteArray& answer);
    void ShowPluRecord(const char* record, int count, bool first);

    answers::RecordTableModel* model() const { return model_; }

  private:
    QTableView* grid_ = nullptr;
    answers::RecordTableModel* model_ = nullptr;
    bool widthsPending_ = false;
};
