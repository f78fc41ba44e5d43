#pragma once
// Page 27, "Upload": departments (code "92") and header lines (code "93") read
// back from the printer, in the grid sgrdUpload.

#include "answers/FieldLinks.h"
#include "core/AnswerDecoders.h"
#include "core/Page.h"

#include <QByteArray>

class QTableWidget;

class UploadPage : public Page {
    Q_OBJECT
  public:
    explicit UploadPage(ConsoleContext& ctx, QWidget* parent = nullptr);
    void attach() override;

    void DecodeDepartments(const QByteArray& answer);
    void DecodeHeaderLines(const QByteArray& answer);

    // The grid's records and columns for each answer it shows.
    static const answers::GridLink kDepartmentGrid;
    static const answers::GridLink kHeaderLineGrid;
    // The one the grid shows now; null before an answer.
    const answers::GridLink* shownGrid() const { return shown_; }

  signals:
    // Header lines read for the fiscalisation review.
    void headerLinesReviewed(const answers::UploadRows& rows);

  private:
    const answers::GridLink* shown_ = nullptr;
};
