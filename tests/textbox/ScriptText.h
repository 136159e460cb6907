#pragma once
// Text in the scripts the boxes must handle, and typing it as a keyboard or
// an input method delivers it: one key per code point, a surrogate pair in
// one key event.

#include <QClipboard>
#include <QGuiApplication>
#include <QStringList>
#include <QTest>

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
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype n = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString unit = text.mid(i, n);
        if (unit == QLatin1String("\t")) {
            QGuiApplication::clipboard()->setText(unit);
            QTest::keyClick(widget, Qt::Key_V, Qt::ControlModifier);
        } else {
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, unit, Qt::NoModifier);
        }
        i += n;
    }
}

}  // namespace script
