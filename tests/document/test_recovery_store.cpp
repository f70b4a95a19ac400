// The recovery folder and the two files of a copy: what is written reads back
// exactly, the test file is the one Save writes, only the owner can read it,
// and a copy damaged in any way is refused as a whole and set aside.
#include "document/QuestionRecord.h"
#include "document/RecoveryStore.h"
#include "document/TestFile.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
RecoveryCopy sampleCopy()
{
    RecoveryCopy c;
    c.work.title = QStringLiteral("Europe");
    c.work.teacher = QStringLiteral("Class 5 / Ms Weiß");
    c.work.records = {record({"m", "Capital of France?", "Berlin", "Madrid", "Paris", "Rome", "/pics/paris.jpg", " 2"}),
                      record({"t", "Line one\r\nline two = \\n", "none", " 1"}),
                      // Greek and an emoji: the .ard holds '?', the copy the text.
                      record({"t", "Ελλάδα 🙂", "none", " 0"})};
    // What the companion file keeps: the language and the descriptions,
    // also of what is being typed.
    c.work.companion = {QStringLiteral("de-AT"), {QStringLiteral("Der Eiffelturm\r\nbei Nacht = \\n"), QString(), QString()}};
    c.work.originalPath = QStringLiteral("/home/anna/tests/europe.ard");
    c.work.entry.mcDescription = QStringLiteral("A map");
    c.work.entry.tfDescription = QStringLiteral("Birdsong");
    c.work.entry.type = 1;
    c.work.entry.mcQuestion = QStringLiteral("Half typed\r\nsecond line");
    c.work.entry.mcAnswers = {QStringLiteral("a"), QString(), QStringLiteral("c=d"), QString()};
    c.work.entry.mcCorrect = 2;
    c.work.entry.tfQuestion = QStringLiteral("Is \\ a backslash?");
    c.work.entry.tfAnswer = 1;
    c.work.entry.editing = 2;
    c.lastChange = QDateTime(QDate(2026, 12, 6), QTime(19, 42, 10, 123), Qt::UTC);
    return c;
}

QString testFileIn(const QString &folder)
{
    const QStringList tests = QDir(folder).entryList({"test-*.ard"}, QDir::Files);
    return tests.size() == 1 ? QDir(folder).filePath(tests.first()) : QString();
}
}

TEST(RecoveryStore, CopyReadsBackExactlyAndItsTestIsWhatSaveWrites)
{
    QTemporaryDir dir;
    RecoveryStore store(dir.filePath("recovery"));
    QString error;
    auto slot = store.createSlot(&error);
    ASSERT_TRUE(slot) << error.toStdString();
    const RecoveryCopy copy = sampleCopy();
    ASSERT_TRUE(slot->write(copy, &error)) << error.toStdString();

    const RecoveryFormat::ReadResult read = slot->read();
    ASSERT_TRUE(read.copy) << read.error.toStdString();
    EXPECT_EQ(read.copy->work, copy.work);
    EXPECT_EQ(read.copy->lastChange, copy.lastChange);
    EXPECT_EQ(readBytes(testFileIn(slot->folder())),
              testFileBytes(copy.work.title, copy.work.teacher, copy.work.records));

    // A second write replaces the first: one test file, the newer content.
    RecoveryCopy newer = copy;
    newer.work.records.removeLast();
    newer.work.entry = EntryArea();
    ASSERT_TRUE(slot->write(newer, &error));
    EXPECT_EQ(slot->read().copy->work, newer.work);
    EXPECT_FALSE(testFileIn(slot->folder()).isEmpty());
}

TEST(RecoveryStore, OnlyTheOwnerCanReadTheCopy)
{
    QTemporaryDir dir;
    RecoveryStore store(dir.filePath("recovery"));
    QString error;
    auto slot = store.createSlot(&error);
    ASSERT_TRUE(slot->write(sampleCopy(), &error));
    const auto ownerFolder = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
    const auto ownerFile = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    const auto mask = ownerFolder | QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup
                      | QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;
    EXPECT_EQ(QFileInfo(store.root()).permissions() & mask, ownerFolder);
    EXPECT_EQ(QFileInfo(slot->folder()).permissions() & mask, ownerFolder);
    for (const QFileInfo &f : QDir(slot->folder()).entryInfoList(QDir::Files))
        EXPECT_EQ(f.permissions() & mask, ownerFile) << f.fileName().toStdString();

    // A folder an older version made with the usual mode is tightened.
    slot.reset();
    QFile::setPermissions(store.root(), ownerFolder | QFileDevice::ReadGroup | QFileDevice::ExeGroup
                                            | QFileDevice::ReadOther | QFileDevice::ExeOther);
    ASSERT_TRUE(store.createSlot(&error)) << error.toStdString();
    EXPECT_EQ(QFileInfo(store.root()).permissions() & mask, ownerFolder);
}

// A recovery folder that is itself a link (to a folder someone else chose)
// is never used: nothing is written through it, and the reason is given.
TEST(RecoveryStore, ARecoveryFolderThatIsALinkIsNotUsed)
{
    QTemporaryDir dir;
    QDir().mkpath(dir.filePath("elsewhere"));
    ASSERT_TRUE(QFile::link(dir.filePath("elsewhere"), dir.filePath("recovery")));
    RecoveryStore store(dir.filePath("recovery"));
    EXPECT_EQ(store.unusable(), QStringLiteral("a symbolic link"));
    QString error;
    EXPECT_FALSE(store.createSlot(&error));
    EXPECT_TRUE(error.contains("a symbolic link")) << error.toStdString();
    EXPECT_TRUE(QDir(dir.filePath("elsewhere")).isEmpty());
}

