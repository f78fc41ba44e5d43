#pragma once
// Page 14, "PrnStatus": the printer mechanism's state (code "47"), and the
// "Printer Status" menu command.

#include "answers/FieldLinks.h"
#include "core/Page.h"

#include <QByteArray>

#include <span>

class PrnStatusPage : public Page {
    Q_OBJECT
  public:
    explicit PrnStatusPage(ConsoleContext& ctx, QWidget* parent = nullptr);
    void attach() override;
    // Which field of the answer each control shows.
    static std::span<const answers::FieldLink> fieldLinks();

    void bbtnChkPrnClick();
    void DecodePrinterStatus(const QByteArray& answer);
};
