#include "document/RecoveryStore.h"

#include "platform/PrivateFolder.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <algorithm>

namespace {
using PrivateFolder::LockName;
const QString DescriptionName = QStringLiteral("copy.txt");
const QString DamagedName = QStringLiteral("damaged");
const QRegularExpression TestFileName(QStringLiteral("^test-(\\d{1,9})\\.ard$"));

// The names of the files the program itself writes into a slot: only these
// are ever removed.
bool isOwnFileName(const QString &name)
{
    return name == LockName || name == LockName + QStringLiteral(".rmlock") || name == DescriptionName
           || TestFileName.match(name).hasMatch() || PrivateFolder::isLeftoverTemporary(name);
}

int generationOf(const QString &testFileName)
{
    const auto match = TestFileName.match(testFileName);
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

QString describeForeign(const QString &path, const QString &reason)
{
    return QStringLiteral("%1 (%2)").arg(QDir::toNativeSeparators(path), reason);
}

// Removes the program's own files of a slot folder, by name, then the
// folder when that left it empty.
void removeSlotFolder(const QString &folder)
{
    for (const PrivateFolder::Entry &e : PrivateFolder::list(folder))
        if (e.kind == PrivateFolder::Kind::File && isOwnFileName(e.name))
            PrivateFolder::removeFile(QDir(folder).filePath(e.name));
    PrivateFolder::removeEmptyFolder(folder);
}
}

// ------------------------------------------------------------- RecoverySlot

RecoverySlot::RecoverySlot(QString folder, std::unique_ptr<QLockFile> lock)
    : m_folder(std::move(folder)), m_lock(std::move(lock))
{
    for (const PrivateFolder::Entry &e : PrivateFolder::list(m_folder))
        if (e.kind == PrivateFolder::Kind::File)
            m_generation = std::max(m_generation, generationOf(e.name));
}

RecoverySlot::~RecoverySlot() = default;

QString RecoverySlot::descriptionPath() const { return QDir(m_folder).filePath(DescriptionName); }

bool RecoverySlot::write(const RecoveryCopy &copy, QString *error)
{
    const QDir dir(m_folder);
    const QString previous = QStringLiteral("test-%1.ard").arg(m_generation);
    const QString next = QStringLiteral("test-%1.ard").arg(m_generation + 1);
    const QByteArray test = RecoveryFormat::testBytes(copy.work);
    if (!PrivateFolder::write(dir.filePath(next), test, error))
        return false;
    if (!PrivateFolder::write(descriptionPath(), RecoveryFormat::descriptionBytes(copy, next, test), error)) {
        PrivateFolder::removeFile(dir.filePath(next));
        return false;
    }
    ++m_generation;
    PrivateFolder::removeFile(dir.filePath(previous));
    return true;
}

RecoveryFormat::ReadResult RecoverySlot::read() const
{
    // A test holds at most 100 questions of a few hundred characters; far
    // larger files are not ours.
    constexpr qint64 Limit = 16 * 1024 * 1024;
    RecoveryFormat::ReadResult result;
    QString reason;
    const QByteArray description = PrivateFolder::read(descriptionPath(), Limit, &reason);
    if (!reason.isEmpty()) {
        result.error = QStringLiteral("the description cannot be read (%1)").arg(reason);
        return result;
    }
    const auto header = RecoveryFormat::parseDescriptionHeader(description, &result.error);
    if (!header)
        return result;
    if (generationOf(header->testFileName) < 0) {
        result.error = QStringLiteral("the description names no test file of a copy");
        return result;
    }
    const QByteArray test = PrivateFolder::read(QDir(m_folder).filePath(header->testFileName), Limit, &reason);
    if (!reason.isEmpty()) {
        result.error = QStringLiteral("the test file %1 cannot be read (%2)").arg(header->testFileName, reason);
        return result;
    }
    return RecoveryFormat::parse(description, test);
}

bool RecoverySlot::isEmpty() const
{
    for (const PrivateFolder::Entry &e : PrivateFolder::list(m_folder))
        if (e.name == DescriptionName || generationOf(e.name) >= 0)
            return false;
    return true;
}

void RecoverySlot::remove()
{
    m_lock->unlock();
    removeSlotFolder(m_folder);
}

QStringList RecoverySlot::foreignEntries() const
{
    QStringList foreign;
    for (const PrivateFolder::Entry &e : PrivateFolder::list(m_folder))
        if (e.kind != PrivateFolder::Kind::File)
            foreign << describeForeign(QDir(m_folder).filePath(e.name),
                                       e.kind == PrivateFolder::Kind::Folder ? QStringLiteral("a folder") : e.foreignReason);
    return foreign;
}

// ------------------------------------------------------------ RecoveryStore

RecoveryStore::RecoveryStore(QString root) : m_root(std::move(root)) {}

QString RecoveryStore::defaultRoot()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).filePath(QStringLiteral("recovery"));
}

