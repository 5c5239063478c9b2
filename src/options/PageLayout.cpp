#include "PageLayout.h"

#include "DialogUnits.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStyle>
#include <QStyleOptionButton>

namespace {

// How many pixels the control's text lacks at the control's current size; 0 or less
// when it shows whole. Only labels, check boxes and radio buttons are measured.
int TextDeficit(const QWidget *control)
{
    if (qobject_cast<const QLabel *>(control))
        return control->sizeHint().width() - control->width();
    const auto *button = qobject_cast<const QAbstractButton *>(control);
    const bool check = qobject_cast<const QCheckBox *>(control) != nullptr;
    if (!button || (!check && !qobject_cast<const QRadioButton *>(control)))
        return 0;
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    const QStyle::SubElement contents = check ? QStyle::SE_CheckBoxContents : QStyle::SE_RadioButtonContents;
    const int room = button->style()->subElementRect(contents, &option, button).width();
    return button->fontMetrics().size(Qt::TextShowMnemonic, button->text()).width() - room;
}

Qt::Alignment HorizontalAlignment(const QWidget *control)
{
    if (const auto *label = qobject_cast<const QLabel *>(control))
        return label->alignment() & Qt::AlignHorizontal_Mask;
    return Qt::AlignLeft;
}

} // namespace

QGroupBox *CreateGroupBox(const QString &title, QWidget *window, const DialogUnits &units, int x, int y,
                          int width, int height)
{
    auto *group = new QGroupBox(title, window);
    const int half = group->fontMetrics().height() / 2;
    group->setStyleSheet(QStringLiteral("QGroupBox { border: 2px groove palette(mid); margin-top: %1px; }"
                                        "QGroupBox::title { subcontrol-origin: margin; left: %2px; padding: 0 2px; }")
                             .arg(half)
                             .arg(units.X(2)));
    group->setGeometry(units.Rect(x, y, width, height));
    return group;
}

void PlaceControl(QWidget *control, const DialogUnits &units, int x, int y, int width, int height)
{
    QRect rect = units.Rect(x, y, width, height);
    control->setGeometry(rect);
    const int extra = TextDeficit(control);
    if (extra <= 0)
        return;
    const Qt::Alignment alignment = HorizontalAlignment(control);
    if (alignment & Qt::AlignHCenter)
        rect.adjust(-extra / 2, 0, extra - extra / 2, 0);
    else if (alignment & Qt::AlignRight)
        rect.adjust(-extra, 0, 0, 0);
    else
        rect.adjust(0, 0, extra, 0);
    control->setGeometry(rect);
}

void NameByLabel(QWidget *control, const char *label)
{
    QString name = QString::fromUtf8(label);
    name.remove(QRegularExpression(QStringLiteral(" ?\\(&.\\)")));
    name.remove(QLatin1Char('&'));
    if (name.endsWith(QLatin1String(" :")))
        name.chop(2);
    control->setAccessibleName(name.trimmed());
}

QLabel *CreateStaticText(const char *text, Qt::Alignment alignment, QWidget *window, const DialogUnits &units,
                         int x, int y, int width, int height)
{
    auto *label = new QLabel(QString::fromUtf8(text), window);
    label->setAlignment(alignment);
    PlaceControl(label, units, x, y, width, height);
    return label;
}
