#pragma once
// Helpers for tests of the windows opened from the main window: the main
// window open and active as at the start of the program, every conversation
// with the user answered and recorded here, and the stored default items.

#include "MainWindowFixture.h"

#include "ProcessTags.h"
#include "Prompts.h"
#include "Registry.h"

#include <optional>
#include <string>

struct DialogFixture : MainWindowFixture {
    QList<Prompts::Message> messages;
    QList<QUrl> launched;
    bool launcherWorks = true;

    // A fresh config folder (with `settings` as its file when given) and the
    // main window, active.
    bool start(const QByteArray &settings = QByteArray())
    {
        useNewConfig(settings);
        messages.clear();
        launched.clear();
        launcherWorks = true;
        Prompts::Hooks hooks;
        hooks.message = [this](const Prompts::Message &m) { messages << m; };
        hooks.openAddress = [this](const QUrl &address) {
            launched << address;
            return launcherWorks;
        };
        hooks.saveFileName = [](const Prompts::SaveRequest &) { return QString(); };
        Prompts::setHooks(hooks);
        return open() && QTest::qWaitForWindowActive(window);
    }

    void finish()
    {
        discard();
        Prompts::setHooks({});
    }

    // The named window once it is open and active, else nullptr.
    template <class W>
    static W *activeWindow()
    {
        W *w = loadedWindow<W>();
        return w && QTest::qWaitForWindowActive(w) ? w : nullptr;
    }

    static void keyTo(QWidget *w, Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(w->windowHandle(), k, modifiers);
    }

    // The check box of every item of the catalogue on the given window.
    static QList<QCheckBox *> itemBoxes(const QWidget *w)
    {
        QList<QCheckBox *> boxes;
        for (const ProcessTags::TagItem &item : ProcessTags::Catalogue)
            boxes << w->findChild<QCheckBox *>(item.checkBoxName());
        return boxes;
    }

    static std::optional<std::string> storedItem(const char *key)
    {
        return Registry::GetRegValue(Registry::CurrentUser,
                                     ProcessTags::SettingsKeyPath("DefaultItems"), key);
    }
};
