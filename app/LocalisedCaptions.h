#pragma once
// Localised captions and messages: which string of the language library goes to
// which control, and the step of the start-up that puts them there.

#include "core/MessageService.h"

#include <QList>
#include <QString>
#include <QStringList>

class QWidget;
class TLocaleLibrary;

// One identifier of the language library and the controls (by object name)
// whose caption it becomes, followed by `suffix`.
struct CaptionAssignment {
    int id;
    QStringList objectNames;
    QString suffix;
};

// Every caption assignment, in the order they are applied. A control appears
// once only. The two items of the report-type group are the radio buttons
// "RadioGroup1_0" and "RadioGroup1_1".
const QList<CaptionAssignment>& LocalisedCaptionAssignments();

// The window title while the language library is in use (a fixed text).
QString LocalisedWindowTitle();
// The fixed text of Label48 on the VAT-rate page, set again at start-up.
QString VatRateHintText();

// Sets `widget`'s caption by its kind: the text of a label or button (check and
// radio buttons included), the title of a group box; other widgets have no
// caption and are left alone. Labels show the text as plain text.
void SetWidgetCaption(QWidget* widget, const QString& text);

// Applies the language library to the main window, in this order: the fixed
// window title; the message texts; Label48; the device error table; every
// caption assignment. Controls that do not exist (yet) are skipped. Does nothing
// when the locale has no library loaded, so the layout's captions stand.
void ApplyLocalisedCaptions(QWidget* window, const TLocaleLibrary& locale, LocalisedMessages& messages);
// As above; does nothing when there is no locale object.
void ApplyLocalisedCaptions(QWidget* window, const TLocaleLibrary* locale, LocalisedMessages& messages);
