#pragma once
// A colour swatch: a push button whose face is filled with its colour inside a 3-D edge,
// raised, or sunken while held down. Disabled, it shows a blank button face. No text and
// no focus rectangle. User-interface thread.

#include "ColorRef.h"

#include <QPushButton>

class CColorButton : public QPushButton {
    Q_OBJECT

public:
    explicit CColorButton(QWidget *parent = nullptr);

    // Repaints even when the colour is unchanged.
    void SetColor(ColorRef crColor);
    ColorRef GetColor() const { return m_crColor; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    ColorRef m_crColor;
};