// Cut at every length, either file: refused, never read half.
TEST(RecoveryStore, ACopyCutAtAnyLengthIsRefused)
{
    QTemporaryDir dir;
    RecoveryStore store(dir.filePath("recovery"));
    QString error;
    auto slot = store.createSlot(&error);
    ASSERT_TRUE(slot->write(sampleCopy(), &error));
    const QString descriptionPath = slot->descriptionPath();
    const QString testPath = testFileIn(slot->folder());
    const QByteArray description = readBytes(descriptionPath);
    const QByteArray test = readBytes(testPath);
    for (qsizetype n = 0; n < description.size(); ++n) {
        writeBytes(descriptionPath, description.left(n));
        const auto read = slot->read();
        EXPECT_FALSE(read.copy) << "description cut at " << n;
        EXPECT_FALSE(read.error.isEmpty());
    }
    writeBytes(descriptionPath, description);
    for (qsizetype n = 0; n < test.size(); ++n) {
        writeBytes(testPath, test.left(n));
        EXPECT_FALSE(slot->read().copy) << "test cut at " << n;
    }
    writeBytes(testPath, test);
    EXPECT_TRUE(slot->read().copy);
}

TEST(RecoveryStore, ForeignNewerAndTamperedCopiesAreRefusedWithAReason)
{
    const RecoveryCopy copy = sampleCopy();
    const QByteArray test = RecoveryFormat::testBytes(copy.work);
    const QByteArray description = RecoveryFormat::descriptionBytes(copy, "test-1.ard", test);
    ASSERT_TRUE(RecoveryFormat::parse(description, test).copy);

    QByteArray newer = description;
    newer.replace("Ardenox recovery 1\n", "Ardenox recovery 7\n");
    EXPECT_TRUE(RecoveryFormat::parse(newer, test).error.contains("newer"));

    EXPECT_FALSE(RecoveryFormat::parse("PK\x03\x04 something else entirely\nend\n", test).copy);

    QByteArray otherTest = test;
    otherTest[otherTest.size() / 2] = char(otherTest[otherTest.size() / 2] ^ 1);
    EXPECT_TRUE(RecoveryFormat::parse(description, otherTest).error.contains("changed"));

    QByteArray outOfRange = description;
    outOfRange.replace("entry.mc.correct=2\n", "entry.mc.correct=9\n");
    EXPECT_FALSE(RecoveryFormat::parse(outOfRange, test).copy);

    QByteArray escapes = description;
    escapes.replace("title=Europe\n", "title=Eur\\ope\n");
    EXPECT_FALSE(RecoveryFormat::parse(escapes, test).copy);
}

TEST(RecoveryStore, DamagedSlotsAreSetAsideAndNotClaimedAgain)
{
    QTemporaryDir dir;
    RecoveryStore store(dir.filePath("recovery"));
    QString error;
    auto slot = store.createSlot(&error);
    ASSERT_TRUE(slot->write(sampleCopy(), &error));
    writeBytes(slot->descriptionPath(), "Ardenox recovery 1\ntest=te");
    const QString name = QFileInfo(slot->folder()).fileName();
    slot.reset();
    auto claimed = store.claimAbandoned().ended;
    ASSERT_EQ(claimed.size(), 1u);
    const QString moved = store.setAside(std::move(claimed.front()));
    EXPECT_EQ(moved, QDir(store.damagedFolder()).filePath(name));
    EXPECT_TRUE(QFileInfo::exists(QDir(moved).filePath("copy.txt")));
    EXPECT_TRUE(store.claimAbandoned().ended.empty());

    // Only the ten newest damaged copies are kept.
    for (int i = 0; i < RecoveryStore::DamagedKept + 2; ++i) {
        auto another = store.createSlot(&error);
        ASSERT_TRUE(another && another->write(sampleCopy(), &error)) << error.toStdString();
        writeBytes(another->descriptionPath(), "Ardenox recovery 1\ntest=te");
        another.reset();
        auto found = store.claimAbandoned().ended;
        ASSERT_EQ(found.size(), 1u);
        store.setAside(std::move(found.front()));
    }
    const QStringList kept = QDir(store.damagedFolder()).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    EXPECT_EQ(kept.size(), RecoveryStore::DamagedKept);
    EXPECT_FALSE(kept.contains(name));   // the oldest went first
}

TEST(RecoverySnapshot, EmptyMeansNothingTypedAnywhere)
{
    EditorSnapshot s;
    EXPECT_TRUE(s.isEmpty());
    s.entry.mcMedia = QStringLiteral("None");   // the box's text at start
    EXPECT_TRUE(s.isEmpty());
    s.entry.mcAnswers[3] = QStringLiteral("x");
    EXPECT_FALSE(s.isEmpty());
    s = EditorSnapshot();
    s.teacher = QStringLiteral("Class 5");
    EXPECT_FALSE(s.isEmpty());
}
