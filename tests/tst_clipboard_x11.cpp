// The copied tag text pasted into another program through the real X
// clipboard, line ends included. Runs on the xcb platform under its own Xvfb.

#include "TagWindowsFixture.h"

#include <QClipboard>
#include <QProcess>

class TestClipboardX11 : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init() { QVERIFY(f.start()); }
    void cleanup() { f.finish(); }

    void pastedElsewhere_data();
    void pastedElsewhere();

private:
    QByteArray pasteWithXclip();

    TagWindowsFixture f;
};

void TestClipboardX11::initTestCase()
{
    QApplication::setQuitOnLastWindowClosed(false);
    if (QGuiApplication::platformName() != "xcb")
        QSKIP("needs an X server");
    if (QStandardPaths::findExecutable("xclip").isEmpty())
        QSKIP("xclip is not installed");
}

// This program owns the selection and answers xclip's request from its event
// loop, so the wait must keep the loop running.
QByteArray TestClipboardX11::pasteWithXclip()
{
    QProcess xclip;
    QSignalSpy finished(&xclip, &QProcess::finished);
    xclip.start("xclip", {"-o", "-selection", "clipboard"});
    if (!QTest::qWaitFor([&] { return finished.count() > 0; }, 30000)) {
        qWarning("xclip did not finish");
        return QByteArray("(no answer)");
    }
    if (xclip.exitStatus() != QProcess::NormalExit || xclip.exitCode() != 0)
        qWarning("xclip: %s", xclip.readAllStandardError().constData());
    return xclip.readAllStandardOutput();
}

void TestClipboardX11::pastedElsewhere_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("edited");
    QTest::addColumn<QByteArray>("pasted");
    QTest::newRow("generated")
        << "Page Title" << false
        << QByteArray("<html>\r\n<head>\r\n<title>Page Title</title>\r\n</head>\r\n</html>\r\n");
    QTest::newRow("edited, beyond ASCII")
        << QString("Caf\u00e9") << true
        << QByteArray("<html>\r\n<head>\r\n<title>Caf\xc3\xa9</title>\r\n</head>\r\n</html>\r\nx\r\ny");
}

void TestClipboardX11::pastedElsewhere()
{
    QFETCH(QString, title);
    QFETCH(bool, edited);
    QFETCH(QByteArray, pasted);
    f.window->form().setText("txtTitle", title);
    f.box("chkIncludeHTML")->setChecked(true);
    QTest::mouseClick(f.get<QPushButton>("cmdGenerateTags"), Qt::LeftButton);
    QTRY_VERIFY(f.tags());
    QPlainTextEdit *text = f.tagsText();
    if (edited) {
        text->moveCursor(QTextCursor::End);
        text->insertPlainText("x\ny");
    }
    QTest::mouseClick(f.tagsButton("cmdCopyToClipboard"), Qt::LeftButton);
    QTRY_VERIFY(QGuiApplication::clipboard()->ownsClipboard());
    QCOMPARE(pasteWithXclip(), pasted);
}

QTEST_MAIN(TestClipboardX11)
#include "tst_clipboard_x11.moc"
