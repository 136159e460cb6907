#pragma once
// Helpers for tests that drive the real main window: a private config folder,
// the window opened as the program opens it, and keys sent as a user types.

#include "frmMain.h"

#include <QtTest>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include <memory>

struct MainWindowFixture {
    std::unique_ptr<QTemporaryDir> config;
    frmMain *window = nullptr;

    // A fresh config folder; `settings` is written as Quillfern/Orvane.conf when given.
    void useNewConfig(const QByteArray &settings = QByteArray())
    {
        config = std::make_unique<QTemporaryDir>();
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config->path()));
        if (settings.isNull())
            return;
        QDir().mkpath(config->path() + "/Quillfern");
        QFile file(settingsPath());
        if (file.open(QIODevice::WriteOnly))
            file.write(settings);
    }

    QString settingsPath() const { return config->path() + "/Quillfern/Orvane.conf"; }

    QString stored(const QString &key) const
    {
        return QSettings(settingsPath(), QSettings::IniFormat).value(key).toString();
    }

    bool open()
    {
        window = showWindow<frmMain>();
        return QTest::qWaitForWindowExposed(window);
    }

    // Every window of the program goes, so that the next test starts afresh.
    void discard()
    {
        QList<QPointer<FormWindow>> windows;
        for (QWidget *top : QApplication::topLevelWidgets())
            if (auto *form = qobject_cast<FormWindow *>(top))
                windows << form;
        qDeleteAll(windows);
        window = nullptr;
    }

    template <class T>
    T *get(const char *name) const
    {
        T *control = window->control<T>(name);
        if (!control)
            qWarning("no control %s", name);
        return control;
    }
    QCheckBox *box(const char *name) const { return get<QCheckBox>(name); }
    QLineEdit *line(const char *name) const { return get<QLineEdit>(name); }

    // A key as the window system delivers it: through the shortcut map first.
    void key(Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier) const
    {
        QTest::keyClick(window->windowHandle(), k, modifiers);
    }
    void focus(QWidget *control) const
    {
        window->activateWindow();
        control->setFocus(Qt::OtherFocusReason);
    }
};
