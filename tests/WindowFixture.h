#pragma once
// What every window test shares: a private config folder, the main window
// opened as the program opens it, controls found by name, keys delivered
// through the window system, every prompt answered and recorded instead of
// shown, and every window gone between cases.

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

struct WindowFixture {
    std::unique_ptr<QTemporaryDir> config;
    frmMain *window = nullptr;
    QStringList messages;  // "title [icon number] text"
    QStringList saves;  // each save dialog asked for: "title | filters | default extension"
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
            messages << QString("%1 [%2] %3").arg(m.title).arg(m.icon).arg(m.text);
        };
        hooks.saveFileName = [this](const Prompts::SaveRequest &r) {
            saves << QStringList{r.title, r.nameFilters.join(" | "), r.defaultSuffix}.join(" | ");
            return saveAnswer;
        };
        hooks.openAddress = [this](const QUrl &address) {
            launched << address;
            return launcherWorks;
        };
        Prompts::setHooks(hooks);
        installProgramWiring();
        window = showWindow<frmMain>();
        return QTest::qWaitForWindowActive(window);
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
        return (in ? in : window)->findChild<T *>(name);
    }
    QCheckBox *box(const char *name) const { return get<QCheckBox>(name); }

    // The focus in whichever window holds the control, that window active.
    static bool focus(QWidget *control)
    {
        control->window()->activateWindow();
        control->setFocus(Qt::OtherFocusReason);
        return QTest::qWaitForWindowActive(control->window());
    }

    // Steps, separated by ";", in the main window or `in`: "name=text" typed
    // into a control, a control clicked by name, "close" from the window
    // manager, or else keys ("Return", "Alt+G", "Num+Enter") as the window
    // system delivers them, through the shortcut map first.
    void act(const QString &steps, QWidget *in = nullptr) const
    {
        QWidget *w = in ? in : window;
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
            else
                QTest::keyClick(w->windowHandle(), keys.key(), keys.keyboardModifiers());
        }
    }

    // The named window once it is open and active, else nullptr.
    template <class W> static W *opened()
    {
        const auto active = [] { return loadedWindow<W>() && loadedWindow<W>()->isActiveWindow(); };
        return QTest::qWaitFor(active) ? loadedWindow<W>() : nullptr;
    }

    // The item check values of a window in catalogue order: IncludeHTML Title
    // Email Refresh Keywords Description Copyright RevisitAfter Robot DCTitle
    // Creator DCDescription Publisher Contributors.
    static QString ticks(QWidget *w)
    {
        QString values;
        for (const ProcessTags::TagItem &item : ProcessTags::Catalogue)
            values += QString::number(WindowControls(w).checkValue(item.checkBoxName()));
        return values;
    }
};
