#pragma once
// The upload progress panel of the menu page: the window is disabled and the
// panel shows a text while the second call of an upload runs.

#include "core/ConsoleContext.h"

#include <QString>

#include <optional>

// Runs `command` (no arguments but `args`) on its library with the panel shown
// and the window disabled around the second call; both are restored on every
// path, also when the call throws.
std::optional<QByteArray> RunWithProgressPanel(ConsoleContext& ctx, const protocol::Command& command,
                                               const std::function<dev::Args()>& args,
                                               const QString& panelText);
