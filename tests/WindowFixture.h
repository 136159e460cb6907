#pragma once
// What every window test shares: a private config folder, the main window
// opened as the program opens it, controls found by name, keys delivered
// through the window system, every prompt answered and recorded instead of
// shown, and every window gone between cases.
//
// Every wait here and in the window tests waits for the event it needs, up to
// WaitLimit: far above what the event takes on a machine busy with other
// work, reached only when it never comes. A window that did not come is a
// null pointer that the test checks first; these helpers take one calmly.

#include "ComboTextBox.h"
#include "OneLineTextBox.h"
#include "ProgramWiring.h"
#include "Prompts.h"
#include "frmAbout.h"
#include "frmErrors.h"
#include "frmMain.h"
#include "frmPreferences.h"
#include "frmRobotValues.h"
#include "frmTags.h"

#include <QtTest>
#include <QtWidgets>

constexpr int WaitLimit = 20000;

struct WindowFixture {
    std::unique_ptr<QTemporaryDir> config;
    frmMain *window = nullptr;
    QStringList messages;  // "title [icon] text"
    int saves = 0;  // how often the save dialog was asked for
    QString saveAnswer;  // the file the save dialog returns; empty is a cancel
    QList<QUrl> launched;
    bool launcherWorks = true;

    // A fresh config folder, holding `settings` when given; the main window open and active.
    bool start(const QByteArray &settings = QByteArray())
    {
        config = std::make_unique<QTemporaryDir>();
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config->path()));
        if (!settings.isEmpty() && !writeFile(ini(), settings))
            return false;
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

    // Deleting skips the unload handlers, which only the cases that close a
    // window on purpose look at.
    void finish()
    {
        QList<QPointer<FormWindow>> windows;
        for (QWidget *top : QApplication::topLevelWidgets())
            windows << qobject_cast<FormWindow *>(top);
        qDeleteAll(windows);
        *this = WindowFixture();
    }

    QString ini() const { return config->path() + "/Quillfern/Orvane.conf"; }
    QString stored(const QString &key) const
    {
        return QSettings(ini(), QSettings::IniFormat).value(key).toString();
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
    QCheckBox *box(const char *name) const { return get<QCheckBox>(name); }

    // The focus in whichever window holds the control, that window active.
    static bool focus(QWidget *control)
    {
        if (!control)
            return false;
        control->window()->activateWindow();
        control->setFocus(Qt::OtherFocusReason);
        return QTest::qWaitForWindowActive(control->window(), WaitLimit);
    }

    // Steps, separated by ";", in the main window or `in`: "name=text" typed
    // into a control, a control clicked by name, "close" from the window
    // manager, or else keys ("Return", "Alt+G", "Num+Enter") as the window
    // system delivers them, through the shortcut map first, once the window is
    // active: a user types into the window in front, and a shortcut works in
    // the active window only. Keys for a window that does not become active
    // fail the test.
    void act(const QString &steps, QWidget *in = nullptr) const
    {
        QWidget *w = in ? in : window;
        if (!w)
            return QTest::qFail("no window to act in", __FILE__, __LINE__);
        for (const QString &step : steps.split(';', Qt::SkipEmptyParts)) {
            QWidget *control = w->findChild<QWidget *>(step.section('=', 0, 0));
            const QKeyCombination keys = QKeySequence(step)[0];
            if (step == "close")
                w->windowHandle()->close();
            else if (control && step.contains('='))
                for (const QChar c : step.section('=', 1))
                    QTest::sendKeyEvent(QTest::Click, control, Qt::Key_unknown, c, Qt::NoModifier);
            else if (control)
                QTest::mouseClick(control, Qt::LeftButton);
            else if (QTest::qWaitForWindowActive(w, WaitLimit))
                QTest::keyClick(w->windowHandle(), keys.key(), keys.keyboardModifiers());
            else
                return QTest::qFail(qPrintable(w->objectName() + " not active for " + step),
                                    __FILE__, __LINE__);
        }
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

    // The item check values of a window in catalogue order: IncludeHTML Title
    // Email Refresh Keywords Description Copyright RevisitAfter Robot DCTitle
    // Creator DCDescription Publisher Contributors.
    static QString ticks(QWidget *w)
    {
        if (!w)
            return "(no window)";
        QString values;
        for (const ProcessTags::TagItem &item : ProcessTags::Catalogue)
            values += QString::number(WindowControls(w).checkValue(item.checkBoxName()));
        return values;
    }
};
