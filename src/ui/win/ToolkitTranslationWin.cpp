#include "ToolkitTranslation.h"

QString ToolkitTranslationFolder()
{
    return QStringLiteral(":/translations");
}
