#pragma once
// Key steps separated by ";": "=text" typed a code point a key event, else a
// key as QKeySequence reads it ("Shift+Down"). `own` may take a step first;
// `target` is a widget or window, or a callable returning one at each step.

#include <QKeySequence>
#include <QStringList>
#include <QTest>

#include <type_traits>

namespace keysteps {

template <class Target> void type(Target *target, const QString &text)
{
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype n = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        QTest::sendKeyEvent(QTest::Click, target, Qt::Key_unknown, text.mid(i, n), Qt::NoModifier);
        i += n;
    }
}

template <class Target> void press(Target *target, const QString &key)
{
    const QKeyCombination keys = QKeySequence(key)[0];
    if (keys.key() == 0 || keys.key() == Qt::Key_unknown)
        return QTest::qFail(qPrintable("no key " + key), __FILE__, __LINE__);
    QTest::keyClick(target, keys.key(), keys.keyboardModifiers());
}

template <class Target, class Own = bool (*)(const QString &)>
void act(const Target &target, const QString &steps,
         const Own &own = [](const QString &) { return false; })
{
    for (const QString &step : steps.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        if (own(step))
            continue;
        const auto to = [&] {
            if constexpr (std::is_invocable_v<const Target &>)
                return target();
            else
                return target;
        }();
        if (!to)
            return QTest::qFail(qPrintable("nowhere to send " + step), __FILE__, __LINE__);
        if (step.startsWith(QLatin1Char('=')))
            type(to, step.mid(1));
        else
            press(to, step);
    }
}

}  // namespace keysteps
