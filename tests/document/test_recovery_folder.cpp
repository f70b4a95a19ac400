// The recovery folder under attack and under strain: links put into it by
// someone else, and a full disk. The files outside it must come out byte for
// byte and mode for mode as they went in, and whatever is foreign is
// reported, never removed.
#include "document/HeldMedia.h"
#include "document/RecoveryStore.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
mode_t modeOf(const QString &path)
{
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
}

RecoveryCopy aCopy()
{
    RecoveryCopy c;
    c.work.title = QStringLiteral("Europe");
    c.work.records = {QStringList({"t", "Is Paris in France?", "none", " 0"}).join(QChar(0x1f))};
    c.lastChange = QDateTime::currentDateTimeUtc();
    return c;
}

// A teacher's folder that a link in the recovery folder points at.
struct Outside {
    QString folder;
    explicit Outside(const QTemporaryDir &dir) : folder(dir.filePath("Documents"))
    {
        QDir().mkpath(QDir(folder).filePath("sub"));
        writeBytes(QDir(folder).filePath("thesis.odt"), "years of work");
        writeBytes(QDir(folder).filePath("copy.txt"), "mine");
        writeBytes(QDir(folder).filePath("sub/test-1.ard"), "also mine");
        QFile::setPermissions(QDir(folder).filePath("copy.txt"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup);
    }
    void expectUntouched() const
    {
        EXPECT_EQ(readBytes(QDir(folder).filePath("thesis.odt")), "years of work");
        EXPECT_EQ(readBytes(QDir(folder).filePath("copy.txt")), "mine");
        EXPECT_EQ(modeOf(QDir(folder).filePath("copy.txt")), mode_t(0640));
        EXPECT_EQ(readBytes(QDir(folder).filePath("sub/test-1.ard")), "also mine");
    }
};

// A slot whose editor has ended, holding a copy.
QString abandonedSlot(const RecoveryStore &store)
{
    QString error;
    auto slot = store.createSlot(&error);
    EXPECT_TRUE(slot && slot->write(aCopy(), &error)) << error.toStdString();
    return slot ? slot->folder() : QString();
}
}

// Links anywhere in the folder: at its top, as a slot's file, as a slot's
// sub-folder. Starting (claiming the abandoned slots) and removing what is
// claimed leave the outside untouched and name every link once.
TEST(RecoveryFolder, LinksInsideAreReportedAndNeverFollowed)
{
    struct Case {
        const char *name;
        // Puts a link to `outside` (a folder) or to its copy.txt somewhere.
        std::function<void(const RecoveryStore &, const QString &outside)> plant;
    };
    const std::vector<Case> cases = {
        {"a link beside the slots",
         [](const RecoveryStore &store, const QString &outside) {
             abandonedSlot(store);   // the store exists and holds a real slot too
             QFile::link(outside, QDir(store.root()).filePath("20990101000000000-aaaaaaaa"));
         }},
        {"the damaged folder is a link",
         [](const RecoveryStore &store, const QString &outside) {
             abandonedSlot(store);
             QFile::link(outside, store.damagedFolder());
         }},
        {"a slot's description is a link",
         [](const RecoveryStore &store, const QString &outside) {
             const QString slot = abandonedSlot(store);
             QFile::remove(QDir(slot).filePath("copy.txt"));
             QFile::link(QDir(outside).filePath("copy.txt"), QDir(slot).filePath("copy.txt"));
         }},
        {"a slot holds a linked folder",
         [](const RecoveryStore &store, const QString &outside) {
             QFile::link(outside, QDir(abandonedSlot(store)).filePath("test-7.ard"));
         }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const Outside outside(dir);
        RecoveryStore store(dir.filePath("recovery"));
        c.plant(store, outside.folder);

        RecoveryStore::Abandoned found = store.claimAbandoned();
        ASSERT_EQ(found.foreign.size(), 1) << found.foreign.join('\n').toStdString();
        EXPECT_TRUE(found.foreign.first().contains("a symbolic link")) << found.foreign.first().toStdString();
        for (auto &slot : found.ended) {
            if (slot->read().copy)
                slot->remove();
            else
                store.setAside(std::move(slot));
        }
        outside.expectUntouched();
        // The link itself stays where it was put.
        EXPECT_EQ(store.claimAbandoned().foreign.size(), 1);
    }
}

// A lock that is no lock: a pipe (which a blocking open would wait on
// forever) or a link to /dev/zero (which never ends) named owner.lock, in a
// recovery slot and in a held-media folder. Starting never opens it: the
// slot is reported as foreign and left as it is, the held folder is kept.
TEST(RecoveryFolder, ALockThatIsNoLockIsNeverOpened)
{
    const struct {
        const char *name;
        std::function<bool(const QString &lock)> plant;
        const char *reason;
    } locks[] = {
        {"a pipe", [](const QString &lock) { return ::mkfifo(QFile::encodeName(lock).constData(), 0600) == 0; },
         "not a regular file"},
        {"a link to /dev/zero", [](const QString &lock) { return QFile::link("/dev/zero", lock); }, "a symbolic link"},
    };
    for (const auto &l : locks) {
        SCOPED_TRACE(l.name);
        QTemporaryDir dir;
        RecoveryStore store(dir.filePath("recovery"));
        const QString slot = abandonedSlot(store);
        ASSERT_TRUE(l.plant(QDir(slot).filePath("owner.lock")));
        const RecoveryStore::Abandoned found = store.claimAbandoned();
        EXPECT_TRUE(found.ended.empty());
        ASSERT_EQ(found.foreign.size(), 1);
        EXPECT_TRUE(found.foreign.first().contains(QStringLiteral("owner.lock (%1)").arg(l.reason)))
            << found.foreign.first().toStdString();
        EXPECT_TRUE(QFileInfo::exists(QDir(slot).filePath("copy.txt")));

        const QString held = dir.filePath("held-media/20990101000000000-aaaaaaaa");
        QDir().mkpath(held);
        QFile::setPermissions(held, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        writeBytes(QDir(held).filePath("logo.bmp"), "BM");
        ASSERT_TRUE(l.plant(QDir(held).filePath("owner.lock")));
        HeldMedia(dir.filePath("held-media")).removeUnreferenced({});
        EXPECT_TRUE(QFileInfo::exists(QDir(held).filePath("logo.bmp")));
    }
}

// A full disk: the reason is the system's, and no empty slot is left.
TEST(RecoveryFolder, AFullDiskIsNamedAndLeavesNoSlot)
{
    QTemporaryDir dir;
    const QString disk = dir.filePath("disk");
    QDir().mkpath(disk);
    if (::mount("tmpfs", QFile::encodeName(disk).constData(), "tmpfs", 0, "size=256k") != 0)
        GTEST_SKIP() << "no small file system can be mounted here";
    {
        QFile filler(QDir(disk).filePath("filler"));
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
        const QByteArray block(4096, 'x');
        while (filler.write(block) == block.size() && filler.flush()) {
        }
    }
    RecoveryStore store(QDir(disk).filePath("recovery"));
    QString error;
    auto slot = store.createSlot(&error);
    if (slot) {
        // The folder and lock fit in the last scraps; the copy does not.
        EXPECT_FALSE(slot->write(aCopy(), &error));
    }
    EXPECT_TRUE(error.contains("No space left on device")) << error.toStdString();
    if (!slot) {
        EXPECT_TRUE(QDir(store.root()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
    }
    slot.reset();
    ::umount(QFile::encodeName(disk).constData());
}
