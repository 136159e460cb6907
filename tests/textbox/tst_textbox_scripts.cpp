// The multi-line box beside QLineEdit, same text, font and width: caret
// stops, clicks, selection and composed text agree in every script; flags,
// where QLineEdit errs, against their edges. On X11, for the fonts and pixels
// as a user's display shows them.

#include "MultiLineTextBox.h"
#include "KeySteps.h"
#include "WaitLimit.h"

#include <QApplication>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTextBoundaryFinder>
#include <QTextCharFormat>
#include <QVBoxLayout>

#include <climits>
#include <functional>

namespace {

const QColor Highlight(0x30, 0x70, 0xd0);  // a colour nothing but the selection has

// One of the two boxes, as the test drives and reads it.
struct Side {
    QWidget *keys;     // takes the keys and input method events
    QWidget *surface;  // takes the mouse, shows the text
    std::function<int()> cursor;
    std::function<QString()> selected;
    std::function<QRect()> row;  // the text's row on the surface
};

// The columns [left, right) of the text's row where the surface shows a
// colour that `wanted` accepts.
QPair<int, int> extent(const Side &side, const std::function<bool(QColor)> &wanted)
{
    const QImage image = side.surface->grab().toImage();
    const QRect row = side.row();
    int left = INT_MAX, right = INT_MIN;
    for (int y = row.top() + row.height() / 4; y <= row.bottom() - row.height() / 4; ++y) {
        for (int x = 3; x < image.width() - 3; ++x) {
            if (wanted(image.pixelColor(x, y))) {
                left = std::min(left, x);
                right = std::max(right, x + 1);
            }
        }
    }
    return {left, right};
}

// The caret's stops as each key is pressed until the caret stays, from
// Home, from End and from the whole text selected either way.
QStringList walks(const Side &side, int presses)
{
    QStringList walked;
    for (const char *from : {"Home", "End", "Home;Shift+End", "End;Shift+Home"}) {
        for (const char *key : {"Right", "Left", "Shift+Right", "Shift+Left", "Ctrl+Right", "Ctrl+Left"}) {
            keysteps::act(side.keys, QLatin1String(from));
            QStringList stops{QString::number(side.cursor())};
            for (int i = 0; i < presses; ++i) {
                keysteps::act(side.keys, QLatin1String(key));
                if (const QString at = QString::number(side.cursor()); stops.back() != at)
                    stops << at;
            }
            walked << QStringLiteral("%1, %2: ").arg(QLatin1String(from), QLatin1String(key)) + stops.join(QLatin1Char(' '));
        }
    }
    return walked;
}

// Where a click at `x` on the text's row leaves the caret, or what a double click selects.
QString click(const Side &side, int x, bool twice)
{
    const QPoint at(x, side.row().center().y());
    if (twice) {
        QTest::mouseDClick(side.surface, Qt::LeftButton, {}, at);
        return side.selected();
    }
    QTest::mouseClick(side.surface, Qt::LeftButton, {}, at);
    return QString::number(side.cursor());
}

}  // namespace

class TestTextBoxScripts : public QObject {
    Q_OBJECT

    QWidget window;
    QLineEdit *edit = nullptr;
    MultiLineTextBox *box = nullptr;
    Side editSide, boxSide;

