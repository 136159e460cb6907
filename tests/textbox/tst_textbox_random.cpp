// The multi-line box driven by seeded random steps against a QString model
// of its text; at the end undo leads back to the first text, redo to the
// last. Longer runs: ORVANE_RANDOM_SEEDS ("1-500", "3,17"), ORVANE_RANDOM_OPS.
// Fixed rows: keys with a known result, cases that once went wrong among them.

#include "KeySteps.h"
#include "WaitLimit.h"
#include "MultiLineTextBox.h"

#include <QApplication>
#include <QClipboard>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTextLayout>

#include <memory>
#include <random>

namespace {

// Every kind of line end as the box reads it back.
QString lineEnds(QString text)
{
    return text.replace(QRegularExpression(QStringLiteral("\r\n|[\r\\x{2028}\\x{2029}]")), QStringLiteral("\n"));
}

// Text in a message, exact: all but printable ASCII as \uXXXX.
QString shown(const QString &text)
{
    const std::unique_ptr<char[]> escaped(QTest::toString(text));
    return QString::fromLatin1(escaped.get());
}

// Where `i` stands in a run of regional indicators, which pair into flags
// from the run's start: -1 outside, else units from the run's start mod 4.
int inFlags(const QString &s, qsizetype i)
{
    static const QRegularExpression run(QStringLiteral("[\\x{1F1E6}-\\x{1F1FF}]+"));
    for (const QRegularExpressionMatch &m : run.globalMatch(s))
        if (i > m.capturedStart() && i < m.capturedEnd())
            return int((i - m.capturedStart()) % 4);
    return -1;
}

// Inside a surrogate pair, or between the two indicators of a flag.
bool insidePair(const QString &s, qsizetype i)
{
    return (i > 0 && i < s.size() && s[i - 1].isHighSurrogate() && s[i].isLowSurrogate()) || inFlags(s, i) == 2;
}

// Where Qt's own boxes let the caret stop; between flags, which it may pair wrongly.
bool isCaretStop(const QString &line, qsizetype column)
{
    return column == 0 || column == line.size() ||
           (!insidePair(line, column) && (inFlags(line, column) == 0 || QTextLayout(line).isValidCursorPosition(int(column))));
}

// Where Qt's own boxes put the caret one character on from `column`, never
// inside a pair (Qt 6.4 puts it there after a Devanagari letter or an emoji).
qsizetype characterStep(const QString &line, qsizetype column, bool forward)
{
    if (forward ? column >= line.size() : column <= 0)
        return forward ? column + 1 : column - 1;  // over the line end
    QTextLayout layout(line);
    qsizetype to = forward ? layout.nextCursorPosition(int(column)) : layout.previousCursorPosition(int(column));
    while (insidePair(line, to))
        to += forward ? 1 : -1;
    return to;
}

// Key steps, and "@line,column,fraction": a click that far across the
// character; "!start,length,text": an input method's commit.
void act(MultiLineTextBox *box, const QString &steps)
{
    keysteps::act(box, steps, [box](const QString &step) {
        const QStringList part = step.mid(1).split(QLatin1Char(','));
        if (step.startsWith(QLatin1Char('@'))) {
            const TextPos pos{part[0].toInt(), part[1].toInt()};
            const QRect here = box->characterRect(pos);
            const int next = box->characterRect({pos.line, pos.column + 1}).left();
            const int x = here.left() + qRound(part[2].toDouble() * (next - here.left()));
            QTest::mouseClick(box->viewport(), Qt::LeftButton, {}, QPoint(x, here.center().y()));
        } else if (step.startsWith(QLatin1Char('!'))) {
            QInputMethodEvent commit(QString(), {});
            commit.setCommitString(part.mid(2).join(QLatin1Char(',')), part[0].toInt(), part[1].toInt());
            QApplication::sendEvent(box, &commit);
        }
        return step.startsWith(QLatin1Char('@')) || step.startsWith(QLatin1Char('!'));
    });
}

class RandomSteps {
public:
    RandomSteps(MultiLineTextBox *box, unsigned seed) : box_(box), random_(seed) {}

