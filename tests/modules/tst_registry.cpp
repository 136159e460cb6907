// The settings store on Linux: INI files in a config folder of the test's own.

#include "Registry.h"

#include <QtTest>

#include <future>
#include <thread>
#include <unistd.h>

using namespace Registry;
using Text = std::optional<std::string>;
Q_DECLARE_METATYPE(Text)

static const std::string Items = "Software\\Quillfern\\Orvane\\DefaultItems";

// Whether a write returns within ten seconds, which only a hang reaches; one
// still waiting is left behind on its own thread.
static bool writesSoon(const std::string &text)
{
    auto done = std::make_shared<std::promise<void>>();
    std::future<void> finished = done->get_future();
    std::thread([text, done] {
        SetRegValue(CurrentUser, Items, "Title", text);
        done->set_value();
    }).detach();
    return finished.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
}

// The program's settings file, made to hold exactly these bytes.
static bool writeConf(const QString &config, const QByteArray &bytes)
{
    QFile conf(config + "/Quillfern/Orvane.conf");
    return QDir().mkpath(config + "/Quillfern") && conf.open(QIODevice::WriteOnly) &&
           conf.write(bytes) == bytes.size() && conf.flush();
}

// Another instance's lock while it writes: it names a process living until the test ends it.
static QByteArray lockOfLiveProcess(QProcess &holder)
{
    holder.start("sleep", {"60"});
    return holder.waitForStarted() ? QByteArray::number(holder.processId()) + "\nsleep\n" +
                                         QSysInfo::machineHostName().toUtf8() + "\n"
                                   : QByteArray();
}

class TestRegistry : public QObject {
    Q_OBJECT

    QTemporaryDir home_;
    const QString config_ = home_.path() + "/config";

private slots:
    void initTestCase() { qputenv("XDG_CONFIG_HOME", QFile::encodeName(config_)); }
    void init() { QVERIFY(QDir(config_).removeRecursively()); }

