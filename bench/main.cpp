// orvane-bench: how long a user waits, and how much memory the program takes.
// Prints a table of figures (median of repeated runs, with min and max) with
// the target beside each. Run it on an X server; scripts/bench starts one Xvfb
// with -noreset for the whole run.
//
//   orvane-bench [--runs N] [GROUP...]
//                                    every figure, or only the groups named:
//                                    start, build, typing, fields, generate,
//                                    emoji, resize;
//                                    each figure from N runs (15 unless told;
//                                    a few are enough while developing)
//   orvane-bench --probe NAME        (used by the start figures) start the
//                                    main window or the baseline, print the
//                                    time from process start to its first
//                                    paint, and exit

#include "Baseline.h"
#include "StartProbe.h"
#include "Stats.h"

#include "MultiLineTextBox.h"
#include "ProcessTags.h"
#include "LayoutTable.h"
#include "ProgramWiring.h"
#include "WindowControls.h"
#include "WindowSystem.h"
#include "frmMain.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QWidget>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <vector>

extern char **environ;

namespace {

long long nowNs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1000000000LL + ts.tv_nsec;
}

double msSince(long long startNs)
{
    return double(nowNs() - startNs) / 1e6;
}

// ---- Start: from process start to the first paint, and peak memory --------

int probe(const char *which, int argc, char **argv)
{
    const bool main = std::strcmp(which, "main") == 0;
    // The program's own way up, as its main() takes it: the window system
    // chosen before the application object, the key filter and the screen
    // readers' factories installed after it.
    if (main && !setUpWindowSystem(argc, argv))
        return EXIT_FAILURE;
    QApplication app(argc, argv);
    const long long spawned = std::atoll(std::getenv("ORVANE_BENCH_SPAWNED_NS"));
    return runUntilFirstPaint(app, main, [spawned] { std::printf("%lld\n", nowNs() - spawned); });
}

struct StartRun {
    double ms;
    double peakMiB;
};

std::optional<StartRun> spawnProbe(const char *self, const char *which)
{
    int out[2];
    if (pipe(out) != 0)
        return std::nullopt;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);

    const long long spawned = nowNs();
    setenv("ORVANE_BENCH_SPAWNED_NS", std::to_string(spawned).c_str(), 1);
    char *args[] = {const_cast<char *>(self), const_cast<char *>("--probe"),
                    const_cast<char *>(which), nullptr};
    pid_t pid = 0;
    const int spawnError = posix_spawn(&pid, self, &actions, nullptr, args, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (spawnError != 0) {
        close(out[0]);
        return std::nullopt;
    }
    std::string text;
    char buffer[64];
    ssize_t n = 0;
    while ((n = read(out[0], buffer, sizeof buffer)) > 0)
        text.append(buffer, size_t(n));
    close(out[0]);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    if (text.empty())
        return std::nullopt;
    return StartRun{double(std::atoll(text.c_str())) / 1e6, double(usage.ru_maxrss) / 1024.0};
}

void startFigures(const char *self, int runs)
{
    // A stored settings file, as a user who has run the program before has.
    QTemporaryDir config;
    QDir().mkpath(config.path() + QStringLiteral("/Quillfern"));
    QFile file(config.path() + QStringLiteral("/Quillfern/Orvane.conf"));
    if (file.open(QIODevice::WriteOnly))
        file.write("[DefaultItems]\nIncludeHTML=1\nTitle=1\nKeywords=1\nDescription=1\n"
                   "[StartupPosition]\nLeft=1500\nTop=1500\n");
    file.close();
    setenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()).constData(), 1);

    Samples mainMs, baseMs, mainMiB, baseMiB;
    for (int i = 0; i < runs; ++i) {
        for (const char *which : {"main", "baseline"}) {
            const auto run = spawnProbe(self, which);
            if (!run) {
                std::fprintf(stderr, "the %s probe did not paint\n", which);
                continue;
            }
            const bool main = std::strcmp(which, "main") == 0;
            (main ? mainMs : baseMs).add(run->ms);
            (main ? mainMiB : baseMiB).add(run->peakMiB);
        }
    }
    const double startRatio = mainMs.median() / baseMs.median();
    const double memoryRatio = mainMiB.median() / baseMiB.median();
    printRow("Start to first paint: Orvane", mainMs, "ms", "", "");
    printRow("Start to first paint: baseline Qt window", baseMs, "ms", "", "");
    printRow("Start ratio (Orvane / baseline)", Samples{{startRatio}}, "x", "<= 1.10 x",
             startRatio <= 1.10 ? "yes" : "NO");
    printRow("Peak memory: Orvane", mainMiB, "MiB", "", "");
    printRow("Peak memory: baseline Qt window", baseMiB, "MiB", "", "");
    printRow("Peak memory ratio (Orvane / baseline)", Samples{{memoryRatio}}, "x", "<= 1.10 x",
             memoryRatio <= 1.10 ? "yes" : "NO");
}

