// The Preferences window: editing the default items, and the main window
// meanwhile and after.

#include "DialogFixture.h"

#include "frmPreferences.h"

#include <QAction>
#include <QGroupBox>

#include <vector>

using namespace ProcessTags;

namespace {

const QByteArray StoredDefaults = "[DefaultItems]\nTitle=1\nKeywords=1\nIncludeHTML=1\nRobot=0\n";
const QStringList StoredTicks = {"IncludeHTML", "Keywords", "Title"};

// The keys of the window's ticked item boxes, sorted.
QStringList tickedItems(const QWidget *w)
{
    QStringList keys;
    for (const TagItem &item : Catalogue) {
        const auto *box = w->findChild<QCheckBox *>(item.checkBoxName());
        if (box && box->checkState() == Qt::Checked)
            keys << QLatin1String(item.key);
    }
    keys.sort();
    return keys;
}

std::vector<std::optional<std::string>> storedItems()
{
    std::vector<std::optional<std::string>> values;
    for (const TagItem &item : Catalogue)
        values.push_back(DialogFixture::storedItem(item.key));
    return values;
}

void click(FormWindow *w, const char *name)
{
    QTest::mouseClick(w->control<QWidget>(name), Qt::LeftButton);
}

}  // namespace

class TestPreferences : public QObject {
    Q_OBJECT

private slots:
    void cleanup();

    void selectAllThenCancelStoresNothing_data();
    void selectAllThenCancelStoresNothing();
    void okOnFirstRunStoresFourteenZeros();
    void everyCloseShowsTheStoredDefaults_data();
    void everyCloseShowsTheStoredDefaults();
    void reopenedAfterCancelShowsTheStoredDefaults();
    void mainWindowTakesNoInputMeanwhile();
    void enterAndEscape();
    void selectAllAndNoneReachEveryBoxOnly();

private:
    frmPreferences *openPreferences() const;

    DialogFixture f;
};

frmPreferences *TestPreferences::openPreferences() const
{
    f.key(Qt::Key_P, Qt::ControlModifier);
    return DialogFixture::activeWindow<frmPreferences>();
}

void TestPreferences::cleanup()
{
    QVERIFY(f.messages.isEmpty());
    f.finish();
}

void TestPreferences::selectAllThenCancelStoresNothing_data()
{
    QTest::addColumn<QByteArray>("settings");
    QTest::addColumn<QStringList>("storedTicks");
    QTest::newRow("first run") << QByteArray() << QStringList();
    QTest::newRow("stored defaults") << StoredDefaults << StoredTicks;
}

void TestPreferences::selectAllThenCancelStoresNothing()
{
    QFETCH(QByteArray, settings);
    QFETCH(QStringList, storedTicks);
    QVERIFY(f.start(settings));
    const auto before = storedItems();
    f.box("chkTitle")->setChecked(false);
    f.box("chkPublisher")->setChecked(true);

    frmPreferences *prefs = openPreferences();
    QVERIFY(prefs);
    QCOMPARE(tickedItems(prefs), storedTicks);
    click(prefs, "cmdSelectAll");
    QCOMPARE(tickedItems(prefs).size(), 14);
    click(prefs, "cmdCancel");

    QVERIFY(!loadedWindow<frmPreferences>());
    QVERIFY(storedItems() == before);
    QCOMPARE(tickedItems(f.window), storedTicks);
}

void TestPreferences::okOnFirstRunStoresFourteenZeros()
{
    QVERIFY(f.start());
    frmPreferences *prefs = openPreferences();
    QVERIFY(prefs);
    click(prefs, "cmdOK");
    QVERIFY(!loadedWindow<frmPreferences>());
    for (const TagItem &item : Catalogue)
        QCOMPARE(DialogFixture::storedItem(item.key), std::optional<std::string>("0"));
    QSettings file(f.settingsPath(), QSettings::IniFormat);
    file.beginGroup("DefaultItems");
    QCOMPARE(file.childKeys().size(), 14);
}

void TestPreferences::everyCloseShowsTheStoredDefaults_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("stores");
    QTest::newRow("OK") << "OK" << true;
    QTest::newRow("Cancel") << "Cancel" << false;
    QTest::newRow("close box") << "close box" << false;
    QTest::newRow("Alt+O") << "Alt+O" << true;
    QTest::newRow("Alt+C") << "Alt+C" << false;
}

void TestPreferences::everyCloseShowsTheStoredDefaults()
{
    QFETCH(QString, how);
    QFETCH(bool, stores);
    QVERIFY(f.start(StoredDefaults));
    f.box("chkTitle")->setChecked(false);
    f.box("chkPublisher")->setChecked(true);

    frmPreferences *prefs = openPreferences();
    QVERIFY(prefs);
    click(prefs, "chkRobot");
    QVERIFY(prefs->control<QCheckBox>("chkRobot")->isChecked());
    if (how == "OK")
        click(prefs, "cmdOK");
    else if (how == "Cancel")
        click(prefs, "cmdCancel");
    else if (how == "close box")
        prefs->windowHandle()->close();
    else
        DialogFixture::keyTo(prefs, how == "Alt+O" ? Qt::Key_O : Qt::Key_C, Qt::AltModifier);

    QTRY_VERIFY(!loadedWindow<frmPreferences>());
    QVERIFY(f.window->isEnabled());
    QStringList expected = StoredTicks;
    if (stores)
        expected << "Robot";
    expected.sort();
    QCOMPARE(tickedItems(f.window), expected);
    QCOMPARE(DialogFixture::storedItem("Robot"), std::optional<std::string>(stores ? "1" : "0"));
}