QString RecoveryStore::damagedFolder() const { return QDir(m_root).filePath(DamagedName); }

QString RecoveryStore::unusable() const
{
    if (!QFileInfo(m_root).isSymLink() && !QFileInfo::exists(m_root))
        return {};
    return PrivateFolder::unfitness(m_root);
}

bool RecoveryStore::makePrivateFolder(const QString &path, QString *error) const
{
    QString reason;
    if (!PrivateFolder::make(path, &reason)) {
        *error = QStringLiteral("cannot use the folder %1: %2").arg(QDir::toNativeSeparators(path), reason);
        return false;
    }
    return true;
}

std::unique_ptr<RecoverySlot> RecoveryStore::createSlot(QString *error) const
{
    if (!makePrivateFolder(m_root, error))
        return nullptr;
    const QString folder = QDir(m_root).filePath(PrivateFolder::newFolderName());
    if (!makePrivateFolder(folder, error))
        return nullptr;
    auto lock = PrivateFolder::hold(folder);
    if (!lock) {
        // The lock says only that it failed; a small write of our own finds
        // the system's reason (a full disk, most often).
        const QString probe = QDir(folder).filePath(DescriptionName);
        QString reason;
        if (PrivateFolder::write(probe, QByteArray(64, ' '), &reason))
            reason = QStringLiteral("cannot lock %1").arg(QDir::toNativeSeparators(folder));
        removeSlotFolder(folder);
        *error = reason;
        return nullptr;
    }
    return std::make_unique<RecoverySlot>(folder, std::move(lock));
}

RecoveryStore::Abandoned RecoveryStore::claimAbandoned() const
{
    Abandoned found;
    if (!unusable().isEmpty())
        return found;
    std::vector<PrivateFolder::Entry> entries = PrivateFolder::list(m_root);
    // Newest name first: a slot's name begins with the time it was made.
    std::sort(entries.begin(), entries.end(), [](const auto &a, const auto &b) { return a.name > b.name; });
    for (const PrivateFolder::Entry &e : entries) {
        const QString folder = QDir(m_root).filePath(e.name);
        if (e.name == DamagedName && e.kind == PrivateFolder::Kind::Folder)
            continue;
        if (e.kind != PrivateFolder::Kind::Folder) {
            found.foreign << describeForeign(folder, e.kind == PrivateFolder::Kind::File ? QStringLiteral("not a copy") : e.foreignReason);
            continue;
        }
        PrivateFolder::Entry foreignLock;
        auto lock = PrivateFolder::hold(folder, &foreignLock);
        // A lock that is no lock (a pipe, a link) is never opened: the slot
        // is foreign. Else held by a running editor, or taken by one
        // starting now.
        if (!foreignLock.name.isEmpty())
            found.foreign << describeForeign(QDir(folder).filePath(foreignLock.name), foreignLock.foreignReason);
        if (!lock)
            continue;
        auto slot = std::make_unique<RecoverySlot>(folder, std::move(lock));
        // A slot with something foreign in it is left exactly as it is.
        if (const QStringList foreign = slot->foreignEntries(); !foreign.isEmpty()) {
            found.foreign << foreign;
            continue;
        }
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        found.ended.push_back(std::move(slot));
    }
    // Newest first: by the time the description was last written.
    std::stable_sort(found.ended.begin(), found.ended.end(), [](const auto &a, const auto &b) {
        return QFileInfo(a->descriptionPath()).lastModified() > QFileInfo(b->descriptionPath()).lastModified();
    });
    return found;
}

QString RecoveryStore::setAside(std::unique_ptr<RecoverySlot> slot) const
{
    QString error;
    const QString name = QFileInfo(slot->folder()).fileName();
    const QString target = QDir(damagedFolder()).filePath(name);
    if (makePrivateFolder(damagedFolder(), &error) && !QFileInfo(target).isSymLink() && !QFileInfo::exists(target)) {
        const QString folder = slot->folder();
        slot.reset();   // gives up the lock, which removes the lock file
        if (QDir().rename(folder, target)) {
            pruneDamaged();
            return target;
        }
        slot = std::make_unique<RecoverySlot>(folder, PrivateFolder::ownerLock(folder));
    }
    if (slot)
        slot->remove();
    return QString();
}

void RecoveryStore::pruneDamaged() const
{
    QStringList names;
    for (const PrivateFolder::Entry &e : PrivateFolder::list(damagedFolder()))
        if (e.kind == PrivateFolder::Kind::Folder)
            names << e.name;
    // Names begin with the time the slot was made: the oldest sort first.
    names.sort();
    for (qsizetype i = 0; i + DamagedKept < names.size(); ++i)
        removeSlotFolder(QDir(damagedFolder()).filePath(names.at(i)));
}
