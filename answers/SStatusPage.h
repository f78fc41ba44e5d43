#pragma once
// Page 13, "SStatus": the printer's software status (code "41"), and the
// "Software Status" menu command.

#include "answers/FieldLinks.h"
#include "core/AnswerDecoders.h"
#include "core/Page.h"

#include <QByteArray>

#include <span>

class SStatusPage : public Page {
    Q_OBJECT
  public:
    explicit SStatusPage(ConsoleContext& ctx, QWidget* parent = nullptr);
    void attach() override;
    // Which field of the answer each control shows.
    static std::span<const answers::FieldLink> fieldLinks();

    void bbtnChkSwClick();
    void DecodeSoftwareStatus(const QByteArray& answer);

  signals:
    // The status read for the fiscalisation review.
    void reviewed(const answers::SoftwareStatus& status);
    // Whether the printer is in service mode, asked for by the read-only report page.
    void serviceModeRead(bool serviceMode);
};
