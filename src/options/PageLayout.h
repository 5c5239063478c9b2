#pragma once
// Placing page controls at their dialog-unit rectangles.

#include <Qt>

class DialogUnits;
class QGroupBox;
class QLabel;
class QString;
class QWidget;

// A group box as dialog templates draw it: an etched frame whose top line runs through
// the middle of the title, so that the controls placed inside keep their distance from it.
QGroupBox *CreateGroupBox(const QString &title, QWidget *window, const DialogUnits &units, int x, int y,
                          int width, int height);

// Puts the control at (x, y, width, height) in dialog units. A label, check box or radio
// button whose text needs more room than its rectangle grows toward the side its
// alignment leaves free, so that no text is clipped when the substituted font runs wider.
void PlaceControl(QWidget *control, const DialogUnits &units, int x, int y, int width, int height);

// Names the control for screen readers by its label (UTF-8): the label's text without a
// trailing " :" and without its mnemonic.
void NameByLabel(QWidget *control, const char *label);

// A static text (UTF-8) placed as PlaceControl places it.
QLabel *CreateStaticText(const char *text, Qt::Alignment alignment, QWidget *window, const DialogUnits &units,
                         int x, int y, int width, int height);
