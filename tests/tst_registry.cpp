// The settings store on Linux: INI files in a config folder of the test's own,
// removed before every test.

#include "Registry.h"

#include <QtTest>

using namespace Registry;
using Text = std::optional<std::string>;
Q_DECLARE_METATYPE(Text)

static const std::string Items = "Software\\Quillfern\\Orvane\\DefaultItems";

class TestRegistry : public QObject {
    Q_OBJECT

    QTemporaryDir home_;
    const QString config_ = home_.path() + "/config";

private slots:
    void initTestCase() { qputenv("XDG_CONFIG_HOME", QFile::encodeName(config_)); }
    void init() { QVERIFY(QDir(config_).removeRecursively()); }

    // What the program's file holds first (null: no file), a text then written
    // through the store (none: no write), and what reading the value gives.
    void values_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<Text>("text");
        QTest::addColumn<Text>("expected");
        for (const char *text : {"", "a,b", ";", "@Variant(", "\"q\"\\", "1\r\n2", "Caf\xc3\xa9"})
            QTest::addRow("text %s", QByteArray(text).toPercentEncoding(" ,;@(\"\\").data())
                << QByteArray() << Text(text) << Text(text);
        QTest::newRow("zero") << QByteArray() << Text(std::string("ab\0c", 4)) << Text("ab");
        // Hand-edited, after some garbage: only a plain text is a value.
        const QByteArray file = "\xff\x01[\x80=]\n[DefaultItems]\nTitle=";
        QTest::newRow("list") << file + "a, b" << Text() << Text();
        QTest::newRow("rectangle") << file + "@Rect(1 2 3 4)" << Text() << Text();
        QTest::newRow("hand-written zero") << file + "12\\0 34" << Text() << Text("12");
    }

    void values()
    {
        QFETCH(QByteArray, file);
        QFETCH(Text, text);
        QFile conf(config_ + "/Quillfern/Orvane.conf");
        if (!file.isNull())
            QVERIFY(QDir().mkpath(config_ + "/Quillfern") && conf.open(QIODevice::WriteOnly) &&
                    conf.write(file) == file.size() && conf.flush());
        if (text)
            SetRegValue(CurrentUser, Items, "Title", *text);
        QTEST(GetRegValue(CurrentUser, Items, "Title"), "expected");
    }

    void whereValuesGo()
    {
        // Nothing stored yet: no value. Stray key paths and other roots have no
        // store: no file appears, not even outside the config folder.
        QCOMPARE(GetRegValue(CurrentUser, Items, "Title"), Text());
        for (const char *path :
             {"", "Software", "A\\B", "Software\\..\\x", "Software\\A\\..\\x", "Software\\a/b\\c"})
            SetRegValue(CurrentUser, path, "Title", "1");
        SetRegValue(LocalMachine, Items, "Title", "1");
        SetRegValue(0, Items, "Title", "1");
        QVERIFY(QDir(home_.path()).isEmpty());
        // A regular file where the program's folder should be: the write is dropped.
        QVERIFY(QDir().mkpath(config_) && QFile(config_ + "/Quillfern").open(QIODevice::WriteOnly));
        SetRegValue(CurrentUser, Items, "Title", "blocked");
        QCOMPARE(GetRegValue(CurrentUser, Items, "Title"), Text());
        QVERIFY(QFile::remove(config_ + "/Quillfern"));
        // Each write lands in its group of the program's file, next to the values
        // written before it; the other roots still see none of them.
        SetRegValue(CurrentUser, Items, "Title", "1");
        SetRegValue(CurrentUser, "Software\\Quillfern\\Orvane\\StartupPosition", "Left", "-150");
        SetRegValue(CurrentUser, Items, "Email", "0");
        QCOMPARE(GetRegValue(LocalMachine, Items, "Title"), Text());
        QFile file(config_ + "/Quillfern/Orvane.conf");
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(),
                 QByteArray("[DefaultItems]\nEmail=0\nTitle=1\n\n[StartupPosition]\nLeft=-150\n"));
    }
};

QTEST_GUILESS_MAIN(TestRegistry)
#include "tst_registry.moc"
