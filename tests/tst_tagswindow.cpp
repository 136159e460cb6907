// The tags window and the errors window over it: copying, saving, and the
// windows enabling each other again however they are closed.

#include "TagWindowsFixture.h"

#include <QClipboard>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QMimeData>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using ProcessTags::strErrors;
using ProcessTags::strTags;

namespace {

const QString SaveFailed = QStringLiteral(
    "The file could not be saved. This may be due to one of the following:\r\n"
    "- The file could be in use by another application\r\n"
    "- The file may be set as read-only\r\n"
    "- There may be insufficient disk space to save the file");

const char *const HtmlFilter = "HTML File (*.htm, *.html)|*.htm;*.html|Text File (*.txt)|*.txt";

// The files of a folder, so that a test sees any temporary file left behind.
QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::System | QDir::Hidden);
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

bool isDevice(const QString &path)
{
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 && S_ISCHR(info.st_mode);
}

// A copy of one of the kernel's memory devices (1,3 null, 1,7 full) in
// `folder`, so that a faulty save replaces the copy and not the system's own.
// Only root can make one; any other user cannot replace /dev entries either,
// so the system's device serves. Empty when neither is safe.
QString memoryDevice(const QString &folder, const char *name, unsigned minor)
{
    const QString copy = folder + '/' + name;
    if (::mknod(QFile::encodeName(copy).constData(), S_IFCHR | 0666, makedev(1, minor)) == 0)
        return copy;
    if (::geteuid() != 0)
        return QStringLiteral("/dev/") + name;
    return QString();
}

// Files of this process may grow to `bytes` only while it lives; a write
// beyond fails instead of raising SIGXFSZ.
struct FileSizeLimit {
    rlimit saved{};
    explicit FileSizeLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &saved);
        rlimit lowered = saved;
        lowered.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &saved); }
};

}  // namespace

class TestTagsWindow : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void init();
    void cleanup() { f.finish(); }

    void layout();
    void nameFilters_data();
    void nameFilters();
    void saveDialogFiltersAsQtReadsThem();

    void copy_data();
    void copy();
    void save_data();
    void save();
    void saveReplacesALongerFile();
    void cancelWritesNothing();
    void failedSave_data();
    void failedSave();
    void failedWriteKeepsTheOldFile();
    void deviceIsWrittenInPlace();

    void closingEnablesTheMainWindow_data();
    void closingEnablesTheMainWindow();
    void escPressesSave();
    void errorsWindowOverTags_data();
    void errorsWindowOverTags();
    void errorsWindowWithAnEmptyList();
    void reopenedWindowsShowNewTexts();

private:
    bool openTags(std::initializer_list<std::pair<const char *, QString>> fields,
                  bool includeHtml = false);
    void edit(const QString &how);
    void pressSave(const QString &fileName);
    void verifySaveFailed();

    TagWindowsFixture f;
    std::unique_ptr<QTemporaryDir> files;
};

void TestTagsWindow::init()
{
    QVERIFY(f.start());
    files = std::make_unique<QTemporaryDir>();
    QVERIFY(files->isValid());
}

bool TestTagsWindow::openTags(std::initializer_list<std::pair<const char *, QString>> fields,
                              bool includeHtml)
{
    f.generate(fields, includeHtml);
    return tagsWindowOpens();
}

// Edits typed into txtTags: "append" adds a line at the end with Ctrl+Enter,
// "shift-enter" breaks the first line with Shift+Enter.
void TestTagsWindow::edit(const QString &how)
{
    QPlainTextEdit *text = f.tagsText();
    f.focus(text);
    if (how == "append") {
        f.keyTo(f.tags(), Qt::Key_End, Qt::ControlModifier);
        QTest::keyClicks(text, "<!-- a -->");
        f.keyTo(f.tags(), Qt::Key_Return, Qt::ControlModifier);
        QTest::keyClicks(text, "b");
    } else if (how == "shift-enter") {
        f.keyTo(f.tags(), Qt::Key_Home, Qt::ControlModifier);
        f.keyTo(f.tags(), Qt::Key_Right);
        f.keyTo(f.tags(), Qt::Key_Return, Qt::ShiftModifier);
    }
}

void TestTagsWindow::pressSave(const QString &fileName)
{
    f.saveAnswer = fileName;
    QTest::mouseClick(f.tagsButton("cmdSave"), Qt::LeftButton);
}

