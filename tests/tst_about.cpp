// The About box: its texts, its logo, its two links and how it closes.

#include "DialogFixture.h"

#include "Version.h"
#include "frmAbout.h"

namespace {

const QString WebsiteAddress = "https://www.quillfern.example";
const QString EmailAddress = "orvane@quillfern.example";

QLabel *label(const frmAbout *about, const char *name)
{
    return about->control<QLabel>(name);
}

}  // namespace

class TestAbout : public QObject {
    Q_OBJECT

private slots:
    void cleanup();

    void captionShowsMajorAndMinorVersion();
    void fourParagraphs();
    void logo();
    void links_data();
    void links();
    void failingLauncherIsReported_data();
    void failingLauncherIsReported();
    void closingEnablesTheMainWindow_data();
    void closingEnablesTheMainWindow();
    void escapeDoesNothing();
    void reopenedShowsTheSameTexts();

private:
    frmAbout *openAbout() const;

    DialogFixture f;
};

frmAbout *TestAbout::openAbout() const
{
    f.key(Qt::Key_A, Qt::ControlModifier);
    return DialogFixture::activeWindow<frmAbout>();
}

void TestAbout::cleanup()
{
    f.finish();
}

void TestAbout::captionShowsMajorAndMinorVersion()
{
    QVERIFY(f.start());
    frmAbout *about = openAbout();
    QVERIFY(about);
    const QStringList numbers = QStringLiteral(ORVANE_VERSION_TEXT).split('.');
    QCOMPARE(numbers.size(), 3);
    QCOMPARE(about->windowTitle(),
             "About Orvane Version " + numbers[0] + "." + numbers[1]);
}

void TestAbout::fourParagraphs()
{
    QVERIFY(f.start());
    frmAbout *about = openAbout();
    QVERIFY(about);
    const QLabel *text = label(about, "Label1");
    const QStringList paragraphs = text->text().split("\r\n\r\n");
    QCOMPARE(paragraphs.size(), 4);
    for (const QString &paragraph : paragraphs) {
        QVERIFY2(!paragraph.trimmed().isEmpty(), qPrintable(paragraph));
        QCOMPARE(paragraph.trimmed(), paragraph);
        QVERIFY2(!paragraph.contains('\r') && !paragraph.contains('\n'), qPrintable(paragraph));
    }
    QVERIFY(paragraphs[0].contains("summer") && paragraphs[0].contains("holiday"));
    QVERIFY(paragraphs[1].contains("weekend") && paragraphs[1].contains("expensive"));
    QVERIFY(paragraphs[3].contains("pronounced") && paragraphs[3].contains("lowercase"));
    // All of it shows in the label's fixed box.
    QVERIFY(text->wordWrap());
    QVERIFY(text->heightForWidth(text->width()) <= text->height());
}

void TestAbout::logo()
{
    const QImage image(":/quillfern-logo.png");
    QCOMPARE(image.size(), QSize(200, 260));
    QCOMPARE(image.format(), QImage::Format_Indexed8);
    QCOMPARE(image.colorCount(), 256);

    QVERIFY(f.start());
    frmAbout *about = openAbout();
    QVERIFY(about);
    const QLabel *picture = label(about, "Picture1");
    QCOMPARE(picture->pixmap().size(), QSize(200, 260));
    QCOMPARE(picture->frameWidth(), 2);
    QCOMPARE(picture->size(), QSize(204, 264));
    // The picture box is where the focus starts.
    QCOMPARE(QApplication::focusWidget(), picture);
}

void TestAbout::links_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("address");
    QTest::newRow("website") << "lblWebsite" << WebsiteAddress << WebsiteAddress;
    QTest::newRow("e-mail") << "lblEmail" << EmailAddress
                            << "mailto:" + EmailAddress + "?Subject=Orvane";
}

