#pragma once
// Page 32, "UpRtnPkg": the returned-packages upload. Also owns the menu's
// article-file commands "Load PLU" and "Upload PLU".

#include "core/Page.h"

#include <functional>

class QCheckBox;

class UpRtnPkgPage : public Page {
    Q_OBJECT
  public:
    explicit UpRtnPkgPage(ConsoleContext& ctx, QWidget* parent = nullptr);
    void attach() override;

    void bbtnUploadPkgClick();
    void btnUpRtnPkgClick();
    void bbtnLoadPluClick();
    void bbtnUploadPluClick();

    // Loads an article file; failures show the error box.
    void loadPlu(const QString& path);

    // Chooses the article file; the file dialog unless replaced (tests). Empty: cancelled.
    std::function<QString(const QString& initialFile)> choosePluFile;

  private:
    QCheckBox* chkbUpRtnPkg = nullptr;
};
