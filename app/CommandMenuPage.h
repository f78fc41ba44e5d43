#pragma once
// Page 1, "Command": the menu of command buttons. The buttons carry no logic of
// their own; the page that owns each command connects to its button by name.

#include "core/Page.h"

class QLabel;

class CommandMenuPage : public Page {
    Q_OBJECT
  public:
    explicit CommandMenuPage(ConsoleContext& ctx, QWidget* parent = nullptr);

    static constexpr int kColumnLeft[5] = {5, 154, 306, 458, 609};
    static constexpr int kRowTop[9] = {7, 35, 64, 93, 122, 151, 180, 209, 238};
};
