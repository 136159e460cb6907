#pragma once
// What the window tests share: the six windows, a private config folder, the
// main window opened as the program opens it, controls found by name, keys
// through the window system, prompts recorded instead of shown. A window that
// did not come within WaitLimit is a null pointer the test checks first.

#include "ComboTextBox.h"
#include "KeySteps.h"
#include "OneLineTextBox.h"
#include "ProgramWiring.h"
#include "WaitLimit.h"
#include "Prompts.h"
#include "Registry.h"
#include "frmAbout.h"
#include "frmErrors.h"
#include "frmMain.h"
#include "frmPreferences.h"
#include "frmRobotValues.h"
#include "frmTags.h"

#include <QtTest>
#include <QtWidgets>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

template <class W> FormWindow *showAlone() { return showWindow<W>(); }

// Each window: the keys that open it (see openByKeys), its caption (a
// pattern), how it is shown alone, the steps that close it and that do not.
struct WindowKind {
    const char *name, *opener, *caption;
    FormWindow *(*show)();
    const char *closers, *stayers;
};
// clang-format off
inline const WindowKind Windows[] = {
    {"frmMain", "", "Orvane", showAlone<frmMain>, "", ""},
    {"frmTags", "Return", "Tags", showAlone<frmTags>, "cmdClose Return close", "Esc"},
    {"frmErrors", "Return Alt+E", "Errors", showAlone<frmErrors>, "cmdClose Return Esc close", "X"},
    {"frmPreferences", "Ctrl+P", "Preferences", showAlone<frmPreferences>, "close", "Esc"},
    {"frmAbout", "Ctrl+A", "About Orvane Version \\d+\\.\\d+", showAlone<frmAbout>, "cmdOK Return close", "Esc Alt+O"},
    {"frmRobotValues", "Alt+V", "Robot Values", showAlone<frmRobotValues>, "Return Space Alt+O", "Esc"},
};
// clang-format on

// A data row per window; the column "window" is its place in Windows.
inline void windowRows()
{
    QTest::addColumn<int>("window");
    for (int i = 0; i < int(std::size(Windows)); ++i)
        QTest::newRow(Windows[i].name) << i;
}

struct WindowFixture {
    std::unique_ptr<QTemporaryDir> config;
    frmMain *window = nullptr;
    QStringList messages;  // "title [icon] text"
    int saves = 0;  // how often the save dialog was asked for
    QString saveAnswer;  // the file the save dialog returns; empty is a cancel
    QList<QUrl> launched;
    bool launcherWorks = true;

