// Saving the tag text: what reaches the file, and every way a save can fail
// leaving the folder as it was, without waiting for another program.

#include "TextFile.h"

#include <QtTest>

#include <csignal>
#include <fcntl.h>
#include <future>
#include <optional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <thread>
#include <utility>
#include <unistd.h>

namespace {

const QByteArray Old(500, '.');

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)");
}

// A reader of the pipe on a thread: it takes all until the writer closes, or 4 KiB and closes.
struct PipeReader {
    int fd = -1;
    QByteArray taken;
    std::thread thread;

    bool open(const QString &pipe) { return (fd = ::open(qPrintable(pipe), O_RDONLY | O_NONBLOCK)) >= 0; }
    void read(bool all)
    {
        thread = std::thread([this, all] {
            char chunk[4096];
            for (QDeadlineTimer limit(10000); !limit.hasExpired();) {
                const ssize_t count = ::read(fd, chunk, sizeof chunk);
                if (count > 0)
                    taken.append(chunk, count);
                if ((count == 0 && !taken.isEmpty()) || (!all && taken.size() >= 4096))
                    break;
                if (count <= 0)  // no writer yet, or nothing written yet
                    QThread::msleep(1);
            }
            ::close(std::exchange(fd, -1));
        });
    }
    ~PipeReader()
    {
        if (thread.joinable())
            thread.join();
        if (fd >= 0)
            ::close(fd);
    }
};

// The save's result, or none if it still runs after ten seconds, which only a
// hang reaches; such a save is left behind on its own thread.
std::optional<bool> saveSoon(const QString &path, const QByteArray &bytes)
{
    auto result = std::make_shared<std::promise<bool>>();
    std::future<bool> done = result->get_future();
    std::thread([=] { result->set_value(SaveTextFile(path, bytes)); }).detach();
    if (done.wait_for(std::chrono::seconds(10)) != std::future_status::ready)
        return std::nullopt;
    return done.get();
}

}  // namespace

class TestTextFile : public QObject {
    Q_OBJECT

private slots:
    void saving_data()
    {
        QTest::addColumn<QString>("name");  // in a folder holding old.htm (500 dots), folder/, pipe
        QTest::addColumn<QString>("how");  // what else holds for the save
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("saved");
        const QByteArray text = "<title>Caf\xe9</title>\r\n<META NAME=\"Robot\" CONTENT=\"ALL\">\r\n";
        QByteArray big;
        for (int line = 0; big.size() < (1 << 18); ++line)
            big += "<META NAME=\"keywords\" CONTENT=\"" + QByteArray::number(line) + "\">\r\n";
        // clang-format off
        QTest::newRow("new file") << "tags.htm" << "" << text << true;
        QTest::newRow("longer old file") << "old.htm" << "" << text << true;
        QTest::newRow("empty text") << "old.htm" << "" << QByteArray("") << true;
        QTest::newRow("folder missing") << "missing/tags.htm" << "" << text << false;
        QTest::newRow("a folder's name") << "folder" << "" << text << false;
        QTest::newRow("full device") << "full" << "" << text << false;
        QTest::newRow("disk full part-way") << "old.htm" << "files of 16 bytes" << big << false;
        QTest::newRow("pipe, no reader") << "pipe" << "" << text << false;
        QTest::newRow("pipe, reader takes all") << "pipe" << "reader takes all" << big << true;
        QTest::newRow("pipe, reader stops") << "pipe" << "reader stops" << big << false;
        QTest::newRow("pipe, reader leaves") << "pipe" << "reader leaves" << big << false;
        QTest::newRow("folder forbids new files") << "old.htm" << "read-only folder" << text << true;
        QTest::newRow("rename refused") << "old.htm" << "sticky folder, root's file" << big << false;
        // clang-format on
    }

    // Exactly the bytes, over an older, longer file; a failed save leaves the
    // folder as it was and the old file whole. No save waits for long.
    void saving()
    {
        QFETCH(QString, name);
        QFETCH(QString, how);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, saved);
        const bool root = ::geteuid() == 0;
        if (how == "sticky folder, root's file" && !root)
            QSKIP("only root can leave a file of its own in a folder where others may make files");
        QTemporaryDir files;
        const QDir folder(files.path());
        const QString path = folder.filePath(name);
        QVERIFY(writeFile(folder.filePath("old.htm"), Old) && folder.mkdir("folder") &&
                ::mkfifo(qPrintable(folder.filePath("pipe")), 0666) == 0);
        // A copy of the full device: a faulty save replaces the copy, not the system's.
        if (name == "full" && ::mknod(qPrintable(path), S_IFCHR | 0666, makedev(1, 7)))
            QSKIP("cannot make a copy of the full device here");
        const auto entries = [&] {
            return folder.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
        };
        const QStringList before = entries();

        // Root may write and rename anywhere: saves that meet the folder's modes run as nobody.
        QVERIFY(::chmod(qPrintable(folder.filePath("old.htm")), 0666) == 0);
        const mode_t mode = how == "read-only folder" ? 0555 : how.startsWith("sticky") ? 01777 : 0755;
        QVERIFY(::chmod(qPrintable(files.path()), mode) == 0);
        const auto restoreMode = qScopeGuard([&] { ::chmod(qPrintable(files.path()), 0700); });
        const bool asNobody = root && mode != 0755;

        PipeReader reader;
        if (how.startsWith("reader")) {
            QVERIFY(reader.open(path));
            if (how != "reader stops")
                reader.read(how == "reader takes all");
        }
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit unlimited{};
        ::getrlimit(RLIMIT_FSIZE, &unlimited);
        const rlimit limit{how == "files of 16 bytes" ? 16 : unlimited.rlim_cur, unlimited.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        QVERIFY(!asNobody || ::setresuid(65534, 65534, 0) == 0);
        const std::optional<bool> result = saveSoon(path, bytes);
        QVERIFY(!asNobody || ::setresuid(0, 0, 0) == 0);
        ::setrlimit(RLIMIT_FSIZE, &unlimited);

        QVERIFY2(result, "the save still waits after ten seconds");
        QCOMPARE(*result, saved);
        if (how == "reader takes all") {
            reader.thread.join();
            QCOMPARE(reader.taken, bytes);
        }
        QCOMPARE(entries(), saved && name == "tags.htm" ? QStringList(before) << name : before);
        QVERIFY(contents(folder.filePath("old.htm")) == (saved && name == "old.htm" ? bytes : Old));
        if (saved && name == "tags.htm")
            QCOMPARE(contents(path), bytes);
        QVERIFY(!QFileInfo(folder.filePath("full")).isFile());
    }
};

QTEST_GUILESS_MAIN(TestTextFile)
#include "tst_textfile.moc"