void TestTagsWindow::verifySaveFailed()
{
    QCOMPARE(f.messages.size(), 1);
    QCOMPARE(f.messages[0].text, SaveFailed);
    QCOMPARE(f.messages[0].title, QString());
    QCOMPARE(f.messages[0].icon, QMessageBox::NoIcon);
    QVERIFY(f.tags());
    QVERIFY(f.tags()->isEnabled());
    QCOMPARE(f.tagsText()->toPlainText(), QString(strTags).replace("\r\n", "\n"));
}

void TestTagsWindow::layout()
{
    QVERIFY(openTags({}));
    frmTags *tags = f.tags();
    QCOMPARE(tags->windowTitle(), QString("Tags"));
    QCOMPARE(tags->windowType(), Qt::Tool);
    QCOMPARE(tags->minimumSize(), QSize(416, 273));
    QCOMPARE(tags->maximumSize(), tags->minimumSize());
    QPlainTextEdit *text = f.tagsText();
    QCOMPARE(text->geometry(), QRect(8, 24, 401, 217));
    QCOMPARE(text->lineWrapMode(), QPlainTextEdit::NoWrap);
    QCOMPARE(text->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QVERIFY(!text->isReadOnly());
    auto *label = f.in<QLabel>(tags, "lblTags");
    QCOMPARE(label->text(), QString("The tags you requested, served up fresh and hot..."));
    QCOMPARE(label->width(), label->sizeHint().width());

    // Tab walks the buttons in their order; the label takes no focus.
    const char *order[][2] = {{"cmdSave", "&Save To File"},
                              {"cmdClose", "Cl&ose"},
                              {"cmdCopyToClipboard", "&Copy To Clipboard"},
                              {"cmdErrors", "&Errors?"}};
    f.focus(text);
    for (const auto &[name, caption] : order) {
        f.keyTo(tags, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), f.tagsButton(name));
        QCOMPARE(f.tagsButton(name)->text(), QString(caption));
    }
    f.keyTo(tags, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), text);

    QTest::mouseClick(f.tagsButton("cmdErrors"), Qt::LeftButton);
    QTRY_VERIFY(f.errors());
    QCOMPARE(f.errors()->windowTitle(), QString("Errors"));
    QCOMPARE(f.errors()->windowType(), Qt::Tool);
    QCOMPARE(f.errors()->minimumSize(), QSize(407, 164));
    auto *errors = f.in<QPlainTextEdit>(f.errors(), "txtErrors");
    QCOMPARE(errors->geometry(), QRect(8, 8, 393, 121));
    QCOMPARE(errors->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    QVERIFY(!errors->isReadOnly());
    QCOMPARE(f.in<QPushButton>(f.errors(), "cmdClose")->text(), QString("Cl&ose"));
}

void TestTagsWindow::nameFilters_data()
{
    QTest::addColumn<QString>("pairs");
    QTest::addColumn<QStringList>("filters");
    QTest::newRow("the save dialog's")
        << HtmlFilter
        << QStringList{"HTML File (*.htm, *.html) (*.htm *.html)", "Text File (*.txt) (*.txt)"};
    QTest::newRow("one pattern") << "Web page|*.htm" << QStringList{"Web page (*.htm)"};
    QTest::newRow("description without patterns")
        << "Text|*.txt|Other" << QStringList{"Text (*.txt)"};
    QTest::newRow("empty") << "" << QStringList();
}

void TestTagsWindow::nameFilters()
{
    QFETCH(QString, pairs);
    QFETCH(QStringList, filters);
    QCOMPARE(nameFiltersFromPairs(pairs), filters);
}

// The request the window makes, given to a real Qt file dialog: its file
// list then shows the patterns Qt made of each filter.
void TestTagsWindow::saveDialogFiltersAsQtReadsThem()
{
    QVERIFY(openTags({}));
    pressSave(QString());
    QCOMPARE(f.saveRequests.size(), 1);
    const Prompts::SaveRequest request = f.saveRequests[0];
    QCOMPARE(request.title, QString("Save As"));
    QCOMPARE(request.defaultSuffix, QString("txt"));
    QCOMPARE(request.nameFilters, nameFiltersFromPairs(HtmlFilter));

    QFileDialog dialog(nullptr, request.title);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(request.nameFilters);
    dialog.selectNameFilter(request.nameFilters.front());
    auto *model = dialog.findChild<QFileSystemModel *>();
    QVERIFY(model);
    QCOMPARE(dialog.selectedNameFilter(), request.nameFilters.front());
    QCOMPARE(model->nameFilters(), QStringList({"*.htm", "*.html"}));
    dialog.selectNameFilter(request.nameFilters.back());
    QCOMPARE(model->nameFilters(), QStringList({"*.txt"}));
}

