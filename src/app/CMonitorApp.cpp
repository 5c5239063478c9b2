#include "CMonitorApp.h"

#include "AppMessageBox.h"
#include "CMonitorDlg.h"
#include "CSetSystem.h"
#include "FontSetup.h"
#include "IniPath.h"
#include "Platform.h"
#include "StartupRules.h"

#include <QApplication>
#include <QEventLoop>
#include <QIcon>
#include <QLibraryInfo>
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
#ifdef _WIN32
    if (!IsWindowsVersionSupported(version.major)) {
        ShowAppMessage(nullptr, QMessageBox::Critical,
                       QString::fromUtf8("Windows 2000 以上で実行してください。"));
        return false;
    }
#endif
    return true;
}

std::string SettingsFilePath(const std::string &modulePath)
{
#ifdef _WIN32
    return MakeWindowsIniPath(modulePath);
#else
    const bool writable = !modulePath.empty() && plat::IsDirectoryWritable(DirectoryOf(modulePath));
    return MakeLinuxIniPath(modulePath, writable, writable ? std::string() : plat::GetUserConfigDir("corvala"));
#endif
}

// The toolkit's own texts (OK, キャンセル, 適用, the colour chooser) in Japanese, like ours.
void InstallToolkitTranslation()
{
    static QTranslator translator;
    if (translator.load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
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
    SetAppName(MakeAppName(modulePath));
    QApplication::setApplicationName(QString::fromStdString(GetAppName()));
    QApplication::setApplicationVersion(QStringLiteral(CORVALA_VERSION));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/res/corvala.png")));
    InstallFontSubstitutions();
    InstallToolkitTranslation();
    KeepToolkitSettingsOut();
    QApplication::setQuitOnLastWindowClosed(false); // hiding into the tray must not end the run

    if (!CheckOsVersion())
        return false;
    // A second copy of the same executable ends here, silently.
    if (plat::CreateInstanceLock(MakeInstanceLockName(modulePath)) != plat::LockResult::Acquired)
        return false;

    SetIniPath(SettingsFilePath(modulePath));
    if (!theSetSystem.Load(GetIniPath())) {
        ShowAppMessage(nullptr, QMessageBox::Critical,
                       QString::fromUtf8("システム設定ファイルの読み込みに失敗しました。ソフトウェアを起動する"
                                         "ことができません。終了します。\n(PATH=\"%1\")")
                           .arg(QString::fromStdString(GetIniPath())));
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
