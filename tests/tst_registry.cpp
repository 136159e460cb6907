// The settings store on Linux: INI files under a temporary config folder.

#include "Registry.h"

#include <QtTest>

using Registry::CurrentUser;
using Registry::GetRegValue;
using Registry::SetRegValue;

namespace {
const std::string DefaultItems = "Software\\Quillfern\\Orvane\\DefaultItems";
const std::string StartupPosition = "Software\\Quillfern\\Orvane\\StartupPosition";
}  // namespace

class TestRegistry : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void firstRunHasNoValueAndCreatesNothing();
    void roundTrips_data();
    void roundTrips();
    void emptyTextIsNotNoValue();
    void layoutOfTheFile();
    void handEditedValues_data();
    void handEditedValues();
    void zeroCharacterEndsTheText();
    void oneWriteKeepsTheOthers();
    void otherRootsAndShapesHaveNoStore();
    void unwritableFolderFailsSilently();
    void garbageFileNeverCrashes();

private:
    QString configFile() const { return config_->path() + "/Quillfern/Orvane.conf"; }
    void writeFile(const QByteArray &contents) const;

    std::unique_ptr<QTemporaryDir> config_;
};

void TestRegistry::init()
{
    config_ = std::make_unique<QTemporaryDir>();
    QVERIFY(config_->isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config_->path()));
}

void TestRegistry::cleanup()
{
    config_.reset();
}

void TestRegistry::writeFile(const QByteArray &contents) const
{
    QVERIFY(QDir().mkpath(QFileInfo(configFile()).path()));
    QFile file(configFile());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(contents);
}

void TestRegistry::firstRunHasNoValueAndCreatesNothing()
{
    QCOMPARE(GetRegValue(CurrentUser, DefaultItems, "Title"), std::nullopt);
    QCOMPARE(GetRegValue(CurrentUser, StartupPosition, "Top"), std::nullopt);
    QVERIFY(QDir(config_->path()).isEmpty());

    SetRegValue(CurrentUser, StartupPosition, "Top", "-300");
    QVERIFY(QFile::exists(configFile()));
    QCOMPARE(GetRegValue(CurrentUser, StartupPosition, "Top"), std::optional<std::string>("-300"));
    QCOMPARE(GetRegValue(CurrentUser, StartupPosition, "Left"), std::nullopt);
}

void TestRegistry::roundTrips_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("digit") << QByteArray("1");
    QTest::newRow("negative") << QByteArray("-1245");
    QTest::newRow("blanks") << QByteArray("  ");
    QTest::newRow("list syntax") << QByteArray("a,b");
    QTest::newRow("comment syntax") << QByteArray("; not a comment");
    QTest::newRow("variant syntax") << QByteArray("@Variant(\\0\\0\\0\\x2)");
    QTest::newRow("quotes and escapes") << QByteArray("say \"hi\" \\ there\\n");
    QTest::newRow("line breaks") << QByteArray("one\r\ntwo\n");
    QTest::newRow("non-ASCII") << QByteArray("Caf\xc3\xa9 \xe2\x82\xac");
}

void TestRegistry::roundTrips()
{
    QFETCH(QByteArray, text);
    SetRegValue(CurrentUser, DefaultItems, "Title", text.toStdString());
    QCOMPARE(GetRegValue(CurrentUser, DefaultItems, "Title"),
             std::optional<std::string>(text.toStdString()));
}

void TestRegistry::emptyTextIsNotNoValue()
{
    SetRegValue(CurrentUser, DefaultItems, "Title", "");
    QCOMPARE(GetRegValue(CurrentUser, DefaultItems, "Title"), std::optional<std::string>(""));
    QCOMPARE(GetRegValue(CurrentUser, DefaultItems, "Email"), std::nullopt);
}

// Users and their tools find the settings where Qt programs keep theirs.
void TestRegistry::layoutOfTheFile()
{
    SetRegValue(CurrentUser, DefaultItems, "Title", "1");
    SetRegValue(CurrentUser, StartupPosition, "Left", "150");
    SetRegValue(CurrentUser, "Software\\Quillfern\\Orvane", "Direct", "x");
    SetRegValue(CurrentUser, "Software\\Quillfern\\Orvane\\A\\B", "Deep", "y");
    SetRegValue(CurrentUser, "Software\\Quillfern", "Shared", "z");

    QSettings file(configFile(), QSettings::IniFormat);
    QCOMPARE(file.value("DefaultItems/Title").toString(), QString("1"));
    QCOMPARE(file.value("StartupPosition/Left").toString(), QString("150"));
    QCOMPARE(file.value("Direct").toString(), QString("x"));
    QCOMPARE(file.value("A/B/Deep").toString(), QString("y"));
    QSettings organisation(config_->path() + "/Quillfern.conf", QSettings::IniFormat);
    QCOMPARE(organisation.value("Shared").toString(), QString("z"));
}

void TestRegistry::handEditedValues_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<bool>("isText");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("plain number") << QByteArray("Title=1") << true << QByteArray("1");
    QTest::newRow("empty") << QByteArray("Title=") << true << QByteArray();
    QTest::newRow("quoted") << QByteArray("Title=\"a, b\"") << true << QByteArray("a, b");
    QTest::newRow("list") << QByteArray("Title=a, b") << false << QByteArray();
    QTest::newRow("variant") << QByteArray("Title=@Variant(\\0\\0\\0\\x2\\0\\0\\0\\x1)") << false
                             << QByteArray();
    QTest::newRow("byte array") << QByteArray("Title=@ByteArray(1)") << false << QByteArray();
    QTest::newRow("invalid") << QByteArray("Title=@Invalid()") << false << QByteArray();
    QTest::newRow("rectangle") << QByteArray("Title=@Rect(1 2 3 4)") << false << QByteArray();
}