void TestTagsWindow::copy_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("includeHtml");
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QString>("expected");
    QTest::newRow("generated") << "Page Title" << true << ""
                               << "<html>\r\n<head>\r\n<title>Page Title</title>\r\n"
                                  "</head>\r\n</html>\r\n";
    QTest::newRow("empty") << "" << false << "" << "";
    QTest::newRow("edited") << "T" << false << "append"
                            << "<title>T</title>\r\n<!-- a -->\r\nb";
    QTest::newRow("line broken with Shift+Enter")
        << "T" << false << "shift-enter" << "<\r\ntitle>T</title>\r\n";
    QTest::newRow("no-break space") << QString("a\u00a0b") << false << ""
                                    << QString("<title>a\u00a0b</title>\r\n");
}

void TestTagsWindow::copy()
{
    QFETCH(QString, title);
    QFETCH(bool, includeHtml);
    QFETCH(QString, edit);
    QFETCH(QString, expected);
    QVERIFY(openTags({{"txtTitle", title}}, includeHtml));
    const QString generated = strTags;
    this->edit(edit);
    QGuiApplication::clipboard()->setText("stale");

    QTest::mouseClick(f.tagsButton("cmdCopyToClipboard"), Qt::LeftButton);
    QCOMPARE(QGuiApplication::clipboard()->text(), expected);
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    QVERIFY(data->hasText());
    QVERIFY(!data->hasHtml());
    QCOMPARE(f.messages.size(), 0);
    QVERIFY(f.tags());
    QCOMPARE(strTags, generated);
}

void TestTagsWindow::save_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("includeHtml");
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("generated") << "Page Title" << true << ""
                               << QByteArray("<html>\r\n<head>\r\n<title>Page Title</title>\r\n"
                                             "</head>\r\n</html>\r\n");
    QTest::newRow("empty") << "" << false << "" << QByteArray("");
    QTest::newRow("edited") << "T" << false << "append"
                            << QByteArray("<title>T</title>\r\n<!-- a -->\r\nb");
    // The system's code page here is UTF-8.
    QTest::newRow("beyond ASCII") << QString("Caf\u00e9 \u00a0") << false << ""
                                  << QByteArray("<title>Caf\xc3\xa9 \xc2\xa0</title>\r\n");
}

void TestTagsWindow::save()
{
    QFETCH(QString, title);
    QFETCH(bool, includeHtml);
    QFETCH(QString, edit);
    QFETCH(QByteArray, bytes);
    QVERIFY(openTags({{"txtTitle", title}}, includeHtml));
    this->edit(edit);
    const QString name = files->filePath("tags.htm");
    pressSave(name);
    QCOMPARE(f.saveRequests.size(), 1);
    QCOMPARE(f.messages.size(), 0);
    QCOMPARE(contents(name), bytes);
    QCOMPARE(filesIn(files->path()), QStringList{"tags.htm"});
    QVERIFY(f.tags());
}

void TestTagsWindow::saveReplacesALongerFile()
{
    const QString name = files->filePath("page.txt");
    QVERIFY(writeFile(name, QByteArray(500, 'x')));
    QVERIFY(openTags({{"txtTitle", "T"}}));
    pressSave(name);
    QCOMPARE(f.messages.size(), 0);
    QCOMPARE(contents(name), QByteArray("<title>T</title>\r\n"));
}

void TestTagsWindow::cancelWritesNothing()
{
    QVERIFY(openTags({{"txtTitle", "T"}}));
    const QString earlier = files->filePath("earlier.htm");
    pressSave(earlier);
    QCOMPARE(contents(earlier), QByteArray("<title>T</title>\r\n"));

    f.focus(f.tagsText());
    QTest::keyClicks(f.tagsText(), "changed");
    pressSave(QString());
    QCOMPARE(f.saveRequests.size(), 2);
    QCOMPARE(f.messages.size(), 0);
    QCOMPARE(filesIn(files->path()), QStringList{"earlier.htm"});
    QCOMPARE(contents(earlier), QByteArray("<title>T</title>\r\n"));
    QVERIFY(f.tags());
}

void TestTagsWindow::failedSave_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("folder missing") << "missing";
    QTest::newRow("name of a folder") << "folder";
    QTest::newRow("folder is a file") << "file as folder";
    QTest::newRow("read-only file") << "read-only";
    QTest::newRow("full device") << "full";
}

