// The generate command: the one input it refuses, and the tags window it
// opens over the disabled main window.

#include "TagWindowsFixture.h"

using ProcessTags::strErrors;
using ProcessTags::strTags;

namespace {

const QString SecondsRequired = QStringLiteral("A refresh seconds value is required");

}  // namespace

class TestGenerate : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void init() { QVERIFY(f.start()); }
    void cleanup() { f.finish(); }

    void refusedWithoutSeconds();
    void refusalKeepsThePreviousTexts();
    void secondsThatPass_data();
    void secondsThatPass();
    void secondsNotLookedAtUnlessTicked_data();
    void secondsNotLookedAtUnlessTicked();
    void workedExample();
    void nothingTicked();
    void mainWindowWaitsForTheTagsWindow();

private:
    TagWindowsFixture f;
};

void TestGenerate::refusedWithoutSeconds()
{
    QLineEdit *url = f.line("txtRefreshURL");
    f.type(url, "https://www.example.com");
    QVERIFY(f.box("chkRefresh")->isChecked());
    QWidget *focusAtMessage = nullptr;
    Prompts::Hooks hooks;
    hooks.message = [&](const Prompts::Message &m) {
        f.messages << m;
        focusAtMessage = QApplication::focusWidget();
    };
    Prompts::setHooks(hooks);

    f.key(Qt::Key_G, Qt::AltModifier);
    QTRY_COMPARE(f.messages.size(), 1);
    QCOMPARE(f.messages[0].text, SecondsRequired);
    QCOMPARE(f.messages[0].title, QString("Processing Error"));
    QCOMPARE(f.messages[0].icon, QMessageBox::Warning);
    // The focus moves once the message is closed.
    QCOMPARE(focusAtMessage, url);
    QTRY_COMPARE(QApplication::focusWidget(), f.line("txtRefreshSeconds"));
    QVERIFY(!f.tags());
    QVERIFY(f.window->isEnabled());

    // Enter asks again: nothing was left half done.
    f.key(Qt::Key_Return);
    QCOMPARE(f.messages.size(), 2);
    QVERIFY(!f.tags());
}

void TestGenerate::refusalKeepsThePreviousTexts()
{
    f.type(f.line("txtTitle"), "Earlier");
    f.box("chkKeywords")->setChecked(true);
    f.key(Qt::Key_G, Qt::AltModifier);
    QVERIFY(tagsWindowOpens());
    const QString tags = strTags;
    const QString errors = strErrors;
    QCOMPARE(tags, QString("<title>Earlier</title>\r\n<META NAME=\"keywords\" CONTENT=\"\">\r\n"));
    QCOMPARE(errors, QString("Keywords was checked but there was no value assigned to it\r\n"));
    QTest::mouseClick(f.tagsButton("cmdClose"), Qt::LeftButton);
    QTRY_VERIFY(!f.tags());
    QVERIFY(f.window->isEnabled());
    QVERIFY(QTest::qWaitForWindowActive(f.window));

    f.type(f.line("txtRefreshURL"), "x");
    f.type(f.line("txtTitle"), " changed");
    f.key(Qt::Key_Return);
    QCOMPARE(f.messages.size(), 1);
    QCOMPARE(f.messages[0].text, SecondsRequired);
    QCOMPARE(strTags, tags);
    QCOMPARE(strErrors, errors);
    QVERIFY(!f.tags());
}

void TestGenerate::secondsThatPass_data()
{
    QTest::addColumn<QString>("seconds");
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("line");
    QTest::newRow("one blank") << " " << "" << "<META HTTP-EQUIV=\"refresh\" CONTENT=\" \">\r\n";
    QTest::newRow("letters") << "abc" << "" << "<META HTTP-EQUIV=\"refresh\" CONTENT=\"abc\">\r\n";
    QTest::newRow("letters and address")
        << "abc" << "next.htm" << "<META HTTP-EQUIV=\"refresh\" CONTENT=\"abc; URL=next.htm\">\r\n";
}

