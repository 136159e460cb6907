// The default items between a window's fourteen check boxes and the store.

#include "ProcessTags.h"
#include "Registry.h"
#include "WidgetForm.h"

#include <QtTest>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QVBoxLayout>

using namespace ProcessTags;

namespace {

const std::string KeyPath = "Software\\Quillfern\\Orvane\\DefaultItems";

// A plain window carrying the fourteen item check boxes and two fields.
struct TestWindow {
    QWidget window;
    WidgetForm form{&window};

    TestWindow()
    {
        auto *layout = new QVBoxLayout(&window);
        for (const TagItem &item : Catalogue) {
            auto *box = new QCheckBox(QLatin1String(item.caption));
            box->setObjectName(item.checkBoxName());
            layout->addWidget(box);
        }
        auto *title = new QLineEdit(QStringLiteral("kept"));
        title->setObjectName(QStringLiteral("txtTitle"));
        layout->addWidget(title);
        auto *robot = new QComboBox;
        robot->setObjectName(QStringLiteral("cboRobot"));
        robot->setEditable(true);
        robot->addItems({QStringLiteral("ALL"), QStringLiteral("NONE")});
        robot->setEditText(QStringLiteral("mine"));
        layout->addWidget(robot);
    }

    QCheckBox *box(const char *key) const
    {
        return window.findChild<QCheckBox *>(QLatin1String("chk") + QLatin1String(key));
    }
};

std::optional<std::string> stored(const char *key)
{
    return Registry::GetRegValue(Registry::CurrentUser, KeyPath, key);
}

}  // namespace

class TestDefaultItems : public QObject {
    Q_OBJECT

private slots:
    void init();

    void firstRunUnticksEverything();
    void saveThenLoadReproducesTicks();
    void saveWritesAllFourteen();
    void missingValueUnticksOnlyItsBox();
    void storedTexts_data();
    void storedTexts();
    void greyedBoxIsNotTickedForTheBuilder();
    void loadLeavesFieldsAlone();

private:
    std::unique_ptr<QTemporaryDir> config_;
};

void TestDefaultItems::init()
{
    config_ = std::make_unique<QTemporaryDir>();
    QVERIFY(config_->isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config_->path()));
}

void TestDefaultItems::firstRunUnticksEverything()
{
    TestWindow w;
    for (QCheckBox *box : w.window.findChildren<QCheckBox *>())
        box->setChecked(true);
    LoadDefaultItems(w.form);
    for (QCheckBox *box : w.window.findChildren<QCheckBox *>())
        QCOMPARE(box->checkState(), Qt::Unchecked);
}

void TestDefaultItems::saveThenLoadReproducesTicks()
{
    TestWindow saved;
    saved.box("Title")->setChecked(true);
    saved.box("DCDescription")->setChecked(true);
    saved.box("IncludeHTML")->setChecked(true);
    SaveDefaultItems(saved.form);

    TestWindow loaded;
    loaded.box("Email")->setChecked(true);
    LoadDefaultItems(loaded.form);
    for (const TagItem &item : Catalogue)
        QCOMPARE(loaded.box(item.key)->checkState(), saved.box(item.key)->checkState());
}

void TestDefaultItems::saveWritesAllFourteen()
{
    TestWindow w;
    SaveDefaultItems(w.form);
    for (const TagItem &item : Catalogue)
        QCOMPARE(stored(item.key), std::optional<std::string>("0"));

    w.box("RevisitAfter")->setChecked(true);
    SaveDefaultItems(w.form);
    QCOMPARE(stored("RevisitAfter"), std::optional<std::string>("1"));
    QCOMPARE(stored("Robot"), std::optional<std::string>("0"));
}

void TestDefaultItems::missingValueUnticksOnlyItsBox()
{
    TestWindow w;
    for (QCheckBox *box : w.window.findChildren<QCheckBox *>())
        box->setChecked(true);
    SaveDefaultItems(w.form);

    QSettings file(config_->path() + "/Quillfern/Orvane.conf", QSettings::IniFormat);
    file.remove("DefaultItems/Keywords");
    file.sync();

    TestWindow loaded;
    LoadDefaultItems(loaded.form);
    for (const TagItem &item : Catalogue)
        QCOMPARE(loaded.box(item.key)->isChecked(), qstrcmp(item.key, "Keywords") != 0);
}

void TestDefaultItems::storedTexts_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("state");
    QTest::newRow("one") << QByteArray("1") << int(Qt::Checked);
    QTest::newRow("zero") << QByteArray("0") << int(Qt::Unchecked);
    QTest::newRow("two") << QByteArray("2") << int(Qt::PartiallyChecked);
    QTest::newRow("empty") << QByteArray("") << int(Qt::Unchecked);
    QTest::newRow("letters") << QByteArray("yes") << int(Qt::Unchecked);
    QTest::newRow("other number") << QByteArray("3") << int(Qt::Unchecked);
    QTest::newRow("padded") << QByteArray(" 1") << int(Qt::Unchecked);
    QTest::newRow("leading zero") << QByteArray("01") << int(Qt::Unchecked);
}

void TestDefaultItems::storedTexts()
{
    QFETCH(QByteArray, text);
    QFETCH(int, state);
    Registry::SetRegValue(Registry::CurrentUser, KeyPath, "Publisher", text.toStdString());
    TestWindow w;
    w.box("Publisher")->setCheckState(Qt::Checked);
    LoadDefaultItems(w.form);
    QCOMPARE(int(w.box("Publisher")->checkState()), state);
    // A later load of a plain tick gives an ordinary two-state box again.
    Registry::SetRegValue(Registry::CurrentUser, KeyPath, "Publisher", "1");
    LoadDefaultItems(w.form);
    QVERIFY(!w.box("Publisher")->isTristate());
}

void TestDefaultItems::greyedBoxIsNotTickedForTheBuilder()
{
    Registry::SetRegValue(Registry::CurrentUser, KeyPath, "Title", "2");
    TestWindow w;
    LoadDefaultItems(w.form);
    QCOMPARE(w.form.checkValue("chkTitle"), int(Greyed));
    BuildTags(w.form);
    QCOMPARE(strTags, QString());

    // Saving a greyed box keeps it greyed.
    SaveDefaultItems(w.form);
    QCOMPARE(stored("Title"), std::optional<std::string>("2"));
}

void TestDefaultItems::loadLeavesFieldsAlone()
{
    TestWindow w;
    Registry::SetRegValue(Registry::CurrentUser, KeyPath, "Robot", "1");
    LoadDefaultItems(w.form);
    QCOMPARE(w.form.text("txtTitle"), QString("kept"));
    QCOMPARE(w.form.text("cboRobot"), QString("mine"));
    QCOMPARE(w.window.findChild<QComboBox *>("cboRobot")->count(), 2);
}

QTEST_MAIN(TestDefaultItems)
#include "tst_defaultitems.moc"
