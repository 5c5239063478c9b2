#include "FontSetup.h"

#include "DialogUnits.h"

#include <QFont>
#include <QStringList>

void InstallFontSubstitutions()
{
    // IPA P Gothic (fonts-ipafont-gothic) is the proportional gothic closest in metrics;
    // the others are fall-backs found on many desktops.
    const QStringList gothic = {QStringLiteral("IPAPGothic"), QStringLiteral("IPAexGothic"),
                                QStringLiteral("Noto Sans CJK JP"), QStringLiteral("VL PGothic"),
                                QStringLiteral("TakaoPGothic")};
    QFont::insertSubstitutions(QString::fromUtf8(kDialogFontFace), gothic);
}