    QString run(int steps)
    {
        box_->resize(60 + pick(440), 60 + pick(240));
        box_->setText(someText(true) + someText(true));
        const QString first = model_ = box_->text();
        QString wrong;
        for (int i = 0; i < steps && wrong.isEmpty(); ++i)
            wrong = step();
        const auto all = [&](void (MultiLineTextBox::*replay)()) {
            for (int i = 0; i <= steps; ++i)
                (box_->*replay)();
            return box_->text();
        };
        const QString last = all(&MultiLineTextBox::redo);  // what was undone last, done again
        if (const QString undone = all(&MultiLineTextBox::undo); wrong.isEmpty() && undone != first)
            wrong = QStringLiteral("undone all: %1, not %2").arg(shown(undone), shown(first));
        if (const QString redone = all(&MultiLineTextBox::redo); wrong.isEmpty() && redone != last)
            wrong = QStringLiteral("redone all: %1, not %2").arg(shown(redone), shown(last));
        return wrong.isEmpty() ? wrong : QStringLiteral("step %1: %2; last steps:\n  %3").arg(log_.size()).arg(
                   wrong, log_.mid(std::max<qsizetype>(log_.size() - 6, 0)).join(QLatin1String("\n  ")));
    }

private:
    enum class Effect { Known, None, Removal, Unknown };

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }

    QString someText(bool lineEnds)
    {
        // The engine's hard cases: accents, joined letters, conjuncts, emoji.
        static const QStringList pieces = {
            QStringLiteral("caf\u00e9"), QStringLiteral("e\u0301"),
            QStringLiteral("\u0627\u0644\u0633\u0644\u0627\u0645"), QStringLiteral("\u0639\u0644\u064a\u0643\u0645"),
            QStringLiteral("\u05e9\u05dc\u05d5\u05dd 2024"), QStringLiteral("\u0915\u094d\u0937\u0924\u094d\u0930\u093f\u092f"),
            QStringLiteral("\u0939\u093f\u0928\u094d\u0926\u0940"), QStringLiteral("\U0001F468\u200D\U0001F469\u200D\U0001F467"),
            QStringLiteral("\U0001F1E9\U0001F1EA"), QStringLiteral("\U0001F1EB\U0001F1F7\U0001F1E9"), QStringLiteral("\U0001F44D\U0001F3FD"), QStringLiteral("\U0001F600"),
            QStringLiteral("word"), QStringLiteral(" "), QStringLiteral("abcdefghijklmnopqrstuvwxyz")};
        static const QStringList ends = {"\t", "\r", "\n", "\r\n", "\u2028", "\u2029"};
        QString text;
        for (int n = 1 + pick(3); n > 0; --n)
            text += lineEnds && pick(3) == 0 ? ends[pick(int(ends.size()))]
                                             : pieces[pick(int(pieces.size()))];
        return text;
    }

    qsizetype flat(TextPos pos) const
    {
        for (qsizetype i = 0; i < pos.line; ++i)
            pos.column += box_->lines().line(i).size() + 1;
        return pos.column;
    }

