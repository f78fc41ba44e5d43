#pragma once
// Page 12, "HStatus": the printer's hardware status (code "40"), and the
// "Hardware Status" menu command.

#include "core/AnswerDecoders.h"
#include "core/Page.h"

#include <QByteArray>

class HStatusPage : public Page {
    Q_OBJECT
  public:
    explicit HStatusPage(ConsoleContext& ctx, QWidget* parent = nullptr);
    void attach() override;

    void bbtnChkHwClick();
    void DecodeHardwareStatus(const QByteArray& answer);

  signals:
    // The status read for the fiscalisation review.
    void reviewed(const answers::HardwareStatus& status);
};
