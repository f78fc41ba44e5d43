#include "programming/ServiceLogonPage.h"

ServiceLogonPage::ServiceLogonPage(ConsoleContext& ctx, QWidget* parent)
    : Page(ctx, 23, QStringLiteral("SeviceLogon"), parent) {}
