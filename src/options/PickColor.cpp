#include "PickColor.h"

#include "CColorButton.h"
#include "CSetSystem.h"
#include "ColorRefQt.h"
#include "IniPath.h"

#include <QColorDialog>

namespace {

// Our custom colours are numbered along the rows; the Qt dialog numbers its slots down
// the columns. Mapping keeps each colour in its place.
constexpr int kColorsPerRow = 8;
constexpr int kColorRows = CSetColorDlg::kCount / kColorsPerRow;

int DialogSlot(int index)
{
    return index / kColorsPerRow + kColorRows * (index % kColorsPerRow);
}

bool RunColorDialog(QWidget *owner, ColorRef &color, CustomColors &customColors)
{
    for (int i = 0; i < CSetColorDlg::kCount; ++i)
        QColorDialog::setCustomColor(DialogSlot(i), ToQColor(customColors[static_cast<std::size_t>(i)]));
    // Qt's own dialog: a native one may not offer the sixteen custom slots.
    QColorDialog dialog(ToQColor(color), owner);
    dialog.setOptions(QColorDialog::DontUseNativeDialog);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    color = ToColorRef(dialog.selectedColor());
    for (int i = 0; i < CSetColorDlg::kCount; ++i)
        customColors[static_cast<std::size_t>(i)] = ToColorRef(QColorDialog::customColor(DialogSlot(i)));
    return true;
}

ColorChooser &Chooser()
{
    static ColorChooser chooser;
    return chooser;
}

} // namespace

void SetColorChooser(ColorChooser chooser)
{
    Chooser() = std::move(chooser);
}

void PickColor(QWidget *page, CColorButton &button, const std::function<void()> &checkModified)
{
    CSetColorDlg &section = theSetSystem.m_ColorDlg;
    CustomColors customColors {};
    for (int i = 0; i < CSetColorDlg::kCount; ++i)
        customColors[static_cast<std::size_t>(i)] = section.GetCustomColor(i);
    ColorRef color = button.GetColor();
    const bool chosen = Chooser() ? Chooser()(page, color, customColors)
                                  : RunColorDialog(page, color, customColors);
    if (!chosen)
        return;
    button.SetColor(color);
    checkModified();
    for (int i = 0; i < CSetColorDlg::kCount; ++i)
        section.SetCustomColor(i, customColors[static_cast<std::size_t>(i)]);
    section.Save(GetIniPath());
}