// ---- The tag builder alone -------------------------------------------------

class MapControls final : public ProcessTags::ItemControls {
public:
    QHash<QString, QString> texts;
    int checkValue(const QString &) const override { return ProcessTags::Ticked; }
    void setCheckValue(const QString &, int) override {}
    QString text(const QString &name) const override { return texts.value(name); }
};

// Words and blanks, as a pasted text has them, `size` characters long.
QString sampleText(qsizetype size, bool lineBreaks)
{
    static const char *const words[] = {"tags", "page", "head", "title", "meta", "quill",
                                        "fern", "index", "robot", "words"};
    QString text;
    text.reserve(size + 8);
    qsizetype lineLength = 0;
    for (unsigned i = 0; text.size() < size; ++i) {
        text += QLatin1String(words[(i * 7u + i / 3u) % 10u]);
        lineLength += 6;
        if (lineBreaks && lineLength > 70) {
            text += QLatin1Char('\n');
            lineLength = 0;
        } else {
            text += QLatin1Char(' ');
        }
    }
    text.truncate(size);
    return text;
}

// One line of `size` characters, of words with blanks between them or run
// together with no blank at all.
QString sampleLine(qsizetype size, bool blanks)
{
    QString line = sampleText(size, false);
    if (!blanks)
        line.replace(QLatin1Char(' '), QLatin1Char('e'));
    return line;
}

void printMs(const std::string &label, const Samples &ms, double targetMs)
{
    char target[32];
    std::snprintf(target, sizeof target, "<= %g ms", targetMs);
    printRow(label, ms, "ms", target, ms.median() <= targetMs ? "yes" : "NO");
}

// Keeps the compiler from dropping a copy that nothing reads.
void keep(const void *data)
{
    asm volatile("" : : "r"(data) : "memory");
}

// BuildTags against the fastest it could be: copying the same characters
// with memcpy into fresh memory, after letting the previous copy go, as
// BuildTags lets the previous tags go and writes into a fresh string. Both
// run in turn in the same loop, so that both see the machine as it is.
void buildTagsFigures(int runs)
{
    MapControls form;
    const QString value = sampleText(8 << 20, false);
    for (const ProcessTags::TagItem &item : ProcessTags::Catalogue) {
        if (item.valueField)
            form.texts.insert(QLatin1String(item.valueField), value);
        if (item.optionalField)
            form.texts.insert(QLatin1String(item.optionalField), value);
    }
    Samples build, copy;
    std::unique_ptr<char[]> copied;
    for (int i = 0; i < runs; ++i) {
        long long start = nowNs();
        ProcessTags::BuildTags(form);
        // One byte a character: the size of the text as it is saved.
        const double characters = double(ProcessTags::strTags.size());
        build.add(characters / 1e6 / (msSince(start) / 1000.0));

        const size_t bytes = size_t(ProcessTags::strTags.size()) * sizeof(QChar);
        start = nowNs();
        copied.reset();
        copied.reset(new char[bytes]);
        std::memcpy(copied.get(), ProcessTags::strTags.constData(), bytes);
        keep(copied.get());
        copy.add(characters / 1e6 / (msSince(start) / 1000.0));
    }
    // BuildTags writes each character once into a string of its final size,
    // as the copy does; half the copy's speed leaves room for reading the
    // fields and the templates, and still catches any second pass over the
    // text (a string that grows and moves, a conversion).
    const double ratio = build.median() / copy.median();
    printRow("BuildTags, 8 MiB in every field (MB of tags/s)", build, "MB/s", "", "");
    printRow("memcpy of the same characters (MB/s)", copy, "MB/s", "", "");
    printRow("BuildTags ratio (BuildTags / memcpy)", Samples{{ratio}}, "x", ">= 0.50 x",
             ratio >= 0.5 ? "yes" : "NO");
}