void TestTagsWindow::failedSave()
{
    QFETCH(QString, kind);
    const QByteArray old("older text");
    QString name;
    if (kind == "missing") {
        name = files->filePath("missing/tags.htm");
    } else if (kind == "folder") {
        name = files->filePath("folder.htm");
        QVERIFY(QDir(files->path()).mkdir("folder.htm"));
    } else if (kind == "file as folder") {
        QVERIFY(writeFile(files->filePath("plain"), old));
        name = files->filePath("plain/tags.htm");
    } else if (kind == "read-only") {
        if (::geteuid() == 0)
            QSKIP("root writes over a read-only file; the mode cannot make it fail");
        name = files->filePath("locked.htm");
        QVERIFY(writeFile(name, old));
        QVERIFY(QFile::setPermissions(name, QFile::ReadOwner));
    } else {
        name = memoryDevice(files->path(), "full", 7);
        if (name.isEmpty())
            QSKIP("cannot make a copy of the full device here");
    }
    QVERIFY(openTags({{"txtTitle", "T"}}, true));
    pressSave(name);
    verifySaveFailed();

    if (kind == "missing")
        QVERIFY(!QFileInfo::exists(files->filePath("missing")));
    else if (kind == "folder")
        QVERIFY(QFileInfo(name).isDir());
    else if (kind == "file as folder")
        QCOMPARE(contents(files->filePath("plain")), old);
    else if (kind == "read-only")
        QCOMPARE(contents(name), old);
    else
        QVERIFY(isDevice(name));
}

void TestTagsWindow::failedWriteKeepsTheOldFile()
{
    const QString name = files->filePath("tags.htm");
    const QByteArray old("older text\r\n");
    QVERIFY(writeFile(name, old));
    QVERIFY(openTags({{"txtTitle", "A title longer than the limit"}}, true));
    {
        const FileSizeLimit limit(16);
        pressSave(name);
    }
    verifySaveFailed();
    QCOMPARE(contents(name), old);
    QCOMPARE(filesIn(files->path()), QStringList{"tags.htm"});

    // The same save succeeds once the disk has room.
    pressSave(name);
    QCOMPARE(f.messages.size(), 1);
    QCOMPARE(contents(name), strTags.toUtf8());
}

void TestTagsWindow::deviceIsWrittenInPlace()
{
    const QString name = memoryDevice(files->path(), "null", 3);
    if (name.isEmpty())
        QSKIP("cannot make a copy of the null device here");
    QVERIFY(openTags({{"txtTitle", "T"}}));
    pressSave(name);
    QCOMPARE(f.messages.size(), 0);
    QVERIFY(isDevice(name));
}

void TestTagsWindow::closingEnablesTheMainWindow_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Close button") << "button";
    QTest::newRow("Enter in the text") << "enter";
    QTest::newRow("Alt+O") << "alt";
    QTest::newRow("window manager") << "window";
}

void TestTagsWindow::closingEnablesTheMainWindow()
{
    QFETCH(QString, how);
    QVERIFY(openTags({{"txtTitle", "T"}}));
    QVERIFY(!f.window->isEnabled());
    frmTags *tags = f.tags();
    f.focus(f.tagsText());
    if (how == "button")
        QTest::mouseClick(f.tagsButton("cmdClose"), Qt::LeftButton);
    else if (how == "enter")
        f.keyTo(tags, Qt::Key_Return);
    else if (how == "alt")
        f.keyTo(tags, Qt::Key_O, Qt::AltModifier);
    else
        tags->windowHandle()->close();
    QTRY_VERIFY(!f.tags());
    QVERIFY(f.window->isEnabled());
    QTRY_COMPARE(QApplication::focusWidget(), f.line("txtTitle"));
    QCOMPARE(f.saveRequests.size(), 0);
    QCOMPARE(f.messages.size(), 0);
}

void TestTagsWindow::escPressesSave()
{
    QVERIFY(openTags({{"txtTitle", "T"}}));
    f.focus(f.tagsText());
    f.keyTo(f.tags(), Qt::Key_Escape);
    QCOMPARE(f.saveRequests.size(), 1);
    QCOMPARE(f.messages.size(), 0);
    QVERIFY(f.tags());
    QVERIFY(f.tags()->isEnabled());
    QVERIFY(!f.window->isEnabled());
    QCOMPARE(filesIn(files->path()), QStringList());
}

void TestTagsWindow::errorsWindowOverTags_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Close button") << "button";
    QTest::newRow("Enter") << "enter";
    QTest::newRow("Esc") << "esc";
    QTest::newRow("Alt+O") << "alt";
    QTest::newRow("window manager") << "window";
}