void TestGenerate::secondsThatPass()
{
    QFETCH(QString, seconds);
    QFETCH(QString, url);
    QFETCH(QString, line);
    f.generate({{"txtRefreshURL", url}, {"txtRefreshSeconds", seconds}});
    QVERIFY(tagsWindowOpens());
    QCOMPARE(f.messages.size(), 0);
    QCOMPARE(strTags, line);
    QCOMPARE(f.tagsText()->toPlainText(), QString(line).replace("\r\n", "\n"));
    QVERIFY(!f.window->isEnabled());
}

void TestGenerate::secondsNotLookedAtUnlessTicked_data()
{
    QTest::addColumn<int>("refresh");
    QTest::newRow("unticked") << int(ProcessTags::Unticked);
    QTest::newRow("greyed") << int(ProcessTags::Greyed);
}

// The address ticks Refresh; the box is then set by hand, seconds still empty.
void TestGenerate::secondsNotLookedAtUnlessTicked()
{
    QFETCH(int, refresh);
    f.type(f.line("txtRefreshURL"), "https://www.example.com");
    f.type(f.line("txtTitle"), "T");
    f.window->form().setCheckValue("chkRefresh", refresh);
    f.key(Qt::Key_G, Qt::AltModifier);
    QVERIFY(tagsWindowOpens());
    QCOMPARE(f.messages.size(), 0);
    QCOMPARE(strTags, QString("<title>T</title>\r\n"));
    QCOMPARE(strErrors, QString());
}

void TestGenerate::workedExample()
{
    f.generate({{"txtTitle", "Page Title"}, {"txtRefreshSeconds", "12"}, {"cboRobot", "NONE"}},
               true);
    for (const char *name : {"chkIncludeHTML", "chkTitle", "chkRefresh", "chkRobot"})
        QVERIFY2(f.box(name)->isChecked(), name);
    QVERIFY(tagsWindowOpens());
    const QString expected = "<html>\r\n<head>\r\n<title>Page Title</title>\r\n"
                             "<META HTTP-EQUIV=\"refresh\" CONTENT=\"12\">\r\n"
                             "<META NAME=\"Robot\" CONTENT=\"NONE\">\r\n</head>\r\n</html>\r\n";
    QCOMPARE(strTags, expected);
    QCOMPARE(strErrors, QString());
    QCOMPARE(f.tagsText()->toPlainText(), QString(expected).replace("\r\n", "\n"));
    QCOMPARE(f.tags()->windowTitle(), QString("Tags"));
    QCOMPARE(f.messages.size(), 0);
    QVERIFY(!f.window->isEnabled());
    QVERIFY(!f.errors());
}

void TestGenerate::nothingTicked()
{
    f.generate({});
    QVERIFY(tagsWindowOpens());
    QCOMPARE(strTags, QString());
    QCOMPARE(f.tagsText()->toPlainText(), QString());
    QCOMPARE(f.messages.size(), 0);
}

void TestGenerate::mainWindowWaitsForTheTagsWindow()
{
    f.generate({{"txtTitle", "First"}});
    QVERIFY(tagsWindowOpens());
    QVERIFY(!f.window->isEnabled());
    QVERIFY(!f.get<QPushButton>("cmdGenerateTags")->isEnabled());
    // A second generation cannot start: the window refuses to close too.
    QVERIFY(!f.window->close());
    f.window->windowHandle()->close();
    QVERIFY(loadedWindow<frmMain>());

    f.keyTo(f.tags(), Qt::Key_Return);
    QTRY_VERIFY(!f.tags());
    QVERIFY(f.window->isEnabled());
    QTRY_COMPARE(QApplication::focusWidget(), f.line("txtTitle"));
}

QTEST_MAIN(TestGenerate)
#include "tst_generate.moc"
