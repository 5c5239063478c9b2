#include "ToolkitTranslation.h"

#include <QLibraryInfo>

QString ToolkitTranslationFolder()
{
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath);
}
