#pragma once
// Page 28, "TaxRateUpload": the tax rates read back from the printer (code "91").

#include "answers/FieldLinks.h"
#include "core/AnswerDecoders.h"
#include "core/Page.h"

#include <QByteArray>

#include <span>

class TaxRateUploadPage : public Page {
    Q_OBJECT
  public:
    explicit TaxRateUploadPage(ConsoleContext& ctx, QWidget* parent = nullptr);
    void attach() override;
    // Which field of the answer each control shows.
    static std::span<const answers::FieldLink> fieldLinks();

    void DecodeTaxRates(const QByteArray& answer);

  signals:
    // The rates read for the fiscalisation review.
    void reviewed(const answers::TaxRates& rates);
};