    // A config folder, holding `settings` when given; the main window active.
    bool start(const QByteArray &settings = QByteArray())
    {
        if (!config) {
            config = std::make_unique<QTemporaryDir>();
            forgetStoredSettings();
        }
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config->path()));
        store(settings);
        Prompts::Hooks hooks;
        hooks.message = [this](const Prompts::Message &m) {
            const char *icon = QMetaEnum::fromType<QMessageBox::Icon>().valueToKey(m.icon);
            messages << QString("%1 [%2] %3").arg(m.title, icon, m.text);
        };
        hooks.saveFileName = [this](const Prompts::SaveRequest &) {
            ++saves;
            return saveAnswer;
        };
        hooks.openAddress = [this](const QUrl &address) {
            launched << address;
            return launcherWorks;
        };
        Prompts::setHooks(hooks);
        installProgramWiring();
        window = showWindow<frmMain>();
        return window && QTest::qWaitForWindowActive(window, WaitLimit);
    }

    // A fresh config folder holding `settings`, the main window active again.
    bool restart(const QByteArray &settings) { return finish(), start(settings); }

    // Deleting skips the unload handlers: only cases that close on purpose want them.
    void finish()
    {
        QList<QPointer<FormWindow>> windows;
        for (QWidget *top : QApplication::topLevelWidgets())
            windows << qobject_cast<FormWindow *>(top);
        qDeleteAll(windows);
        *this = WindowFixture();
    }

    // Settings read and written through the program's own store, so that the
    // same test runs against the registry on Windows: "Section/Name".
    static QString stored(const QString &key)
    {
        const QString section = key.section('/', 0, 0), name = key.section('/', 1);
        const auto value = Registry::GetRegValue(Registry::CurrentUser, keyPath(section),
                                                 name.toStdString());
        return value ? QString::fromStdString(*value) : QString();
    }
    static void store(const QString &key, const QString &value)
    {
        const QString section = key.section('/', 0, 0), name = key.section('/', 1);
        Registry::SetRegValue(Registry::CurrentUser, keyPath(section), name.toStdString(),
                              value.toStdString());
    }
    // "[Section]" lines and "Name=value" lines below them.
    static void store(const QByteArray &settings)
    {
        QString section;
        for (const QString &line : QString::fromUtf8(settings).split('\n', Qt::SkipEmptyParts)) {
            if (line.startsWith('['))
                section = line.mid(1).chopped(1);
            else
                store(section + '/' + line.section('=', 0, 0), line.section('=', 1));
        }
    }
    static std::string keyPath(const QString &section)
    {
        return "Software\\Quillfern\\Orvane\\" + section.toStdString();
    }
    // A new config folder is a fresh start; the registry needs telling.
    static void forgetStoredSettings()
    {
#ifdef Q_OS_WIN
        RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Quillfern\\Orvane");
#endif
    }
    static bool writeFile(const QString &path, const QByteArray &bytes)
    {
        QFile file(path);
        return QDir().mkpath(QFileInfo(path).path()) && file.open(QIODevice::WriteOnly) &&
               file.write(bytes) == bytes.size();
    }

    // A control of the main window, or of `in`.
    template <class T = QWidget> T *get(const char *name, const QWidget *in = nullptr) const
    {
        const QWidget *w = in ? in : window;
        return w ? w->findChild<T *>(name) : nullptr;
    }

    // The focus in whichever window holds the control, that window active.
    static bool focus(QWidget *control)
    {
        if (!control)
            return false;
        control->window()->activateWindow();
        control->setFocus(Qt::OtherFocusReason);
        return QTest::qWaitForWindowActive(control->window(), WaitLimit);
    }

    // Steps, separated by ";", in the main window or `in`: a menu item or a
    // control by name, "name=text" typed into a control, "close" from the
    // window manager, or else keys ("Alt+G") through the window system once
    // the window is active (as a shortcut needs), else the test fails.
    void act(const QString &steps, QWidget *in = nullptr) const
    {
        QWidget *w = in ? in : window;
        if (!w)
            return QTest::qFail("no window to act in", __FILE__, __LINE__);
        const auto activeWindow = [w]() -> QWindow * {
            return QTest::qWaitForWindowActive(w, WaitLimit) ? w->windowHandle() : nullptr;
        };
        keysteps::act(activeWindow, steps, [w](const QString &step) {
            QWidget *control = w->findChild<QWidget *>(step.section('=', 0, 0));
            if (auto *item = w->findChild<QAction *>(step))
                item->trigger();
            else if (step == "close")
                w->windowHandle()->close();
            else if (control && step.contains('='))
                keysteps::type(control, step.section('=', 1));
            else if (control)
                QTest::mouseClick(control, Qt::LeftButton);
            else
                return false;
            return true;
        });
    }

    // The window the keys bring to the front, each key to the one in front by then, or nullptr.
    QWidget *openByKeys(const QString &opener) const
    {
        for (const QString &keys : opener.split(' ', Qt::SkipEmptyParts)) {
            QWidget *below = QApplication::activeWindow();
            const auto opened = [below] {
                return QApplication::activeWindow() && QApplication::activeWindow() != below;
            };
            if (!below)
                return nullptr;
            act(keys, below);
            if (!QTest::qWaitFor(opened, WaitLimit))
                return nullptr;
        }
        return QApplication::activeWindow();
    }

    // The named window once it is open and active, else nullptr.
    template <class W> static W *opened()
    {
        const auto active = [] { return loadedWindow<W>() && loadedWindow<W>()->isActiveWindow(); };
        return QTest::qWaitFor(active, WaitLimit) ? loadedWindow<W>() : nullptr;
    }

    // The windows on screen, by name.
    static QStringList shown()
    {
        QStringList names;
        for (const QWidget *top : QApplication::topLevelWidgets())
            if (top->isVisible())
                names << top->objectName();
        names.sort();
        return names;
    }

    // Whether no button of the window is held down: an access key holds its
    // button down for about 100 ms before it clicks it.
    static bool buttonsUp(const QWidget *w)
    {
        const auto buttons = w->findChildren<QAbstractButton *>();
        return std::none_of(buttons.begin(), buttons.end(), [](auto *b) { return b->isDown(); });
    }

    // The check values in catalogue order: IncludeHTML Title Email Refresh Keywords Description
    // Copyright RevisitAfter Robot DCTitle Creator DCDescription Publisher Contributors.
    static QString ticks(QWidget *w)
    {
        QString values;
        for (const ProcessTags::TagItem &item : ProcessTags::Catalogue)
            values += QString::number(WindowControls(w).checkValue(item.checkBoxName()));
        return values;
    }
};
