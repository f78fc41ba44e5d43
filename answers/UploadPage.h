#pragma once
// Page 27, "Upload".

#include "app/Page.h"

class UploadPage : public Page {
    Q_OBJECT
  public:
    explicit UploadPage(ConsoleContext& ctx, QWidget* parent = nullptr);
};
