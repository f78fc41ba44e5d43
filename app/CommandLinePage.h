#pragma once
// Page 0, "CommandLine".

#include "app/Page.h"

class CommandLinePage : public Page {
    Q_OBJECT
  public:
    explicit CommandLinePage(ConsoleContext& ctx, QWidget* parent = nullptr);
};