// ---- Windows: generating, typing -----------------------------------------

struct LongLine {
    qsizetype size;
    const char *name;
    double pasteMs;     // until the field is painted again
    double generateMs;  // until the tags window is painted
};
const LongLine LongLines[] = {{1 << 20, "1 MiB", 100, 1000}, {10'000'000, "10 MB", 2000, 2000}};
const LongLine &OneMiB = LongLines[0];
const LongLine &TenMB = LongLines[1];

// A keystroke takes no longer than a frame at 60 Hz, whatever the length of
// the line it lands in.
const double KeystrokeMs = 16;

// Lines of real words in two scripts that are shaped, not drawn one
// character at a time: Arabic (joined letters, right to left) and
// Devanagari (conjuncts, vowel signs), blanks between the words.
struct Script {
    const char *name;
    const char *words;
    char16_t letter;  // typed at the end
};
const Script Scripts[] = {
    {"Arabic", "السلام عليكم هذه صفحة عنوان الكتاب في مدينة جميلة ", u'\u0628'},
    {"Devanagari", "क्षत्रिय हिन्दी पृष्ठ का शीर्षक और विवरण नमस्ते दुनिया ", u'\u0915'},
};

QString scriptLine(qsizetype size, const Script &script)
{
    const QString words = QString::fromUtf8(script.words);
    QString line;
    line.reserve(size + words.size());
    while (line.size() < size)
        line += words;
    line.truncate(size);
    return line;
}

frmMain *openMainWindow()
{
    frmMain *window = showWindow<frmMain>();
    if (!QTest::qWaitForWindowExposed(window))
        std::fprintf(stderr, "the main window was not shown\n");
    return window;
}

void fillEveryField(frmMain *window, const QString &value, const QString &description)
{
    for (const ProcessTags::TagItem &item : ProcessTags::Catalogue) {
        for (const char *field : {item.valueField, item.optionalField})
            if (field)
                window->controls().setText(QLatin1String(field), value);
        window->controls().setCheckValue(item.checkBoxName(), ProcessTags::Ticked);
    }
    window->controls().setText(QStringLiteral("txtDescription"), description);
}