void TestPreferences::reopenedAfterCancelShowsTheStoredDefaults()
{
    QVERIFY(f.start(StoredDefaults));
    frmPreferences *prefs = openPreferences();
    QVERIFY(prefs);
    click(prefs, "cmdSelectNone");
    click(prefs, "chkEmail");
    click(prefs, "cmdCancel");
    QVERIFY(!loadedWindow<frmPreferences>());

    prefs = openPreferences();
    QVERIFY(prefs);
    QCOMPARE(tickedItems(prefs), StoredTicks);
}

void TestPreferences::mainWindowTakesNoInputMeanwhile()
{
    QVERIFY(f.start());
    QLineEdit *title = f.line("txtTitle");
    f.focus(title);
    QTRY_COMPARE(QApplication::focusWidget(), title);
    frmPreferences *prefs = openPreferences();
    QVERIFY(prefs);
    QVERIFY(!f.window->isEnabled());

    // Even made the active window again, as a click on its title bar would.
    f.window->activateWindow();
    QTRY_VERIFY(f.window->isActiveWindow());
    QSignalSpy preferences(f.window->findChild<QAction *>("mnuPreferences"), &QAction::triggered);
    QSignalSpy generate(f.get<QPushButton>("cmdGenerateTags"), &QPushButton::pressed);
    f.key(Qt::Key_P, Qt::ControlModifier);
    f.key(Qt::Key_G, Qt::AltModifier);
    QTest::mouseClick(f.box("chkEmail"), Qt::LeftButton);
    QCOMPARE(preferences.count(), 0);
    QCOMPARE(generate.count(), 0);
    QVERIFY(!f.box("chkEmail")->isChecked());
    QVERIFY(!f.window->close());
    f.window->windowHandle()->close();
    QCOMPARE(loadedWindow<frmMain>(), f.window);
    QVERIFY(f.window->isVisible());
    QCOMPARE(loadedWindow<frmPreferences>(), prefs);

    click(prefs, "cmdCancel");
    QVERIFY(f.window->isEnabled());
    QTRY_COMPARE(QApplication::focusWidget(), title);
    f.key(Qt::Key_P, Qt::ControlModifier);
    QCOMPARE(preferences.count(), 1);
    QVERIFY(DialogFixture::activeWindow<frmPreferences>());
}

void TestPreferences::enterAndEscape()
{
    QVERIFY(f.start());
    frmPreferences *prefs = openPreferences();
    QVERIFY(prefs);
    click(prefs, "chkKeywords");
    QCOMPARE(QApplication::focusWidget(), prefs->control<QWidget>("chkKeywords"));

    DialogFixture::keyTo(prefs, Qt::Key_Escape);
    QCOMPARE(loadedWindow<frmPreferences>(), prefs);
    QVERIFY(prefs->isVisible());
    QVERIFY(!f.window->isEnabled());

    // On a button, Enter presses that button rather than OK.
    prefs->control<QWidget>("cmdSelectAll")->setFocus();
    DialogFixture::keyTo(prefs, Qt::Key_Return);
    QCOMPARE(loadedWindow<frmPreferences>(), prefs);
    QCOMPARE(tickedItems(prefs).size(), 14);

    click(prefs, "chkTitle");
    DialogFixture::keyTo(prefs, Qt::Key_Return);
    QVERIFY(!loadedWindow<frmPreferences>());
    QCOMPARE(DialogFixture::storedItem("Keywords"), std::optional<std::string>("1"));
    QCOMPARE(DialogFixture::storedItem("Title"), std::optional<std::string>("0"));
    QCOMPARE(tickedItems(f.window).size(), 13);
}

void TestPreferences::selectAllAndNoneReachEveryBoxOnly()
{
    QVERIFY(f.start("[DefaultItems]\nTitle=2\nRobot=1\n"));
    frmPreferences *prefs = openPreferences();
    QVERIFY(prefs);
    QCOMPARE(prefs->findChildren<QCheckBox *>().size(), 14);
    QVERIFY(!DialogFixture::itemBoxes(prefs).contains(nullptr));
    QCOMPARE(prefs->control<QCheckBox>("chkTitle")->checkState(), Qt::PartiallyChecked);

    const auto others = [prefs] {
        QStringList state;
        for (const QPushButton *button : prefs->findChildren<QPushButton *>())
            state << button->text() + QString::number(button->isEnabled()) +
                         QString::number(button->isCheckable()) +
                         QString::number(button->isChecked());
        const auto *frame = prefs->control<QGroupBox>("fraDefaultItems");
        state << frame->title() + QString::number(frame->isCheckable());
        return state;
    };
    const QStringList before = others();
    QCOMPARE(before.size(), 5);

    DialogFixture::keyTo(prefs, Qt::Key_A, Qt::AltModifier);
    QTRY_COMPARE(tickedItems(prefs).size(), 14);
    for (const QCheckBox *box : DialogFixture::itemBoxes(prefs))
        QVERIFY2(!box->isTristate(), qPrintable(box->objectName()));
    QCOMPARE(others(), before);

    DialogFixture::keyTo(prefs, Qt::Key_N, Qt::AltModifier);
    QTRY_VERIFY(tickedItems(prefs).isEmpty());
    for (const QCheckBox *box : DialogFixture::itemBoxes(prefs))
        QCOMPARE(box->checkState(), Qt::Unchecked);
    QCOMPARE(others(), before);

    click(prefs, "cmdOK");
    QCOMPARE(DialogFixture::storedItem("Title"), std::optional<std::string>("0"));
    QCOMPARE(DialogFixture::storedItem("Robot"), std::optional<std::string>("0"));
}

QTEST_MAIN(TestPreferences)
#include "tst_preferences.moc"
