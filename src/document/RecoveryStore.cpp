#include "document/RecoveryStore.h"

#include "platform/RegularFile.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QSaveFile>
#include <QStandardPaths>
#include <QUuid>
#include <algorithm>

namespace {
const QString LockName = QStringLiteral("owner.lock");
const QString DescriptionName = QStringLiteral("copy.txt");
const QString DamagedName = QStringLiteral("damaged");
constexpr QFileDevice::Permissions OwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
constexpr QFileDevice::Permissions OwnerFolder = OwnerOnly | QFileDevice::ExeOwner;

// A running editor may hold its slot for days: the lock is stale only when
// its process is gone, never because of its age.
std::unique_ptr<QLockFile> slotLock(const QString &folder)
{
    auto lock = std::make_unique<QLockFile>(QDir(folder).filePath(LockName));
    lock->setStaleLockTime(0);
    return lock;
}

// Temporary file, flush to disk, rename over the old one.
bool writeAtomically(const QString &path, const QByteArray &bytes, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = file.errorString();
        return false;
    }
    file.setPermissions(OwnerOnly);
    if (file.write(bytes) != bytes.size() || !file.flush() || file.size() != bytes.size()) {
        *error = file.errorString();
        file.cancelWriting();
        file.commit();
        return false;
    }
    if (!file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

// Our own files, but in a folder anyone with the user's rights can change:
// read as any file from outside.
bool readAll(const QString &path, QByteArray &bytes, qint64 limit)
{
    QString reason;
    bytes = RegularFile::read(path, limit, &reason);
    return reason.isEmpty();
}

int generationOf(const QString &testFileName)
{
    // "test-<n>.ard"
    return testFileName.mid(5, testFileName.size() - 9).toInt();
}
}

// ------------------------------------------------------------- RecoverySlot

RecoverySlot::RecoverySlot(QString folder, std::unique_ptr<QLockFile> lock)
    : m_folder(std::move(folder)), m_lock(std::move(lock))
{
    const QStringList tests = QDir(m_folder).entryList({QStringLiteral("test-*.ard")}, QDir::Files);
    for (const QString &t : tests)
        m_generation = std::max(m_generation, generationOf(t));
}

RecoverySlot::~RecoverySlot() = default;

QString RecoverySlot::descriptionPath() const { return QDir(m_folder).filePath(DescriptionName); }

bool RecoverySlot::write(const RecoveryCopy &copy, QString *error)
{
    const QDir dir(m_folder);
    const QString previous = QStringLiteral("test-%1.ard").arg(m_generation);
    const QString next = QStringLiteral("test-%1.ard").arg(m_generation + 1);
    const QByteArray test = RecoveryFormat::testBytes(copy.work);
    if (!writeAtomically(dir.filePath(next), test, error))
        return false;
    if (!writeAtomically(descriptionPath(), RecoveryFormat::descriptionBytes(copy, next, test), error)) {
        QFile::remove(dir.filePath(next));
        return false;
    }
    ++m_generation;
    QFile::remove(dir.filePath(previous));
    return true;
}

RecoveryFormat::ReadResult RecoverySlot::read() const
{
    // A test holds at most 100 questions of a few hundred characters; far
    // larger files are not ours.
    constexpr qint64 Limit = 16 * 1024 * 1024;
    RecoveryFormat::ReadResult result;
    QByteArray description;
    if (!readAll(descriptionPath(), description, Limit)) {
        result.error = QStringLiteral("the description cannot be read");
        return result;
    }
    const auto header = RecoveryFormat::parseDescriptionHeader(description, &result.error);
    if (!header)
        return result;
    QByteArray test;
    if (!readAll(QDir(m_folder).filePath(header->testFileName), test, Limit)) {
        result.error = QStringLiteral("the test file %1 cannot be read").arg(header->testFileName);
        return result;
    }
    return RecoveryFormat::parse(description, test);
}

bool RecoverySlot::isEmpty() const
{
    const QDir dir(m_folder);
    return !QFileInfo::exists(descriptionPath()) && dir.entryList({QStringLiteral("test-*.ard")}, QDir::Files).isEmpty();
}

void RecoverySlot::remove()
{
    QDir dir(m_folder);
    const QStringList files = dir.entryList(QDir::Files | QDir::Hidden);
    for (const QString &f : files)
        if (f != LockName)
            dir.remove(f);
    m_lock->unlock();
    dir.removeRecursively();
}

// ------------------------------------------------------------ RecoveryStore

RecoveryStore::RecoveryStore(QString root) : m_root(std::move(root)) {}

QString RecoveryStore::defaultRoot()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).filePath(QStringLiteral("recovery"));
}

QString RecoveryStore::damagedFolder() const { return QDir(m_root).filePath(DamagedName); }

bool RecoveryStore::makePrivateFolder(const QString &path, QString *error) const
{
    if (!QDir().mkpath(path) || !QFile::setPermissions(path, OwnerFolder)) {
        *error = QStringLiteral("cannot make the folder %1").arg(QDir::toNativeSeparators(path));
        return false;
    }
    return true;
}

std::unique_ptr<RecoverySlot> RecoveryStore::createSlot(QString *error) const
{
    if (!makePrivateFolder(m_root, error))
        return nullptr;
    const QString name = QStringLiteral("%1-%2")
                             .arg(QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMddHHmmsszzz")),
                                  QUuid::createUuid().toString(QUuid::Id128).left(8));
    const QString folder = QDir(m_root).filePath(name);
    if (!makePrivateFolder(folder, error))
        return nullptr;
    auto lock = slotLock(folder);
    if (!lock->tryLock(0)) {
        *error = QStringLiteral("cannot lock %1").arg(QDir::toNativeSeparators(folder));
        return nullptr;
    }
    QFile::setPermissions(QDir(folder).filePath(LockName), OwnerOnly);
    return std::make_unique<RecoverySlot>(folder, std::move(lock));
}

std::vector<std::unique_ptr<RecoverySlot>> RecoveryStore::claimAbandoned() const
{
    std::vector<std::unique_ptr<RecoverySlot>> found;
    QStringList names = QDir(m_root).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::Reversed);
    names.removeAll(DamagedName);
    for (const QString &name : names) {
        const QString folder = QDir(m_root).filePath(name);
        auto lock = slotLock(folder);
        // Held by a running editor, or taken by one starting now.
        if (!lock->tryLock(0))
            continue;
        found.push_back(std::make_unique<RecoverySlot>(folder, std::move(lock)));
    }
    // Newest first: by the time the description was last written.
    std::stable_sort(found.begin(), found.end(), [](const auto &a, const auto &b) {
        return QFileInfo(a->descriptionPath()).lastModified() > QFileInfo(b->descriptionPath()).lastModified();
    });
    return found;
}

QString RecoveryStore::setAside(std::unique_ptr<RecoverySlot> slot) const
{
    QString error;
    const QString name = QFileInfo(slot->folder()).fileName();
    const QString target = QDir(damagedFolder()).filePath(name);
    if (makePrivateFolder(damagedFolder(), &error) && !QFileInfo::exists(target)) {
        const QString folder = slot->folder();
        slot.reset();   // gives up the lock, which removes the lock file
        if (QDir().rename(folder, target))
            return target;
        slot = std::make_unique<RecoverySlot>(folder, slotLock(folder));
    }
    if (slot)
        slot->remove();
    return QString();
}
