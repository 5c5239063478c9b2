#pragma once
// Choosing a swatch's colour with the colour chooser, which also edits the sixteen custom
// colours kept in [COLOR_DIALOG]. User-interface thread.

#include "CSetColorDlg.h"

#include <array>
#include <functional>

class CColorButton;
class QWidget;

using CustomColors = std::array<ColorRef, CSetColorDlg::kCount>;

// Runs a modal chooser over owner, starting on color with the custom colours shown and
// editable. True on OK with color and customColors as the user left them; false on cancel.
using ColorChooser = std::function<bool(QWidget *owner, ColorRef &color, CustomColors &customColors)>;

// An empty chooser restores the platform's colour dialog.
void SetColorChooser(ColorChooser chooser);

// On OK the button takes the colour, checkModified runs, and the custom colours are stored
// and saved at once, even if the sheet is cancelled later. On cancel nothing changes.
void PickColor(QWidget *page, CColorButton &button, const std::function<void()> &checkModified);