// From pressing "Generate Tags" to the first paint of the tags window.
Samples generateToPaint(frmMain *window, int runs)
{
    Samples ms;
    for (int i = 0; i < runs; ++i) {
        long long start = 0;
        double elapsed = -1;
        FirstPaint painted(QStringLiteral("frmTags"), [&] { elapsed = msSince(start); });
        start = nowNs();
        window->control<QPushButton>("cmdGenerateTags")->click();
        const long long giveUp = nowNs() + 10'000'000'000LL;
        while (!painted.seen() && nowNs() < giveUp)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        if (elapsed >= 0)
            ms.add(elapsed);
        for (QWidget *top : QApplication::topLevelWidgets())
            if (top->objectName() == QLatin1String("frmTags"))
                top->close();
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return ms;
}

void generateFigures(int runs)
{
    frmMain *window = openMainWindow();
    const QString value = sampleText(64 << 10, false);
    fillEveryField(window, value, value);
    printMs("Generate to tags window painted, 64 KiB fields", generateToPaint(window, runs), 100);

    fillEveryField(window, value, sampleText(1 << 20, true));
    printMs("Generate, 1 MiB description", generateToPaint(window, runs), 500);

    // The tags window shows the description's line whole, unwrapped.
    for (const LongLine &line : LongLines) {
        for (const bool blanks : {true, false}) {
            fillEveryField(window, value, sampleLine(line.size, blanks));
            printMs(std::string("Generate, ") + line.name +
                        (blanks ? " line, blanks" : " line, no blank"),
                    generateToPaint(window, runs), line.generateMs);
        }
    }
    for (const Script &script : Scripts) {
        fillEveryField(window, value, scriptLine(OneMiB.size, script));
        printMs(std::string("Generate, ") + OneMiB.name + " " + script.name + " line",
                generateToPaint(window, runs), OneMiB.generateMs);
    }
    // A title of 10 MB with no blank, shown by the main window while the
    // tags window opens, and twice in the tags (the title and DC.Title).
    fillEveryField(window, value, value);
    window->controls().setText(QStringLiteral("txtTitle"), sampleLine(TenMB.size, false));
    printMs(std::string("Generate, ") + TenMB.name + " title, no blank",
            generateToPaint(window, runs), TenMB.generateMs);
    delete window;
}

// The keys for the end of a control's text: a multi-line box's last line
// may be broken into many rows.
void moveToEnd(QWidget *control)
{
    if (qobject_cast<MultiLineTextBox *>(control) || qobject_cast<QPlainTextEdit *>(control))
        QTest::keyClick(control, Qt::Key_End, Qt::ControlModifier);
    else
        QTest::keyClick(control, Qt::Key_End);
}

// How the figures reach a control's text: the program's fields through
// the windows' own access, Qt's line edit directly.
struct TextAccess {
    std::function<void(const QString &)> set;
    std::function<qsizetype()> length;
};

TextAccess fieldText(QWidget *field)
{
    return {[field](const QString &text) { setControlText(field, text); },
            [field] { return controlText(field).size(); }};
}

TextAccess lineEditText(QLineEdit *edit)
{
    return {[edit](const QString &text) { edit->setText(text); },
            [edit] { return edit->text().size(); }};
}

// Warns when the keys did not do what the figure claims to measure.
void expectLength(const TextAccess &access, qsizetype length)
{
    const qsizetype actual = access.length();
    if (actual != length)
        std::fprintf(stderr, "the control holds %lld characters, not %lld\n",
                     static_cast<long long>(actual), static_cast<long long>(length));
}

// One keystroke at the end of a control that already holds `text`: the key
// handled, the tick rule run, and the window repainted. A letter (of the
// text's own script), then Backspace, and again.
Samples keystrokes(QWidget *control, const TextAccess &access, const QString &text, int runs,
                   QChar letter = QLatin1Char('a'))
{
    access.set(text);
    control->setFocus();
    moveToEnd(control);
    QCoreApplication::processEvents();
    Samples ms;
    for (int i = 0; i < runs; ++i) {
        const long long start = nowNs();
        if (i % 2)
            QTest::keyClick(control, Qt::Key_Backspace);
        else
            QTest::sendKeyEvent(QTest::Click, control, Qt::Key_unknown, letter, Qt::NoModifier);
        QCoreApplication::processEvents();
        ms.add(msSince(start));
        if (i == 0)
            expectLength(access, text.size() + 1);
    }
    return ms;
}

// From Ctrl+V of one long line into an empty control to the window painted
// again, ready for the next key.
Samples pastes(QWidget *control, const TextAccess &access, const QString &line, int runs)
{
    QGuiApplication::clipboard()->setText(line);
    control->setFocus();
    Samples ms;
    for (int i = 0; i < runs; ++i) {
        access.set(QString());
        QCoreApplication::processEvents();
        const long long start = nowNs();
        QTest::keyClick(control, Qt::Key_V, Qt::ControlModifier);
        QCoreApplication::processEvents();
        ms.add(msSince(start));
    }
    expectLength(access, line.size());
    return ms;
}

// From a drop of long text from another program into an empty control (on
// its viewport, where it has one) to the window painted again.
Samples drops(QWidget *control, const TextAccess &access, const QString &text, int runs)
{
    auto *area = qobject_cast<QAbstractScrollArea *>(control);
    QWidget *target = area ? area->viewport() : control;
    QMimeData data;
    data.setText(text);
    Samples ms;
    for (int i = 0; i < runs; ++i) {
        access.set(QString());
        QCoreApplication::processEvents();
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        const long long start = nowNs();
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
        QCoreApplication::processEvents();
        ms.add(msSince(start));
    }
    expectLength(access, text.size());
    return ms;
}

Samples keystrokesInField(const char *field, const QString &text, int runs,
                          QChar letter = QLatin1Char('a'))
{
    frmMain *window = openMainWindow();
    auto *control = window->control<QWidget>(field);
    Samples ms = keystrokes(control, fieldText(control), text, runs, letter);
    delete window;
    return ms;
}

Samples pastesInField(const char *field, const QString &line, int runs)
{
    frmMain *window = openMainWindow();
    auto *control = window->control<QWidget>(field);
    Samples ms = pastes(control, fieldText(control), line, runs);
    delete window;
    return ms;
}

void printRatio(const std::string &label, const Samples &measured, const Samples &baseline,
                double targetRatio)
{
    const double ratio = measured.median() / baseline.median();
    char target[32];
    std::snprintf(target, sizeof target, "<= %.2f x", targetRatio);
    printRow(label, Samples{{ratio}}, "x", target, ratio <= targetRatio ? "yes" : "NO");
}

// A keystroke in the description, and the same against a keystroke in a
// one-line field that holds a short text, measured just before. A key lays
// out again no more than the piece of a long line it lands in (at most 4,096
// characters: about 0.5 ms with blanks, as much as five keys in a short
// field) and draws the box's few visible rows. More than ten times a short
// field's key is more work than that at each key; a piece with no blank at
// all, which Qt wraps in time that grows faster than its length (1.3 ms),
// shows as such.
void descriptionKeystroke(int runs, const QString &text, const std::string &label, double targetMs,
                          const Samples &shortField, QChar letter = QLatin1Char('a'))
{
    const Samples ms = keystrokesInField("txtDescription", text, runs, letter);
    printMs(label, ms, targetMs);
    printRatio("  against a short title", ms, shortField, 10);
}

void typingFigures(int runs)
{
    const Samples shortTitle = keystrokesInField("txtTitle", QStringLiteral("Page Title"), runs);
    printRow("Keystroke, title holding \"Page Title\"", shortTitle, "ms", "", "");
    descriptionKeystroke(runs, sampleText(1 << 20, true), "Keystroke, 1 MiB description in lines",
                         2, shortTitle);
    for (const bool blanks : {true, false}) {
        const char *kind = blanks ? " line, blanks" : " line, no blank";
        descriptionKeystroke(runs, sampleLine(OneMiB.size, blanks),
                             std::string("Keystroke, 1 MiB") + kind, KeystrokeMs, shortTitle);
        for (const LongLine &line : LongLines)
            printMs(std::string("Paste ") + line.name + kind,
                    pastesInField("txtDescription", sampleLine(line.size, blanks), runs),
                    line.pasteMs);
    }
    for (const Script &script : Scripts) {
        const QString line = scriptLine(OneMiB.size, script);
        const std::string kind = std::string(" ") + script.name + " line";
        descriptionKeystroke(runs, line, std::string("Keystroke, 1 MiB") + kind, KeystrokeMs,
                             shortTitle, QChar(script.letter));
        printMs(std::string("Paste 1 MiB") + kind, pastesInField("txtDescription", line, runs),
                OneMiB.pasteMs);
    }
}

// The one-line fields: a text box, and the text of the robot combo box,
// each with one unbroken line.
void fieldFigures(int runs)
{
    const std::pair<const char *, const char *> fields[] = {{"txtTitle", "title"},
                                                            {"cboRobot", "robot combo"}};
    for (const auto &[field, name] : fields) {
        for (const LongLine &line : LongLines) {
            const QString text = sampleLine(line.size, false);
            const std::string kind = std::string(", ") + name + ", " + line.name;
            printMs("Keystroke" + kind, keystrokesInField(field, text, runs), KeystrokeMs);
            printMs("Paste" + kind, pastesInField(field, text, runs), line.pasteMs);
        }
    }
    // For comparison, in the same run: Qt's own one-line box, which lays
    // out its whole text at every change, in a window of its own with the
    // field's size and font (at 1 MiB only: at 10 MB a key takes seconds).
    QWidget window;
    window.resize(380, 60);
    auto *edit = new QLineEdit(&window);
    edit->setFont(dialogFont());
    edit->setMaxLength(std::numeric_limits<int>::max());
    edit->setGeometry(88, 8, 281, 19);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        std::fprintf(stderr, "the QLineEdit window was not shown\n");
    const QString text = sampleLine(OneMiB.size, false);
    printRow("Keystroke, Qt's QLineEdit, 1 MiB",
             keystrokes(edit, lineEditText(edit), text, runs), "ms", "", "");
    printRow("Paste, Qt's QLineEdit, 1 MiB", pastes(edit, lineEditText(edit), text, runs), "ms",
             "", "");

    // A drop of 1 MiB from another program into the title and into the
    // description, against the same drop into Qt's boxes in the same run.
    const Samples editDrops = drops(edit, lineEditText(edit), text, runs);
    printRow("Drop, Qt's QLineEdit, 1 MiB", editDrops, "ms", "", "");
    auto *textEdit = new QTextEdit(&window);
    textEdit->setGeometry(88, 8, 281, 44);
    textEdit->show();
    const QString lines = sampleText(1 << 20, true);
    const Samples textEditDrops =
        drops(textEdit, {[textEdit](const QString &t) { textEdit->setPlainText(t); },
                         [textEdit] { return textEdit->toPlainText().size(); }}, lines, runs);
    printRow("Drop, Qt's QTextEdit, 1 MiB in lines", textEditDrops, "ms", "", "");
    for (const auto &[field, name, qt, qtDrops, dropped] :
         {std::tuple{"txtTitle", "title, 1 MiB", "QLineEdit", &editDrops, &text},
          std::tuple{"txtDescription", "description, 1 MiB in lines", "QTextEdit", &textEditDrops, &lines}}) {
        frmMain *main = openMainWindow();
        auto *control = main->control<QWidget>(field);
        const Samples ms = drops(control, fieldText(control), *dropped, runs);
        delete main;
        printRow(std::string("Drop, ") + name, ms, "ms", "", "");
        printRatio(std::string("  against Qt's ") + qt, ms, *qtDrops, 1);
    }
}

// ---- Emoji: a line a colour font draws --------------------------------------

// Emoji of every kind: faces, a skin tone, a family joined into one, flags,
// a heart asked for in colour, blanks now and then. `size` UTF-16 units.
QString emojiLine(qsizetype size)
{
    const QString emoji = QString::fromUtf8(
        "\U0001F600\U0001F389\U0001F44D\U0001F3FD\U0001F468\u200D\U0001F469\u200D\U0001F467"
        "\U0001F1EB\U0001F1F7\U0001F431\u2764\uFE0F\U0001F680\U0001F30D\U0001F355 ");
    QString line;
    while (line.size() + emoji.size() <= size)
        line += emoji;
    return line + QString(size - line.size(), QLatin1Char('e'));
}

// A key at the end of the title and of the description, each holding one
// line of emoji, against Qt's own box of the same kind, size and font in a
// window of its own, in the same run.
void emojiFigures(int runs)
{
    const QString line = emojiLine(5000);
    struct Field {
        const char *name;
        const char *label;
        std::function<QWidget *(QWidget *)> qtBox;
        std::function<TextAccess(QWidget *)> qtAccess;
    };
    const Field fields[] = {
        {"txtTitle", "title",
         [](QWidget *parent) {
             auto *edit = new QLineEdit(parent);
             edit->setMaxLength(std::numeric_limits<int>::max());
             return edit;
         },
         [](QWidget *box) { return lineEditText(static_cast<QLineEdit *>(box)); }},
        {"txtDescription", "description",
         [](QWidget *parent) { return new QPlainTextEdit(parent); },
         [](QWidget *box) {
             auto *edit = static_cast<QPlainTextEdit *>(box);
             return TextAccess{[edit](const QString &text) { edit->setPlainText(text); },
                               [edit] { return qsizetype(edit->toPlainText().size()); }};
         }},
    };
    for (const Field &field : fields) {
        frmMain *window = openMainWindow();
        auto *control = window->control<QWidget>(field.name);
        const QSize size = control->size();
        const QFont font = control->font();
        const Samples ours = keystrokes(control, fieldText(control), line, runs);
        delete window;

        QWidget qtWindow;
        qtWindow.resize(size + QSize(16, 16));
        QWidget *qtBox = field.qtBox(&qtWindow);
        qtBox->setFont(font);
        qtBox->setGeometry(QRect(QPoint(8, 8), size));
        qtWindow.show();
        if (!QTest::qWaitForWindowExposed(&qtWindow))
            std::fprintf(stderr, "the window of Qt's box was not shown\n");
        const Samples qt = keystrokes(qtBox, field.qtAccess(qtBox), line, runs);

        const std::string kind = std::string(", ") + field.label + ", 5,000 units of emoji";
        printMs("Keystroke" + kind, ours, KeystrokeMs);
        printRow(std::string("  Qt's ") + qtBox->metaObject()->className() + " beside it", qt,
                 "ms", "", "");
        printRatio("  ratio (Orvane / Qt)", ours, qt, 1.0);
    }
}

// ---- Resize: a wrapping box made narrower and wider -------------------------

// From a resize of the description to the box painted again, holding `text`:
// two steps each of 24 pixels, narrower and back, in turn.
Samples resizes(const QString &text, int runs)
{
    frmMain *window = openMainWindow();
    auto *control = window->control<QWidget>("txtDescription");
    setControlText(control, text);
    QCoreApplication::processEvents();
    const QSize size = control->size();
    Samples ms;
    for (int i = 0; i < runs; ++i) {
        const long long start = nowNs();
        control->resize(size - QSize(i % 2 ? 0 : 24, 0));
        QCoreApplication::processEvents();
        ms.add(msSince(start));
    }
    delete window;
    return ms;
}

// Chinese, which has no blank to cut a long line at: the rows of every
// piece change with the width, where they are cut does not. Against the same
// box holding one piece's worth of the same text (all that a resize lays out
// again), in the same run.
void resizeFigures(int runs)
{
    const QString words = QString::fromUtf8(
        "\u6807\u9898\u4e0e\u63cf\u8ff0\u662f\u8fd9\u4e2a\u9875\u9762\u7684\u5934\u90e8\u3002");
    QString line;
    line.reserve(10'000'000 + words.size());
    while (line.size() < 10'000'000)
        line += words;
    const Samples whole = resizes(line, runs);
    const Samples piece = resizes(line.left(4096), runs);
    printMs("Resize, description, 10 MB Chinese line", whole, KeystrokeMs);
    printRow("  holding 4,096 units of it", piece, "ms", "", "");
    printRatio("  ratio (10 MB / 4,096 units)", whole, piece, 2.0);
}

}  // namespace

int main(int argc, char *argv[])
{
    if (argc == 3 && std::strcmp(argv[1], "--probe") == 0)
        return probe(argv[2], argc, argv);

    int runs = 15;
    std::vector<std::string> groups;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
        else
            groups.emplace_back(argv[i]);
    }
    const auto wanted = [&](const char *group) {
        return groups.empty() || std::find(groups.begin(), groups.end(), group) != groups.end();
    };
    std::printf("Orvane benchmark: %d runs a figure, Qt %s, platform %s\n\n", runs, qVersion(),
                std::getenv("DISPLAY") ? "xcb" : "(no DISPLAY)");
    printHeader();
    if (wanted("start"))
        startFigures(argv[0], runs);

    QApplication app(argc, argv);
    installProgramWiring();
    if (wanted("build"))
        buildTagsFigures(runs);
    if (wanted("typing"))
        typingFigures(runs);
    if (wanted("fields"))
        fieldFigures(runs);
    if (wanted("generate"))
        generateFigures(runs);
    if (wanted("emoji"))
        emojiFigures(runs);
    if (wanted("resize"))
        resizeFigures(runs);
    return 0;
}
