#pragma once
// Page 16, "DumpEprom".

#include "app/Page.h"

class DumpEpromPage : public Page {
    Q_OBJECT
  public:
    explicit DumpEpromPage(ConsoleContext& ctx, QWidget* parent = nullptr);
};
