#pragma once
// A bench for the options tests: a settings file of its own, the sheet with a fake
// interface list, recorded message boxes, a scripted colour chooser, the signalled pages,
// and the controls looked up by name as a user would find them.

#include "CPrsOption.h"
#include "CSetSystem.h"
#include "FontSetup.h"
#include "IniPath.h"
#include "OptionMessage.h"
#include "PickColor.h"
#include "TempDir.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include <memory>
#include <optional>

// For initTestCase: the dialog font's real face, and no complaint from the offscreen
// platform about the sheet's fixed size on every showing.
inline void InitOptionsTests()
{
    InstallFontSubstitutions();
    static QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext &context, const QString &text) {
            if (!text.contains(QLatin1String("does not support propagateSizeHints")))
                previous(type, context, text);
        });
}

class SheetBench {
public:
    explicit SheetBench(const char *storedInterface = "eth0",
                        std::vector<std::string> listed = {"eth0", "wlan0"})
        : interfaces(std::move(listed))
    {
        SetIniPath(m_dir.File("t.ini"));
        theSetSystem.Load(GetIniPath());
        theSetSystem.m_CntBase.SetInsName(storedInterface);
        theSetSystem.m_CntBase.Save(GetIniPath());
        SetOptionMessageHook([this](QWidget *, QMessageBox::Icon icon, const QString &text) {
            QCOMPARE(icon, QMessageBox::Warning);
            messages.append(text);
        });
        // OK with chooseColor (and customColors left in the custom slots) when it is set.
        SetColorChooser([this](QWidget *, ColorRef &color, CustomColors &custom) {
            if (customColors)
                custom = *customColors;
            color = chooseColor.value_or(color);
            return chooseColor.has_value();
        });
        sheet.SetInterfaceSource([this](std::vector<std::string> &names) {
            ++enumerations;
            names = this->interfaces;
            return static_cast<int>(names.size());
        });
    }
    ~SheetBench()
    {
        SetOptionMessageHook({});
        SetColorChooser({});
    }

    void Open(int page = 0)
    {
        sheet.show();
        // The controls of an earlier showing go with deferred deletes: let them go, so
        // that lookups by name find this showing's controls only.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        GoToPage(page);
    }
    void GoToPage(int index)
    {
        QTabBar *bar = Tabs()->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
    }
    QTabWidget *Tabs() { return sheet.findChild<QTabWidget *>(); }
    QPushButton *Button(QDialogButtonBox::StandardButton which)
    {
        return sheet.findChild<QDialogButtonBox *>()->button(which);
    }
    void Ok() { QTest::mouseClick(Button(QDialogButtonBox::Ok), Qt::LeftButton); }
    void Cancel() { QTest::mouseClick(Button(QDialogButtonBox::Cancel), Qt::LeftButton); }
    void Apply() { QTest::mouseClick(Button(QDialogButtonBox::Apply), Qt::LeftButton); }
    bool ApplyEnabled() { return Button(QDialogButtonBox::Apply)->isEnabled(); }

    template <typename T = QWidget> T *Find(const QString &name)
    {
        T *control = sheet.findChild<T *>(name);
        if (!control)
            qFatal("no control %s", qPrintable(name));
        return control;
    }
    // One click on an up-down arrow: +1 up, -1 down.
    void Step(const QString &spin, int direction)
    {
        QTest::mouseClick(Find(spin)->findChild<QWidget *>(direction > 0 ? "up" : "down"), Qt::LeftButton);
    }
    void Click(const QString &name) { QTest::mouseClick(Find(name), Qt::LeftButton); }

    // The pages signalled so far, in order.
    QList<int> Signalled() const
    {
        QList<int> pages;
        for (const QList<QVariant> &arguments : applied)
            pages.append(arguments.at(0).toInt());
        return pages;
    }
    std::string IniText() const { return ReadFile(GetIniPath()); }
    // The settings as a later run would find them on disk.
    std::unique_ptr<CSetSystem> Disk() const
    {
        auto settings = std::make_unique<CSetSystem>();
        settings->Load(GetIniPath());
        return settings;
    }

private:
    TempDir m_dir;

public:
    std::vector<std::string> interfaces;
    QStringList messages;
    std::optional<ColorRef> chooseColor;
    std::optional<CustomColors> customColors;
    int enumerations = 0;
    CPrsOption sheet;
    QSignalSpy applied {&sheet, &CPrsOption::optionsApplied};
};