    QString step()
    {
        const TextPos cursor = box_->cursor(), anchor = box_->anchor();
        const QString line = box_->lines().line(cursor.line);
        const qsizetype from = flat(std::min(cursor, anchor)), to = flat(std::max(cursor, anchor));
        const auto replaced = [&](const QString &s) { return QString(model_).replace(from, to - from, s); };
        QSignalSpy changes(box_, &MultiLineTextBox::textChanged);
        Effect effect = Effect::Known;
        QString expected, text = someText(pick(2));
        bool moved = false, sideways = false, backward = false, word = false, shift = false;
        switch (pick(11)) {
        case 0:
        case 1:
            text.remove(QRegularExpression(QStringLiteral("[\t\r\n\\x{2028}\\x{2029}]")));
            text = text.isEmpty() ? QStringLiteral("a") : text;
            log_ << QStringLiteral("type ") + shown(text);
            keysteps::type(box_, text);
            expected = replaced(QString());  // a key a code point, the caret after it or the flag it made
            for (qsizetype i = 0, at = from, n = 0; i < text.size(); i += n, at += n + (insidePair(expected, at + n) ? 2 : 0))
                expected.insert(at, text.mid(i, n = text[i].isHighSurrogate() ? 2 : 1));
            break;
        case 2:
            act(box_, log_.emplace_back(QStringLiteral("Return")));
            expected = replaced(QStringLiteral("\n"));
            break;
        case 3:
            // Now and then a line cut into pieces.
            if (pick(16) == 0)
                text = (text + QLatin1Char('a')).repeated(4500 / (text.size() + 1) + 1);
            QGuiApplication::clipboard()->setText(text);
            log_ << QStringLiteral("paste %1 (%2)").arg(shown(text.left(40))).arg(text.size());
            act(box_, QStringLiteral("Ctrl+V"));
            expected = replaced(lineEnds(text));
            break;
        case 4: {
            static const char *const removals[] = {"Backspace", "Delete", "Ctrl+Backspace",
                                                   "Ctrl+Delete", "Ctrl+X"};
            const int which = pick(5);
            act(box_, log_.emplace_back(QLatin1String(removals[which])));
            backward = which % 2 == 0;
            word = which >= 2;
            // Over a selection every key takes the selection; Cut without one takes nothing.
            if (from == to && which < 4)
                effect = Effect::Removal;
            expected = from < to ? replaced(QString()) : model_;
            break;
        }
        case 5:
        case 6:
        case 7: {
            static const char *const moves[] = {"Left", "Right", "Up", "Down", "Home", "End", "PgUp",
                                                "PgDown", "Ctrl+Left", "Ctrl+Right", "Ctrl+Home",
                                                "Ctrl+End", "Ctrl+A"};
            const QString move = QLatin1String(moves[pick(13)]);
            moved = move != QLatin1String("Ctrl+A");
            shift = moved && pick(5) < 2;
            act(box_, log_.emplace_back(shift ? QStringLiteral("Shift+") + move : move));
            // Up, Down, pages, word moves and a selection given up can stop
            // inside a conjunct, as in QLineEdit.
            sideways = (shift || from == to) &&
                       !move.contains(QRegularExpression(QStringLiteral("Up|Down|Ctrl\\+(Left|Right)")));
            effect = Effect::None;
            break;
        }
        case 8:
            act(box_, log_.emplace_back(QLatin1String(pick(2) ? "Ctrl+Z" : pick(2) ? "Ctrl+Y" : "Ctrl+Shift+Z")));
            effect = Effect::Unknown;
            break;
        case 9:
            mouse();
            effect = Effect::None;
            break;
        default:
            box_->resize(60 + pick(440), 60 + pick(240));
            log_ << QStringLiteral("resize %1x%2").arg(box_->width()).arg(box_->height());
            effect = Effect::None;
        }
        if (log_.size() % 5 == 0)
            box_->viewport()->grab();  // the drawing runs too
        const QString now = box_->text();
        if (effect == Effect::Known && now != expected)
            return QStringLiteral("text %1, not %2").arg(shown(now), shown(expected));
        if (effect == Effect::None && now != model_)
            return QStringLiteral("text changed to ") + shown(now);
        if (effect == Effect::Removal) {
            if (const QString wrong = removal(from, line, cursor.column, backward, word, now); !wrong.isEmpty())
                return wrong;
        }
        if (now != model_ && changes.isEmpty())
            return QStringLiteral("no textChanged");
        model_ = now;
        if (const QString wrong = valid(); !wrong.isEmpty())
            return wrong;
        const TextPos caret = box_->cursor();
        const QString &caretLine = box_->lines().line(caret.line);
        if (sideways && !isCaretStop(caretLine, caret.column))
            return QStringLiteral("caret inside a character: %1 at %2").arg(shown(caretLine)).arg(caret.column);
        if (moved && box_->anchor() != (shift ? anchor : caret))
            return QStringLiteral("the selection's anchor moved");
        return {};
    }

    // One piece taken out before the caret (Backspace) or after it: a line
    // end, at most one character as a reader sees it, or a word.
    QString removal(qsizetype at, const QString &line, qsizetype column, bool backward, bool word, const QString &now) const
    {
        const qsizetype most = std::abs(characterStep(line, column, !backward) - column);
        const qsizetype gone = model_.size() - now.size();
        const qsizetype start = backward ? at - gone : at;
        const bool atEdge = backward ? at == 0 : at == model_.size();
        if (gone < 0 || start < 0 || now != model_.left(start) + model_.mid(start + gone) ||
            (gone == 0) != atEdge || (!word && gone > most))
            return QStringLiteral("removal at %1 made %2 of %3").arg(at).arg(shown(now), shown(model_));
        if (insidePair(model_, start) || insidePair(model_, start + gone))
            return QStringLiteral("removal split a pair");
        if (flat(box_->cursor()) != start + (insidePair(now, start) ? 2 : 0))  // or after the flag it made
            return QStringLiteral("caret not where the removal was");
        return {};
    }

