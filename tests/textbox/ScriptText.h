#pragma once
// Text in the scripts the boxes must handle, and typing it as a keyboard or
// an input method delivers it: one key per code point, a surrogate pair in
// one key event.

#include "KeySteps.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QStringList>

namespace script {

// Pieces that put the engine's hard cases side by side: combining accents,
// joined right-to-left letters, conjuncts, emoji joined by U+200D, flags,
// skin tones, and text of both directions with digits.
inline QStringList pieces()
{
    return {QStringLiteral("caf\u00e9"), QStringLiteral("e\u0301"),
            QStringLiteral("\u0627\u0644\u0633\u0644\u0627\u0645"),
            QStringLiteral("\u0639\u0644\u064a\u0643\u0645"),
            QStringLiteral("\u05e9\u05dc\u05d5\u05dd 2024"),
            QStringLiteral("\u0915\u094d\u0937\u0924\u094d\u0930\u093f\u092f"),
            QStringLiteral("\u0939\u093f\u0928\u094d\u0926\u0940"),
            QStringLiteral("\U0001F468\u200D\U0001F469\u200D\U0001F467"),
            QStringLiteral("\U0001F1E9\U0001F1EA"), QStringLiteral("\U0001F44D\U0001F3FD"),
            QStringLiteral("\U0001F600"), QStringLiteral("word"), QStringLiteral(" "),
            QStringLiteral("abcdefghijklmnopqrstuvwxyz")};
}

// Types `text` into `widget` key by key; a tab, which no key types into a
// text box, is pasted.
inline void type(QWidget *widget, const QString &text)
{
    const QStringList pieces = text.split(QLatin1Char('\t'));
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        if (i > 0) {
            QGuiApplication::clipboard()->setText(QStringLiteral("\t"));
            QTest::keyClick(widget, Qt::Key_V, Qt::ControlModifier);
        }
        keysteps::type(widget, pieces[i]);
    }
}

}  // namespace script