void TestRegistry::handEditedValues()
{
    QFETCH(QByteArray, line);
    QFETCH(bool, isText);
    QFETCH(QByteArray, expected);
    writeFile("[DefaultItems]\n" + line + "\n");
    const auto value = GetRegValue(CurrentUser, DefaultItems, "Title");
    if (isText)
        QCOMPARE(value, std::optional<std::string>(expected.toStdString()));
    else
        QCOMPARE(value, std::nullopt);
}

void TestRegistry::zeroCharacterEndsTheText()
{
    SetRegValue(CurrentUser, DefaultItems, "Title", std::string("ab\0cd", 5));
    QCOMPARE(GetRegValue(CurrentUser, DefaultItems, "Title"), std::optional<std::string>("ab"));

    writeFile("[DefaultItems]\nKeywords=12\\0 34\n");
    QCOMPARE(GetRegValue(CurrentUser, DefaultItems, "Keywords"), std::optional<std::string>("12"));
}

void TestRegistry::oneWriteKeepsTheOthers()
{
    writeFile("[DefaultItems]\nTitle=1\nEmail=0\n[StartupPosition]\nTop=15\n[Other]\nKept=yes\n");
    SetRegValue(CurrentUser, DefaultItems, "Title", "0");
    SetRegValue(CurrentUser, DefaultItems, "Robot", "1");

    QCOMPARE(GetRegValue(CurrentUser, DefaultItems, "Title"), std::optional<std::string>("0"));
    QCOMPARE(GetRegValue(CurrentUser, DefaultItems, "Email"), std::optional<std::string>("0"));
    QCOMPARE(GetRegValue(CurrentUser, DefaultItems, "Robot"), std::optional<std::string>("1"));
    QCOMPARE(GetRegValue(CurrentUser, StartupPosition, "Top"), std::optional<std::string>("15"));
    QCOMPARE(GetRegValue(CurrentUser, "Software\\Quillfern\\Orvane\\Other", "Kept"),
             std::optional<std::string>("yes"));
}

void TestRegistry::otherRootsAndShapesHaveNoStore()
{
    const Registry::RootKey roots[] = {Registry::LocalMachine, 0u, 0x80000000u};
    for (Registry::RootKey root : roots) {
        SetRegValue(root, DefaultItems, "Title", "1");
        QCOMPARE(GetRegValue(root, DefaultItems, "Title"), std::nullopt);
    }
    const std::string strayPaths[] = {"", "Software", "Quillfern\\Orvane", "Software\\..\\x",
                                      "Software\\Quillfern\\..\\x", "Software\\a/b\\c"};
    for (const std::string &path : strayPaths) {
        SetRegValue(CurrentUser, path, "Title", "1");
        QCOMPARE(GetRegValue(CurrentUser, path, "Title"), std::nullopt);
    }
    SetRegValue(CurrentUser, DefaultItems, "", "1");
    QCOMPARE(GetRegValue(CurrentUser, DefaultItems, ""), std::nullopt);
    QVERIFY(QDir(config_->path()).isEmpty());

    // The registry does not care about the case of "Software".
    SetRegValue(CurrentUser, "SOFTWARE\\Quillfern\\Orvane\\DefaultItems", "Title", "1");
    QCOMPARE(GetRegValue(CurrentUser, DefaultItems, "Title"), std::optional<std::string>("1"));
}

// Tests may run as root, which ignores file modes: block the folder with a file.
void TestRegistry::unwritableFolderFailsSilently()
{
    QFile blocker(config_->path() + "/Quillfern");
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    SetRegValue(CurrentUser, DefaultItems, "Title", "1");
    QCOMPARE(GetRegValue(CurrentUser, DefaultItems, "Title"), std::nullopt);

    QVERIFY(blocker.remove());
    QVERIFY(QDir().mkpath(configFile()));  // a folder where the file should be
    SetRegValue(CurrentUser, DefaultItems, "Title", "1");
    QCOMPARE(GetRegValue(CurrentUser, DefaultItems, "Title"), std::nullopt);
}

void TestRegistry::garbageFileNeverCrashes()
{
    QByteArray garbage;
    for (int i = 0; i < 4096; ++i)
        garbage.append(char((i * 7919 + 13) % 256));
    writeFile(garbage + "\n[DefaultItems]\nTitle=1\n" + garbage);
    QCOMPARE(GetRegValue(CurrentUser, DefaultItems, "Title"), std::optional<std::string>("1"));
    QCOMPARE(GetRegValue(CurrentUser, DefaultItems, "Email"), std::nullopt);
    SetRegValue(CurrentUser, DefaultItems, "Email", "0");
    // Whether or not the write was taken, what could be read stays readable.
    QCOMPARE(GetRegValue(CurrentUser, DefaultItems, "Title"), std::optional<std::string>("1"));
}

QTEST_GUILESS_MAIN(TestRegistry)
#include "tst_registry.moc"