void TestAbout::links()
{
    QFETCH(QString, name);
    QFETCH(QString, shown);
    QFETCH(QString, address);
    QVERIFY(f.start());
    frmAbout *about = openAbout();
    QVERIFY(about);
    QLabel *link = label(about, qPrintable(name));
    QCOMPARE(link->text(), shown);
    QVERIFY(link->font().underline());
    QCOMPARE(link->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    QCOMPARE(link->cursor().shape(), Qt::ArrowCursor);

    QTest::mouseClick(link, Qt::RightButton);
    QVERIFY(f.launched.isEmpty());
    QTest::mouseClick(link, Qt::LeftButton);
    QTest::mouseClick(link, Qt::LeftButton);
    QCOMPARE(f.launched.size(), 2);
    for (const QUrl &url : f.launched)
        QCOMPARE(url.toEncoded(), address.toUtf8());
    QVERIFY(f.messages.isEmpty());
    QCOMPARE(loadedWindow<frmAbout>(), about);
    QVERIFY(about->isVisible());
}

void TestAbout::failingLauncherIsReported_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("address");
    QTest::newRow("website") << "lblWebsite" << WebsiteAddress;
    QTest::newRow("e-mail") << "lblEmail" << EmailAddress;
}

void TestAbout::failingLauncherIsReported()
{
    QFETCH(QString, name);
    QFETCH(QString, address);
    QVERIFY(f.start());
    f.launcherWorks = false;
    frmAbout *about = openAbout();
    QVERIFY(about);
    QTest::mouseClick(label(about, qPrintable(name)), Qt::LeftButton);
    QCOMPARE(f.launched.size(), 1);
    QCOMPARE(f.messages.size(), 1);
    QVERIFY2(f.messages[0].text.contains(address), qPrintable(f.messages[0].text));
    QCOMPARE(loadedWindow<frmAbout>(), about);
    QVERIFY(about->isVisible());
    QVERIFY(!f.window->isEnabled());
}

void TestAbout::closingEnablesTheMainWindow_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("OK") << "OK";
    QTest::newRow("Enter") << "Enter";
    QTest::newRow("close box") << "close box";
}

void TestAbout::closingEnablesTheMainWindow()
{
    QFETCH(QString, how);
    QVERIFY(f.start());
    QLineEdit *title = f.line("txtTitle");
    f.focus(title);
    QTRY_COMPARE(QApplication::focusWidget(), title);
    frmAbout *about = openAbout();
    QVERIFY(about);
    QVERIFY(!f.window->isEnabled());

    if (how == "OK")
        QTest::mouseClick(about->control<QWidget>("cmdOK"), Qt::LeftButton);
    else if (how == "Enter")
        DialogFixture::keyTo(about, Qt::Key_Return);
    else
        about->windowHandle()->close();
    QVERIFY(!loadedWindow<frmAbout>());
    QVERIFY(f.window->isEnabled());
    QTRY_COMPARE(QApplication::focusWidget(), title);
}

void TestAbout::escapeDoesNothing()
{
    QVERIFY(f.start());
    frmAbout *about = openAbout();
    QVERIFY(about);
    DialogFixture::keyTo(about, Qt::Key_Escape);
    QCOMPARE(loadedWindow<frmAbout>(), about);
    QVERIFY(about->isVisible());
    QVERIFY(!f.window->isEnabled());
    // OK has no access key either.
    DialogFixture::keyTo(about, Qt::Key_O, Qt::AltModifier);
    QCOMPARE(about->control<QPushButton>("cmdOK")->isDown(), false);
    QCOMPARE(loadedWindow<frmAbout>(), about);
}

void TestAbout::reopenedShowsTheSameTexts()
{
    QVERIFY(f.start());
    const auto texts = [](const frmAbout *about) {
        return QStringList{about->windowTitle(), label(about, "Label1")->text(),
                           label(about, "lblWebsite")->text(), label(about, "lblEmail")->text()};
    };
    frmAbout *about = openAbout();
    QVERIFY(about);
    const QStringList first = texts(about);
    QTest::mouseClick(about->control<QWidget>("cmdOK"), Qt::LeftButton);
    QVERIFY(!loadedWindow<frmAbout>());

    about = openAbout();
    QVERIFY(about);
    QCOMPARE(texts(about), first);
    QVERIFY(!first[1].isEmpty());
}

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
