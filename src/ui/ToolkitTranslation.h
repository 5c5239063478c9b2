#pragma once
// Where Qt's own Japanese texts (OK, キャンセル, 適用, the colour chooser) are found: Linux
// has them in the system's Qt translations (qt6-translations-l10n); the Windows program
// carries them inside itself, as the build machine's folder does not exist where it runs.

#include <QString>

QString ToolkitTranslationFolder();