    // Clicks, Shift+clicks, double clicks and drags at random points.
    void mouse()
    {
        QWidget *view = box_->viewport();
        const QPoint at(pick(view->width()), pick(view->height()));
        const QPoint to(pick(view->width()), pick(view->height()));
        const int kind = pick(4);
        log_ << QStringLiteral("mouse %1 at %2,%3 to %4,%5").arg(kind).arg(at.x()).arg(at.y()).arg(to.x()).arg(to.y());
        if (kind == 2)
            return QTest::mouseDClick(view, Qt::LeftButton, {}, at);
        if (kind == 3)  // pressed on the selection, the mouse would drag it away
            box_->setCursor(box_->cursor());
        QTest::mousePress(view, Qt::LeftButton, kind == 1 ? Qt::ShiftModifier : Qt::NoModifier, at);
        if (kind == 3) {
            QMouseEvent drag(QEvent::MouseMove, to, view->mapToGlobal(to), Qt::NoButton, Qt::LeftButton, {});
            QApplication::sendEvent(view, &drag);
        }
        QTest::mouseRelease(view, Qt::LeftButton, {}, kind == 3 ? to : at);
    }

    // Caret and anchor in the text, not inside a pair; the selection and
    // what an input method reads around the caret are the model's.
    QString valid() const
    {
        for (const TextPos pos : {box_->cursor(), box_->anchor()}) {
            if (pos.line < 0 || pos.line >= box_->lines().lineCount() || pos.column < 0 ||
                pos.column > box_->lines().line(pos.line).size())
                return QStringLiteral("caret or anchor outside the text");
            if (insidePair(box_->lines().line(pos.line), pos.column))
                return QStringLiteral("caret or anchor inside a pair: %1 at %2")
                    .arg(shown(box_->lines().line(pos.line))).arg(pos.column);
        }
        const qsizetype cursor = flat(box_->cursor()), anchor = flat(box_->anchor());
        if (box_->hasSelection() != (cursor != anchor) ||
            box_->selectedText() != model_.mid(std::min(cursor, anchor), std::abs(cursor - anchor)))
            return QStringLiteral("selection ") + shown(box_->selectedText());
        const QString around = box_->inputMethodQuery(Qt::ImSurroundingText).toString();
        const int before = box_->inputMethodQuery(Qt::ImCursorPosition).toInt();
        if (before < 0 || before > around.size() || !model_.left(cursor).endsWith(around.left(before)) ||
            !model_.mid(cursor).startsWith(around.mid(before)) ||
            (!around.isEmpty() && (around.front().isLowSurrogate() || around.back().isHighSurrogate())))
            return QStringLiteral("input method reads ") + shown(around);
        return {};
    }

    MultiLineTextBox *box_;
    std::mt19937 random_;
    QString model_;
    QStringList log_;
};

}  // namespace

class TestTextBoxRandom : public QObject {
    Q_OBJECT

