#pragma once
// Helpers for tests of the generate cycle: the main window driven as a user
// drives it, the tags and errors windows it leads to, and the prompts
// answered and recorded instead of shown.

#include "MainWindowFixture.h"

#include "ProcessTags.h"
#include "Prompts.h"
#include "frmErrors.h"
#include "frmTags.h"

#include <initializer_list>
#include <utility>

struct TagWindowsFixture : MainWindowFixture {
    QList<Prompts::Message> messages;
    QList<Prompts::SaveRequest> saveRequests;
    QString saveAnswer;  // what the save dialog returns; empty is a cancel

    // A fresh config folder, the prompts hooked, the main window open.
    bool start()
    {
        useNewConfig();
        Prompts::setHooks({[this](const Prompts::Message &m) { messages << m; },
                           [this](const Prompts::SaveRequest &r) {
                               saveRequests << r;
                               return saveAnswer;
                           },
                           [](const QUrl &) { return false; }});
        return open() && QTest::qWaitForWindowActive(window);
    }

    // Children first; deleting skips the unload handlers, which only matter
    // to the test that closes a window on purpose.
    void finish()
    {
        delete loadedWindow<frmErrors>();
        delete loadedWindow<frmTags>();
        discard();
        Prompts::setHooks({});
        messages.clear();
        saveRequests.clear();
        saveAnswer.clear();
    }

    // The focus in whichever window holds the control, that window active.
    void focus(QWidget *control) const
    {
        control->window()->activateWindow();
        control->setFocus(Qt::OtherFocusReason);
    }

    // One key a character; QTest spells only ASCII as keys, so any other
    // character comes as the text of a key the keyboard has no name for.
    void type(QWidget *control, const QString &text) const
    {
        focus(control);
        for (const QChar c : text) {
            if (c.unicode() < 0x80)
                QTest::keyClick(control, char(c.unicode()));
            else
                QTest::sendKeyEvent(QTest::Click, control, Qt::Key_unknown, QString(c),
                                    Qt::NoModifier);
        }
    }

    // Fills the fields, ticks the wrapper when asked, and presses Alt+G.
    void generate(std::initializer_list<std::pair<const char *, QString>> fields,
                  bool includeHtml = false) const
    {
        for (const auto &[name, text] : fields)
            type(get<QWidget>(name), text);
        if (includeHtml != box("chkIncludeHTML")->isChecked()) {
            focus(box("chkIncludeHTML"));
            key(Qt::Key_Space);
        }
        focus(line("txtTitle"));
        key(Qt::Key_G, Qt::AltModifier);
    }

    static frmTags *tags() { return loadedWindow<frmTags>(); }
    static frmErrors *errors() { return loadedWindow<frmErrors>(); }

    template <class T>
    static T *in(FormWindow *w, const char *name)
    {
        T *control = w ? w->control<T>(name) : nullptr;
        if (!control)
            qWarning("no control %s", name);
        return control;
    }
    static QPlainTextEdit *tagsText() { return in<QPlainTextEdit>(tags(), "txtTags"); }
    static QPushButton *tagsButton(const char *name) { return in<QPushButton>(tags(), name); }

    // A key as the window system delivers it to an open window.
    static void keyTo(QWidget *w, Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(w->windowHandle(), k, modifiers);
    }
};

// Waits for the tags window that a generation opens; use with QVERIFY.
inline bool tagsWindowOpens()
{
    return QTest::qWaitFor([] { return loadedWindow<frmTags>() != nullptr; }) &&
           QTest::qWaitForWindowActive(loadedWindow<frmTags>());
}
