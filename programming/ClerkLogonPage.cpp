#include "programming/ClerkLogonPage.h"

ClerkLogonPage::ClerkLogonPage(ConsoleContext& ctx, QWidget* parent)
    : Page(ctx, 25, QStringLiteral("ClerkLogon"), parent) {}