    QWidget window;

private slots:
    void initTestCase()
    {
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(13);
        window.setFont(font);
        window.resize(520, 320);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window, WaitLimit));
    }

    void randomSteps_data()
    {
        QTest::addColumn<unsigned>("seed");
        QTest::addColumn<bool>("wrapped");
        const QString chosen = qEnvironmentVariable("ORVANE_RANDOM_SEEDS", QStringLiteral("1-8"));
        for (const QString &part : chosen.split(QLatin1Char(','))) {
            const QStringList range = part.split(QLatin1Char('-'));
            for (unsigned seed = range.front().toUInt(); seed <= range.back().toUInt(); ++seed) {
                QTest::addRow("seed %u, wrapped", seed) << seed << true;
                QTest::addRow("seed %u, not wrapped", seed) << seed << false;
            }
        }
    }

    void randomSteps()
    {
        QFETCH(unsigned, seed);
        QFETCH(bool, wrapped);
        MultiLineTextBox box(wrapped ? MultiLineTextBox::Wrap::AtWords : MultiLineTextBox::Wrap::None, &window);
        box.show();
        box.setFocus();
        const bool chosen = qEnvironmentVariableIsSet("ORVANE_RANDOM_OPS");
        const QString wrong =
            RandomSteps(&box, seed).run(chosen ? qEnvironmentVariableIntValue("ORVANE_RANDOM_OPS") : 300);
        QVERIFY2(wrong.isEmpty(), qPrintable(QStringLiteral("seed %1: ").arg(seed) + wrong));
    }

    void fixedSteps_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("width");  // of the text area, in "x"s; 0: lines do not wrap
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("result");  // "~steps": what those steps make of the text
        const QString smiley = QStringLiteral("\U0001F600");
        const QString family = QStringLiteral("\U0001F468\u200D\U0001F469\u200D\U0001F467");
        const QString word = QString(64, QLatin1Char('x'));
        const QString lowHalf(QChar(0xDE00));
        const QString accented = "x" + QStringLiteral("e\u0301").repeated(2100), flags = QStringLiteral("\U0001F1EB\U0001F1F7").repeated(1100);
        // clang-format off
        QTest::newRow("left over an emoji or a family at a line's start") << "a\n" + family + "\n" + smiley + "b" << 0 << "Ctrl+End;Left;Left;=X;Up;End;Left;=Y" << "a\nY" + family + "\nX" + smiley + "b";
        QTest::newRow("backspace over an emoji at a line's start") << smiley + "b\n" + smiley + "b" << 0 << "Ctrl+End;Left;Backspace;Ctrl+Home;Right;Backspace" << "b\nb";
        QTest::newRow("end of a wrapped run of emoji") << smiley.repeated(40) << 12 << "End;=X" << "~Down;Home;Left;=X";
        QTest::newRow("end of a wrapped run of families") << family.repeated(20) << 12 << "End;=X" << "~Down;Home;Left;=X";
        QTest::newRow("a word as wide as the box") << word + " yy" << 64 << "End;=Z" << word + "Z yy";
        QTest::newRow("a long word of accented letters, cut into pieces") << accented << 0 << "@0,4093,0.25;Right;Right;=X;Left;Left;Left;=Y" << accented.left(4093) + "Y" + accented.mid(4093, 4) + "X" + accented.mid(4097);
        QTest::newRow("a long line of families, cut into pieces") << family.repeated(700) << 12 << "Ctrl+End;Left;=X" << family.repeated(699) + "X" + family;
        QTest::newRow("a long line of flags, cut into pieces") << "ab" + flags.left(4400) << 0 << "Ctrl+End;" + QStringLiteral("Left;").repeated(100) + "=X" << "ab" + flags.left(4000) + "X" + flags.left(400);
        QTest::newRow("commits of CR, then LF, undone; inside a line too") << "12" << 0 << "!0,0,\r;!0,0,\n;Ctrl+Z;Right;!0,0,x\r;!0,0,\nabc;Ctrl+Z" << "12";
        QTest::newRow("right, ctrl+right, delete at the very end") << "a\nbc" << 0 << "Ctrl+End;Right;Ctrl+Right;Delete;=X" << "a\nbcX";
        QTest::newRow("select down, type; shift+left, shift+up") << "abc\ndef\nghi" << 0 << "Right;Shift+Down;=X;Ctrl+End;Shift+Left;Shift+Up;Delete" << "aX";
        QTest::newRow("down keeps the column; home of a wrapped line") << "aaaa bbbb cccc dddd" << 10 << "Right;Right;Down;Shift+Home;Delete" << "aaaa bbbb cc dddd";
        QTest::newRow("up from a wrapped line") << "aaaa bbbb aaaa bbbb" << 10 << "Ctrl+End;Up;=X" << "aaaa bbbbX aaaa bbbb";
        QTest::newRow("end stays on its line") << "aaaa bbbb cccc dddd" << 10 << "End;=X" << "aaaa bbbbX cccc dddd";
        QTest::newRow("end of a broken word, twice") << "abcdefghijklmnopqrstuvwxyz" << 10 << "End;End;=X" << "~End;=X";
        QTest::newRow("end of a broken word, shift+home") << "abcdefghijklmnopqrstuvwxyz" << 10 << "End;Shift+Home;Delete" << "~Shift+End;Delete";
        QTest::newRow("delete words, or the selection") << "one two three" << 0 << "Ctrl+Right;Ctrl+Delete;Ctrl+End;Ctrl+Backspace;Left;Shift+Left;Ctrl+Backspace;Home;Shift+Right;Ctrl+Delete" << "n ";
        QTest::newRow("left over a lone low half") << "a" + lowHalf + "c" << 0 << "End;Left;Left;=b" << "ab" + lowHalf + "c";
        QTest::newRow("backspace takes the accent, delete the letter whole") << "e\u0301xe\u0301" << 0 << "Right;Backspace;End;Left;Delete" << "ex";
        QTest::newRow("enter, shift+enter, a joiner typed; tab is no character") << "abc" << 0 << "Right;Return;Right;Shift+Return;End;=\u200D;Tab" << "a\nb\nc\u200D";
        QTest::newRow("page down") << "1\n2\n3\n4\n5\n6\n7\n8\n9" << 10 << "PgDown;PgDown;=X" << "1\n2\n3\n4\n5\n6\n7\n8\nX9";
        QTest::newRow("copy, paste, cut, paste") << "a\u00a0b\nc" << 0 << "Ctrl+A;Ctrl+C;End;Ctrl+V;Ctrl+Home;Shift+Down;Ctrl+X;Ctrl+End;Ctrl+V" << "ca\u00a0b\nca\u00a0b\n";
        QTest::newRow("undo typing, after a move") << "" << 0 << "=abc;Ctrl+Z;=ab;Left;=c;Ctrl+Z" << "ab";
        QTest::newRow("undo backspaces, deletes") << "abcd" << 0 << "End;Backspace;Backspace;Ctrl+Z;Home;Delete;Delete;Ctrl+Z" << "abcd";
        QTest::newRow("undo a paste") << "ab" << 0 << "Ctrl+A;Ctrl+C;End;Ctrl+V;=c;Ctrl+Z;Ctrl+Z" << "ab";
        QTest::newRow("undo across lines, redo") << "a\nb" << 0 << "Ctrl+A;Delete;Ctrl+Z;Ctrl+Y;Ctrl+Z;=c" << "a\nbc";
        QTest::newRow("an edit ends redo; ctrl+y, ctrl+shift+z") << "x" << 0 << "=ab;Ctrl+Z;=c;Ctrl+Y;Home;=d;Ctrl+Z;Ctrl+Z;Ctrl+Y;Ctrl+Shift+Z" << "dcx";
        QTest::newRow("a commit over the range it names") << "abcd" << 0 << "End;Left;!-2,3,X" << "aX";
        // Found by the random steps:
        QTest::newRow("a commit before the caret, undone") << "" << 0 << "=ab;!-1,0,\n;Ctrl+Z;Ctrl+Z" << "";
        QTest::newRow("an empty input method event keeps the selection") << "abcd" << 0 << "Shift+End;!0,0," << "abcd";
        // clang-format on
    }

    void fixedSteps()
    {
        QFETCH(QString, text);
        QFETCH(int, width);
        QFETCH(QString, steps);
        QFETCH(QString, result);
        const auto run = [&](const QString &keys) {
            MultiLineTextBox box(width ? MultiLineTextBox::Wrap::AtWords : MultiLineTextBox::Wrap::None, &window);
            box.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            box.show();
            // As wide as the "x"s: 64 of them are whole pixels (Qt's 64ths).
            const QString xs(width ? width : 40, QLatin1Char('x'));
            const int area = int(QFontMetricsF(box.font()).horizontalAdvance(xs));
            box.resize(area + 2 * box.characterRect({}).left() + box.width() - box.viewport()->width(), 200);
            QGuiApplication::clipboard()->setText(QStringLiteral("earlier"));
            box.setText(text);
            act(&box, keys);
            return box.text();
        };
        QCOMPARE(run(steps), result.startsWith(QLatin1Char('~')) ? run(result.mid(1)) : result);
    }
};

QTEST_MAIN(TestTextBoxRandom)
#include "tst_textbox_random.moc"
