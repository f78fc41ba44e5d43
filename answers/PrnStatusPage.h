#pragma once
// Page 14, "PrnStatus": the printer mechanism's state (code "47"), and the
// "Printer Status" menu command.

#include "core/Page.h"

#include <QByteArray>

class PrnStatusPage : public Page {
    Q_OBJECT
  public:
    explicit PrnStatusPage(ConsoleContext& ctx, QWidget* parent = nullptr);
    void attach() override;

    void bbtnChkPrnClick();
    void DecodePrinterStatus(const QByteArray& answer);
};
