// orvane-bench: how long a user waits, and how much memory the program takes.
// Prints a table of figures (median of repeated runs, with min and max) with
// the target beside each. Run it on an X server; scripts/bench starts one Xvfb
// with -noreset for the whole run.
//
//   orvane-bench [GROUP...]          every figure, or only the groups named:
//                                    start, build, typing, generate
//   orvane-bench --probe NAME        (used by the start figures) start the
//                                    main window or the baseline, print the
//                                    time from process start to its first
//                                    paint, and exit

#include "Baseline.h"
#include "Stats.h"

#include "MultiLineTextBox.h"
#include "ProcessTags.h"
#include "ProgramWiring.h"
#include "frmMain.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <optional>

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

// Calls back once, at the first paint of any widget of the named window.
class FirstPaint : public QObject {
public:
    FirstPaint(QString windowName, std::function<void()> onPaint)
        : windowName_(std::move(windowName)), onPaint_(std::move(onPaint))
    {
        qApp->installEventFilter(this);
    }
    bool seen() const { return seen_; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (!seen_ && event->type() == QEvent::Paint && watched->isWidgetType() &&
            static_cast<QWidget *>(watched)->window()->objectName() == windowName_) {
            seen_ = true;
            onPaint_();
        }
        return false;
    }

private:
    QString windowName_;
    std::function<void()> onPaint_;
    bool seen_ = false;
};

// ---- Start: from process start to the first paint, and peak memory --------

int probe(const char *which, int argc, char **argv)
{
    QApplication app(argc, argv);
    const long long spawned = std::atoll(std::getenv("ORVANE_BENCH_SPAWNED_NS"));
    const bool main = std::strcmp(which, "main") == 0;
    FirstPaint painted(main ? QStringLiteral("frmMain") : QStringLiteral("Baseline"), [spawned] {
        std::printf("%lld\n", nowNs() - spawned);
        std::fflush(stdout);
        std::_Exit(0);  // no teardown: only the way up is measured
    });
    if (main) {
        showWindow<frmMain>();
    } else {
        QWidget *baseline = makeBaselineWindow();
        baseline->setObjectName(QStringLiteral("Baseline"));
        baseline->show();
    }
    return app.exec();
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

void buildTagsFigure(int runs)
{
    MapControls form;
    const QString value = sampleText(8 << 20, false);
    for (const ProcessTags::TagItem &item : ProcessTags::Catalogue) {
        if (item.valueField)
            form.texts.insert(QLatin1String(item.valueField), value);
        if (item.optionalField)
            form.texts.insert(QLatin1String(item.optionalField), value);
    }
    Samples throughput;
    for (int i = 0; i < runs; ++i) {
        const long long start = nowNs();
        ProcessTags::BuildTags(form);
        const double seconds = msSince(start) / 1000.0;
        // One byte a character: the size of the text as it is saved.
        throughput.add(double(ProcessTags::strTags.size()) / 1e6 / seconds);
    }
    printRow("BuildTags, 8 MiB in every field (MB of tags/s)", throughput, "MB/s", ">= 1000 MB/s",
             throughput.median() >= 1000 ? "yes" : "NO");
}

// ---- Windows: generating, typing -----------------------------------------

struct LongLine {
    qsizetype size;
    const char *name;
    double pasteMs;     // until the description is painted again
    double generateMs;  // until the tags window is painted
};
const LongLine LongLines[] = {{1 << 20, "1 MiB", 100, 1000}, {10'000'000, "10 MB", 2000, 2000}};

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
    delete window;
}

// One keystroke at the end of a description that already holds 1 MiB: the
// key handled, the tick rule run, and the window repainted.
void typingFigure(int runs, const QString &text, const std::string &label, double targetMs)
{
    frmMain *window = openMainWindow();
    auto *description = window->control<MultiLineTextBox>("txtDescription");
    description->setText(text);
    description->setCursor(description->lines().end());
    description->setFocus();
    QCoreApplication::processEvents();
    Samples ms;
    for (int i = 0; i < runs; ++i) {
        const long long start = nowNs();
        QTest::keyClick(description, i % 2 ? Qt::Key_Backspace : Qt::Key_A);
        QCoreApplication::processEvents();
        ms.add(msSince(start));
    }
    printMs(label, ms, targetMs);
    delete window;
}

// From Ctrl+V of one long line into the empty description to the window
// painted again, ready for the next key.
void pasteFigure(int runs, const QString &line, const std::string &label, double targetMs)
{
    frmMain *window = openMainWindow();
    auto *description = window->control<MultiLineTextBox>("txtDescription");
    QGuiApplication::clipboard()->setText(line);
    description->setFocus();
    Samples ms;
    for (int i = 0; i < runs; ++i) {
        description->setText(QString());
        QCoreApplication::processEvents();
        const long long start = nowNs();
        QTest::keyClick(description, Qt::Key_V, Qt::ControlModifier);
        QCoreApplication::processEvents();
        ms.add(msSince(start));
    }
    printMs(label, ms, targetMs);
    delete window;
}

void typingFigures(int runs)
{
    typingFigure(runs, sampleText(1 << 20, true), "Keystroke, 1 MiB description in lines", 2);
    for (const bool blanks : {true, false}) {
        const char *kind = blanks ? " line, blanks" : " line, no blank";
        typingFigure(runs, sampleLine(1 << 20, blanks), std::string("Keystroke, 1 MiB") + kind, 16);
        for (const LongLine &line : LongLines)
            pasteFigure(runs, sampleLine(line.size, blanks), std::string("Paste ") + line.name + kind,
                        line.pasteMs);
    }
}

}  // namespace

int main(int argc, char *argv[])
{
    if (argc == 3 && std::strcmp(argv[1], "--probe") == 0)
        return probe(argv[2], argc, argv);

    const int runs = 15;
    const auto wanted = [&](const char *group) {
        if (argc < 2)
            return true;
        for (int i = 1; i < argc; ++i)
            if (std::strcmp(argv[i], group) == 0)
                return true;
        return false;
    };
    std::printf("Orvane benchmark: %d runs a figure, Qt %s, platform %s\n\n", runs, qVersion(),
                std::getenv("DISPLAY") ? "xcb" : "(no DISPLAY)");
    printHeader();
    if (wanted("start"))
        startFigures(argv[0], runs);

    QApplication app(argc, argv);
    installProgramWiring();
    if (wanted("build"))
        buildTagsFigure(runs);
    if (wanted("typing"))
        typingFigures(runs);
    if (wanted("generate"))
        generateFigures(runs);
    return 0;
}