    // x of the caret at `pos` in the line edit.
    qreal editX(int pos)
    {
        edit->setCursorPosition(pos);
        return QRectF(edit->inputMethodQuery(Qt::ImCursorRectangle).toRect()).center().x();
    }

private slots:
    void initTestCase()
    {
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(16);
        QPalette palette = window.palette();
        palette.setColor(QPalette::Highlight, Highlight);
        palette.setColor(QPalette::HighlightedText, Qt::white);
        window.setPalette(palette);
        window.setFont(font);
        new QVBoxLayout(&window);
        window.resize(480, 200);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window, WaitLimit));
    }

    // New boxes for each row: a line edit takes a click where it was double
    // clicked a moment ago for a triple click.
    void init()
    {
        delete edit;
        delete box;
        edit = new QLineEdit;
        box = new MultiLineTextBox;
        window.layout()->addWidget(edit);
        window.layout()->addWidget(box);
        window.layout()->activate();
        edit->show();
        box->show();
        QCOMPARE(edit->width(), box->width());
        editSide = {edit, edit, [this] { return edit->cursorPosition(); }, [this] { return edit->selectedText(); },
                    [this] { return edit->inputMethodQuery(Qt::ImCursorRectangle).toRect(); }};
        boxSide = {box, box->viewport(), [this] { return int(box->cursor().column); },
                   [this] { return box->selectedText(); }, [this] { return box->characterRect({}); }};
    }

    void sameAsLineEdit_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("accents, precomposed") << QStringLiteral("Caf\u00e9 d\u00e9j\u00e0 na\u00efve");
        QTest::newRow("accents, combining") << QStringLiteral("Cafe\u0301 de\u0301ja\u0300 nai\u0308ve");
        QTest::newRow("Arabic") << QStringLiteral("\u0627\u0644\u0633\u0644\u0627\u0645 \u0639\u0644\u064a\u0643\u0645");
        QTest::newRow("Hebrew, digits, Latin") << QStringLiteral("\u05e9\u05dc\u05d5\u05dd 2024 abc \u05e2\u05d5\u05dc\u05dd");
        QTest::newRow("Arabic inside Latin") << QStringLiteral("abc \u0627\u0644\u0633\u0644\u0627\u0645 123 def");
        QTest::newRow("Devanagari") << QStringLiteral("\u0915\u094d\u0937\u0924\u094d\u0930\u093f\u092f \u0939\u093f\u0928\u094d\u0926\u0940");
        QTest::newRow("emoji: family, flag, skin tone")
            << QStringLiteral("\U0001F468\u200D\U0001F469\u200D\U0001F467 \U0001F1E9\U0001F1EA "
                              "\U0001F44D\U0001F3FD ok");
        QTest::newRow("tab, kerned pairs") << QStringLiteral("one\ttwo AVAVAV");
    }

    // Both boxes walked with the arrow keys, selected whole, clicked and
    // double clicked, and text composed in them.
    void sameAsLineEdit()
    {
        QFETCH(QString, text);
        edit->setText(text);
        box->setText(text);
        const int presses = int(text.size()) + 1;
        QCOMPARE(walks(boxSide, presses), walks(editSide, presses));

        // The selection's band, as wide and on the same side. Without the
        // focus, so that no caret is drawn (QLineEdit then drops selections).
        edit->clearFocus();
        box->clearFocus();
        for (const Side *side : {&editSide, &boxSide})
            QTest::keyClick(side->keys, Qt::Key_A, Qt::ControlModifier);
        const auto highlighted = [](QColor c) { return c == Highlight; };
        const auto [editLeft, editRight] = extent(editSide, highlighted);
        const auto [boxLeft, boxRight] = extent(boxSide, highlighted);
        const QString bands = QStringLiteral("line edit %1-%2 of %3, box %4-%5 of %6").arg(editLeft).arg(editRight)
                                  .arg(edit->width()).arg(boxLeft).arg(boxRight).arg(box->viewport()->width());
        QVERIFY2(editRight > editLeft && boxRight > boxLeft, qPrintable(bands));
        QVERIFY2(std::abs((boxRight - boxLeft) - (editRight - editLeft)) <= 2, qPrintable(bands));
        QVERIFY2((boxLeft < box->viewport()->width() - boxRight) ==
                     (editLeft < edit->width() - editRight),
                 qPrintable(bands));

        // Clicks a quarter into each character from either side, double
        // clicks mid-word and on a word's first character, at the same
        // place in the text of both.
        QList<QPair<qreal, bool>> clicks;
        QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, text);
        QList<qreal> xs;
        for (qsizetype at = 0; at >= 0; at = graphemes.toNextBoundary())
            xs << editX(int(at));
        std::sort(xs.begin(), xs.end());
        for (qsizetype i = 1; i < xs.size(); ++i) {
            if (xs[i] - xs[i - 1] >= 6)
                clicks << qMakePair(xs[i - 1] + (xs[i] - xs[i - 1]) / 4, false)
                       << qMakePair(xs[i] - (xs[i] - xs[i - 1]) / 4, false);
        }
        qsizetype start = 0;
        for (const QString &word : text.split(QRegularExpression(QStringLiteral("[ \t]")))) {
            QTextBoundaryFinder inWord(QTextBoundaryFinder::Grapheme, word);
            QList<qsizetype> stops;
            for (qsizetype at = 0; at >= 0; at = inWord.toNextBoundary())
                stops << at;
            const qreal first = editX(int(start));
            if (stops.size() > 2)  // two characters or more
                clicks << qMakePair(editX(int(start + stops[stops.size() / 2])), true)
                       << qMakePair(first + (editX(int(start + stops[1])) - first) / 4, true);
            start += word.size() + 1;
        }
        QStringList inEdit, inBox;
        for (const auto &[x, twice] : std::as_const(clicks)) {
            inEdit << click(editSide, qRound(x), twice);
            inBox << click(boxSide, qRound(x - editLeft + boxLeft), twice);
        }
        QCOMPARE(inBox.join(QLatin1Char('|')), inEdit.join(QLatin1Char('|')));

        // Composed after it, the text is drawn as wide again as Qt draws it.
        QStringList grown;
        QTextCharFormat underline;
        underline.setFontUnderline(true);
        for (const Side *side : {&editSide, &boxSide}) {
            side->keys->clearFocus();
            QTest::keyClick(side->keys, Qt::Key_End);
            const auto ink = [base = side->surface->palette().color(QPalette::Base)](QColor c) { return c != base; };
            const auto [left, right] = extent(*side, ink);
            QInputMethodEvent composing(text, {{QInputMethodEvent::TextFormat, 0, int(text.size()), underline}});
            QApplication::sendEvent(side->keys, &composing);
            const auto [newLeft, newRight] = extent(*side, ink);
            grown << QString::number((newRight - newLeft) - (right - left));
        }
        QVERIFY2(std::abs(grown[0].toInt() - grown[1].toInt()) <= 2, qPrintable(grown.join(QLatin1Char(' '))));
    }

    // Flags, where QLineEdit is no guide (Qt 6.4 pairs regional indicators
    // from the wrong one after an emoji or an Indic letter): the caret stops
    // by keys, clicks and double clicks are characters' edges, indicators
    // paired from the start of their run. (Typing, Backspace and Delete:
    // tst_textbox_random.)
    void flags()
    {
        // a FR D e, blank, smiley DE FR, blank, HA FR D
        const QString text = QStringLiteral("a\U0001F1EB\U0001F1F7\U0001F1E9e \U0001F600\U0001F1E9\U0001F1EA"
                                            "\U0001F1EB\U0001F1F7 \u0939\U0001F1EB\U0001F1F7\U0001F1E9");
        const QStringList stops = QStringLiteral("0 1 5 7 8 9 11 15 19 20 21 25 27").split(' ');
        box->setText(text);
        QStringList seen = walks(boxSide, int(text.size()));
        QCOMPARE(seen[0], "Home, Right: " + stops.join(' '));
        for (int x = 0; x < box->viewport()->width(); x += 2) {
            for (const bool twice : {false, true}) {
                click(boxSide, x, twice);
                seen << QStringLiteral("x %1: %2 %3").arg(x).arg(box->cursor().column).arg(box->anchor().column);
            }
        }
        for (const QString &walk : seen)
            for (const QString &at : walk.section(": ", 1).split(' '))
                QVERIFY2(stops.contains(at), qPrintable(walk));
    }
};

QTEST_MAIN(TestTextBoxScripts)
#include "tst_textbox_scripts.moc"
