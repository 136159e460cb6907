// The settings store on systems without a registry: INI files written through
// QSettings, where Qt programs on Linux keep their settings.
//
// Where a value lives:
// - Root: HKEY_CURRENT_USER is the user's config folder ($XDG_CONFIG_HOME, by
//   default ~/.config; a relative $XDG_CONFIG_HOME is ignored, as the XDG base
//   directory rules ask). The program uses no other root; any other root has no
//   store here and behaves like a key that cannot be opened (reads give no
//   value, writes are dropped).
// - Key path "Software\<organisation>\<application>\<rest>" is the file
//   <config>/<organisation>/<application>.conf, group <rest> (deeper segments
//   become nested groups, "A\B" -> [A/B]); a value directly under
//   "Software\<organisation>\<application>" sits in the file's [General] group.
//   "Software\<organisation>" alone is the file <config>/<organisation>.conf.
//   So "Software\Quillfern\Orvane\DefaultItems" is group [DefaultItems] of
//   ~/.config/Quillfern/Orvane.conf.
// - Any other shape (not under "Software", or a file segment that is ".", ".."
//   or holds a "/") and an empty value name have no store here, so a stray path
//   can never write outside the config folder. "Software" is matched without
//   regard to case, as the registry matches it; the other names keep their case.
//
// The guarantees of the registry form are kept: no value is distinct from the
// empty text; a value that is not a plain text (a list, an @Variant, a byte
// array) reads as no value; a zero character ends the text; a write keeps every
// other value; QSettings writes through a temporary file and a rename, so a
// crash mid-write leaves the old file or the new one. An unreadable file reads
// as no value and is never overwritten; a garbage file reads as what can be
// read of it. Every call opens the file afresh, so nothing is cached between
// calls and another process's writes are seen.
//
// No write waits long: QSettings takes the lock file <file>.lock before it
// writes and waits for it without limit. A write first tries that lock itself
// for at most LockWaitMs (one second) and is dropped, like any failed write,
// if the lock stays taken (another program hung while writing, a folder of that
// name, a fresh lock file that is no lock). A lock that is already older than
// that when the write comes is not waited for at all, so that the fourteen
// writes of the default items cost one second together, not fourteen. A lock
// left over by a process that ended, or older than QLockFile's 30 s, is removed
// as QSettings would remove it. The lock is released again before QSettings
// takes it, so another process that takes it in that gap and then hangs can
// still hold up the write; the gap lasts only as long as QSettings takes to
// reach its own lock, a fraction of a millisecond.

#include "Registry.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>

namespace Registry {

namespace {

// How long a write waits for another writer's lock before it is dropped. A
// QSettings write holds the lock for milliseconds.
constexpr int LockWaitMs = 1000;

struct Location {
    QString file;
    QString key;
};

bool isFileSegment(const QString &segment)
{
    return segment != QLatin1String(".") && segment != QLatin1String("..") &&
           !segment.contains(QLatin1Char('/'));
}

std::optional<Location> locate(RootKey root, const std::string &keyPath,
                               const std::string &valueName)
{
    if (root != CurrentUser || valueName.empty())
        return std::nullopt;

    const QStringList segments =
        QString::fromStdString(keyPath).split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    if (segments.size() < 2 ||
        segments.front().compare(QLatin1String("Software"), Qt::CaseInsensitive) != 0)
        return std::nullopt;

    const QStringList fileSegments = segments.mid(1, 2);
    if (!std::all_of(fileSegments.begin(), fileSegments.end(), isFileSegment))
        return std::nullopt;

    QString configFolder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    // Qt takes a relative $XDG_CONFIG_HOME as it is, relative to the current folder.
    if (QDir::isRelativePath(configFolder))
        configFolder = QDir::homePath() + QLatin1String("/.config");
    const QString group = segments.mid(3).join(QLatin1Char('/'));
    const QString name = QString::fromStdString(valueName);
    return Location{configFolder + QLatin1Char('/') + fileSegments.join(QLatin1Char('/')) +
                        QLatin1String(".conf"),
                    group.isEmpty() ? name : group + QLatin1Char('/') + name};
}

// Whether QSettings may go on to write the file without waiting long for its
// lock. Only a lock that exists and stays taken says no; a lock that cannot be
// made at all (no folder yet, no right to write there) is left to QSettings,
// which makes the folder or fails at once.
bool lockIsFree(const QString &file)
{
    const QString lockName = file + QLatin1String(".lock");
    const QFileInfo held(lockName);
    // Its age either way: a lock dated ahead of this clock (another machine's,
    // on a shared folder) has not just been taken either.
    const bool stuck =
        held.exists() &&
        qAbs(held.lastModified().msecsTo(QDateTime::currentDateTime())) > LockWaitMs;
    QLockFile lock(lockName);
    return lock.tryLock(stuck ? 0 : LockWaitMs) || lock.error() != QLockFile::LockFailedError;
}

}  // namespace

std::optional<std::string> GetRegValue(RootKey root, const std::string &keyPath,
                                       const std::string &valueName)
{
    const auto location = locate(root, keyPath, valueName);
    if (!location)
        return std::nullopt;

    const QSettings settings(location->file, QSettings::IniFormat);
    if (settings.status() == QSettings::AccessError)
        return std::nullopt;
    const QVariant value = settings.value(location->key);
    if (value.typeId() != QMetaType::QString)
        return std::nullopt;

    QString text = value.toString();
    const qsizetype zero = text.indexOf(QChar(0));
    if (zero >= 0)
        text.truncate(zero);
    return text.toStdString();
}

void SetRegValue(RootKey root, const std::string &keyPath, const std::string &valueName,
                 const std::string &text)
{
    const auto location = locate(root, keyPath, valueName);
    if (!location)
        return;

    QSettings settings(location->file, QSettings::IniFormat);
    // A file that could not be read must not be replaced by one holding only this value.
    if (settings.status() != QSettings::NoError || !lockIsFree(location->file))
        return;
    settings.setValue(location->key, QString::fromStdString(text));
    settings.sync();
}

}  // namespace Registry
