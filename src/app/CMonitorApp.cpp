#include "CMonitorApp.h"

#include "AppIcons.h"
#include "AppMessageBox.h"
#include "CMonitorDlg.h"
#include "CSetSystem.h"
#include "FontSetup.h"
#include "IniPath.h"
#include "Platform.h"
#include "ToolkitTranslation.h"

#include <QApplication>
#include <QEventLoop>
#include <QSettings>
#include <QTranslator>

namespace {

bool CheckOsVersion()
{
    plat::OsVersion version;
    if (!plat::GetOsVersion(version)) {
        ShowAppMessage(nullptr, QMessageBox::Critical,
                       QString::fromUtf8("OS のバージョンを判定できません。\n"
                                         "アプリケーションを起動することができません。"));
        return false;
    }
    if (!plat::IsOsVersionSupported(version)) {
        ShowAppMessage(nullptr, QMessageBox::Critical,
                       QString::fromUtf8("Windows 2000 以上で実行してください。"));
        return false;
    }
    return true;
}

// The toolkit's own texts (OK, キャンセル, 適用, the colour chooser) in Japanese, like ours.
void InstallToolkitTranslation()
{
    static QTranslator translator;
    if (translator.load(QStringLiteral("qtbase_ja"), ToolkitTranslationFolder()))
        QApplication::installTranslator(&translator);
}

// Configuration is our settings file alone, but the toolkit keeps user settings of its own:
// the colour chooser writes its custom colours to QtProject.conf whenever it closes. Those
// files go below /dev/null, where none can be made. (Where the toolkit's own settings are the
// registry, this changes nothing.)
void KeepToolkitSettingsOut()
{
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("/dev/null"));
}

} // namespace

bool CMonitorApp::InitInstance()
{
    const std::string modulePath = plat::GetModuleFileName();
    SetAppName(plat::GetProgramName(modulePath));
    // The name comes from the system in its ANSI code page (UTF-8 on Linux).
    QApplication::setApplicationName(QString::fromLocal8Bit(GetAppName()));
    QApplication::setApplicationVersion(QStringLiteral(CORVALA_VERSION));
    QApplication::setWindowIcon(ProgramIcon());
    InstallFontSubstitutions();
    InstallToolkitTranslation();
    KeepToolkitSettingsOut();
    QApplication::setQuitOnLastWindowClosed(false); // hiding into the tray must not end the run

    if (!CheckOsVersion())
        return false;
    // A second copy of the same executable ends here, silently. When the executable's path
    // is unknown, the settings file that stands in for it names the lock.
    const std::string iniPath = plat::GetSettingsFilePath(modulePath);
    if (plat::CreateInstanceLock(plat::GetInstanceLockName(modulePath.empty() ? iniPath : modulePath))
        != plat::LockResult::Acquired)
        return false;

    SetIniPath(iniPath);
    if (!theSetSystem.Load(GetIniPath())) {
        ShowAppMessage(nullptr, QMessageBox::Critical,
                       QString::fromUtf8("システム設定ファイルの読み込みに失敗しました。ソフトウェアを起動する"
                                         "ことができません。終了します。\n(PATH=\"%1\")")
                           .arg(QString::fromLocal8Bit(GetIniPath())));
        return false;
    }

    // Run until the exit command ends the window. Not QDialog::exec: it ends its loop
    // whenever the dialog is hidden, and this window hides into the notification area.
    CMonitorDlg dlg;
    QEventLoop loop;
    QObject::connect(&dlg, &QDialog::finished, &loop, &QEventLoop::quit);
    dlg.show();
    loop.exec();
    return false;
}