void TestTagsWindow::errorsWindowOverTags()
{
    QFETCH(QString, how);
    f.box("chkTitle")->setChecked(true);
    f.box("chkKeywords")->setChecked(true);
    QVERIFY(openTags({}));
    frmTags *tags = f.tags();
    QPushButton *errorsButton = f.tagsButton("cmdErrors");
    f.focus(errorsButton);
    f.keyTo(tags, Qt::Key_Return);
    QTRY_VERIFY(f.errors());
    QVERIFY(QTest::qWaitForWindowActive(f.errors()));
    auto *list = f.in<QPlainTextEdit>(f.errors(), "txtErrors");
    QCOMPARE(list->toPlainText(), QString("Title was checked but there was no value assigned to it\n"
                                          "Keywords was checked but there was no value assigned to it\n"));
    QVERIFY(!tags->isEnabled());
    QVERIFY(!f.window->isEnabled());

    // The tags window takes nothing while the errors window is open.
    tags->windowHandle()->close();
    QVERIFY(!tags->close());
    f.keyTo(tags, Qt::Key_Escape);
    QVERIFY(f.tags());
    QCOMPARE(f.saveRequests.size(), 0);

    frmErrors *errors = f.errors();
    f.focus(list);
    if (how == "button")
        QTest::mouseClick(f.in<QPushButton>(errors, "cmdClose"), Qt::LeftButton);
    else if (how == "enter")
        f.keyTo(errors, Qt::Key_Return);
    else if (how == "esc")
        f.keyTo(errors, Qt::Key_Escape);
    else if (how == "alt")
        f.keyTo(errors, Qt::Key_O, Qt::AltModifier);
    else
        errors->windowHandle()->close();
    QTRY_VERIFY(!f.errors());
    QVERIFY(tags->isEnabled());
    QVERIFY(!f.window->isEnabled());
    QTRY_COMPARE(QApplication::focusWidget(), errorsButton);

    f.keyTo(tags, Qt::Key_Escape);
    QCOMPARE(f.saveRequests.size(), 1);
    f.focus(f.tagsText());
    f.keyTo(tags, Qt::Key_Return);
    QTRY_VERIFY(!f.tags());
    QVERIFY(f.window->isEnabled());
}

void TestTagsWindow::errorsWindowWithAnEmptyList()
{
    QVERIFY(openTags({{"txtTitle", "T"}}));
    QCOMPARE(strErrors, QString());
    f.keyTo(f.tags(), Qt::Key_E, Qt::AltModifier);
    QTRY_VERIFY(f.errors());
    QCOMPARE(f.in<QPlainTextEdit>(f.errors(), "txtErrors")->toPlainText(), QString());
    QVERIFY(!f.tags()->isEnabled());
    QCOMPARE(f.messages.size(), 0);
}

void TestTagsWindow::reopenedWindowsShowNewTexts()
{
    f.box("chkKeywords")->setChecked(true);
    QVERIFY(openTags({{"txtTitle", "First"}}));
    QPointer<frmTags> first = f.tags();
    f.focus(f.tagsText());
    QTest::keyClicks(f.tagsText(), "edit ");
    QTest::mouseClick(f.tagsButton("cmdErrors"), Qt::LeftButton);
    QTRY_VERIFY(f.errors());
    QPointer<frmErrors> firstErrors = f.errors();
    QTest::mouseClick(f.in<QPushButton>(f.errors(), "cmdClose"), Qt::LeftButton);
    QTRY_VERIFY(!f.errors());
    QTest::mouseClick(f.tagsButton("cmdClose"), Qt::LeftButton);
    QTRY_VERIFY(!f.tags());
    QTRY_VERIFY(!first);  // discarded, not hidden

    f.box("chkKeywords")->setChecked(false);
    f.box("chkCopyright")->setChecked(true);
    f.line("txtTitle")->clear();
    QVERIFY(openTags({{"txtTitle", "Second"}}));
    QCOMPARE(f.tagsText()->toPlainText(),
             QString("<title>Second</title>\n<META NAME=\"copyright\" CONTENT=\"\">\n"));
    QTest::mouseClick(f.tagsButton("cmdErrors"), Qt::LeftButton);
    QTRY_VERIFY(f.errors());
    QVERIFY(!firstErrors);
    QCOMPARE(f.in<QPlainTextEdit>(f.errors(), "txtErrors")->toPlainText(),
             QString("Copyright was checked but there was no value assigned to it\n"));
}

QTEST_MAIN(TestTagsWindow)
#include "tst_tagswindow.moc"
