#pragma once
// Page 12, "HStatus": the printer's hardware status (code "40"), and the
// "Hardware Status" menu command.

#include "answers/FieldLinks.h"
#include "core/AnswerDecoders.h"
#include "core/Page.h"

#include <QByteArray>

#include <span>

class HStatusPage : public Page {
    Q_OBJECT
  public:
    explicit HStatusPage(ConsoleContext& ctx, QWidget* parent = nullptr);
    void attach() override;
    // Which field of the answer each control shows.
    static std::span<const answers::FieldLink> fieldLinks();

    void bbtnChkHwClick();
    void DecodeHardwareStatus(const QByteArray& answer);

  signals:
    // The status read for the fiscalisation review.
    void reviewed(const answers::HardwareStatus& status);
};