    // The file first (null: none), a text written (none: no write), what is read.
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
        QVERIFY(file.isNull() || writeConf(config_, file));
        if (text)
            SetRegValue(CurrentUser, Items, "Title", *text);
        QTEST(GetRegValue(CurrentUser, Items, "Title"), "expected");
    }

    void whereValuesGo()
    {
        // Stray key paths and other roots have no store: no file appears, not
        // even outside the config folder.
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
        // The other roots see none of the values written.
        QVERIFY(QFile::remove(config_ + "/Quillfern"));
        SetRegValue(CurrentUser, Items, "Title", "1");
        QCOMPARE(GetRegValue(LocalMachine, Items, "Title"), Text());
    }

    // The file read earlier, then replaced by one this user may not read: it reads as no
    // value, a write is dropped and does not come back once the file can be read again.
    // Root reads any file, so the store runs as nobody here.
    void unreadableFile()
    {
        const QString folder = config_ + "/Quillfern";
        // Of a size no test before leaves: QSettings trusts a file of unchanged size and ms time.
        QVERIFY(writeConf(config_, "[DefaultItems]\nTitle=00\n"));
        QCOMPARE(GetRegValue(CurrentUser, Items, "Title"), Text("00"));
        QVERIFY(writeConf(config_, "[DefaultItems]\nEmail=1\nTitle=1\n"));
        QVERIFY(QFile::setPermissions(folder + "/Orvane.conf", QFile::WriteOwner));
        const bool root = ::geteuid() == 0;
        for (const QString &path : {home_.path(), config_, folder, folder + "/Orvane.conf"})
            QVERIFY(!root || ::chown(qPrintable(path), 65534, 65534) == 0);
        QVERIFY(!root || ::setresuid(65534, 65534, 0) == 0);
        SetRegValue(CurrentUser, Items, "Title", "2");
        const Text read = GetRegValue(CurrentUser, Items, "Title");
        QVERIFY(!root || ::setresuid(0, 0, 0) == 0);
        QCOMPARE(read, Text());
        QVERIFY(QFile::setPermissions(folder + "/Orvane.conf", QFile::ReadOwner | QFile::WriteOwner));
        QCOMPARE(GetRegValue(CurrentUser, Items, "Email"), Text("1"));
        QCOMPARE(GetRegValue(CurrentUser, Items, "Title"), Text("1"));
    }

    // Another writer's lock: a folder of its name, a live process's lock, a fresh file that is
    // no lock, one dated ahead of this clock (another machine's) by less than the 30 s that make
    // a lock left over. One gone within a quarter of a second is waited for; one that stays
    // makes the write give up soon and be dropped, and once it is gone the next write lands.
    void lockHeld_data()
    {
        QTest::addColumn<QString>("lock");
        QTest::newRow("a folder") << "folder";
        QTest::newRow("live process") << "process";
        QTest::newRow("not a lock") << "garbage";
        QTest::newRow("dated ahead") << "ahead";
        QTest::newRow("released soon") << "brief";
    }

    void lockHeld()
    {
        QFETCH(QString, lock);
        const QString lockName = config_ + "/Quillfern/Orvane.conf.lock";
        QVERIFY(writeConf(config_, "[DefaultItems]\nEmail=1\n") && QDir().mkpath(lockName));
        QProcess holder;
        if (lock != "folder") {
            QByteArray owner = "garbage\n";
            if (lock == "process")
                QVERIFY(!(owner = lockOfLiveProcess(holder)).isEmpty());
            QFile file(lockName);
            QVERIFY(QDir().rmdir(lockName) && file.open(QIODevice::WriteOnly) &&
                    file.write(owner) == owner.size() && file.flush());
            QVERIFY(lock != "ahead" || file.setFileTime(QDateTime::currentDateTime().addSecs(25),
                                                        QFileDevice::FileModificationTime));
        }
        const auto release = std::async(std::launch::async, [&] {  // waited for as it goes
            QThread::msleep(lock == "brief" ? 250 : 0);
            return lock == "brief" && QFile::remove(lockName);
        });
        QVERIFY2(writesSoon("1"), "the write waits for the lock");
        QCOMPARE(GetRegValue(CurrentUser, Items, "Title"), lock == "brief" ? Text("1") : Text());
        QCOMPARE(GetRegValue(CurrentUser, Items, "Email"), Text("1"));
        if (lock == "brief")
            return;
        // The default items' fourteen writes cost about one wait in all, not
        // one each: eight seconds lies far above the one, far below fourteen.
        QElapsedTimer fourteen;
        fourteen.start();
        for (int i = 0; i < 14; ++i)
            QVERIFY(writesSoon("1"));
        QVERIFY2(fourteen.elapsed() < 8000, "each write waits for the stuck lock again");

        holder.kill();
        holder.waitForFinished();
        QFile file(lockName);
        if (lock == "folder")
            QVERIFY(QDir().rmdir(lockName));
        if (lock == "garbage" || lock == "ahead")
            QVERIFY(file.open(QIODevice::Append) &&
                    file.setFileTime(QDateTime::currentDateTime().addSecs(-60),
                                     QFileDevice::FileModificationTime));
        QVERIFY(writesSoon("2"));
        QCOMPARE(GetRegValue(CurrentUser, Items, "Title"), Text("2"));
    }

    // A relative XDG_CONFIG_HOME names no place (it would move with the
    // current folder): the settings go to ~/.config as when it is not set.
    void relativeConfigHome()
    {
        QTemporaryDir home, current;
        const QByteArray oldHome = qgetenv("HOME");
        const QString oldCurrent = QDir::currentPath();
        const auto restore = qScopeGuard([&] {
            qputenv("HOME", oldHome);
            qputenv("XDG_CONFIG_HOME", QFile::encodeName(config_));
            QDir::setCurrent(oldCurrent);
        });
        qputenv("HOME", QFile::encodeName(home.path()));
        qputenv("XDG_CONFIG_HOME", "config");
        QVERIFY(QDir::setCurrent(current.path()));
        SetRegValue(CurrentUser, Items, "Title", "1");
        QCOMPARE(GetRegValue(CurrentUser, Items, "Title"), Text("1"));
        QVERIFY(QDir(current.path()).isEmpty());
        QVERIFY(QFile::exists(home.path() + "/.config/Quillfern/Orvane.conf"));
    }
};

QTEST_GUILESS_MAIN(TestRegistry)
#include "tst_registry.moc"
