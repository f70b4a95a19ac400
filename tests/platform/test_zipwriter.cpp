// The zip writer as another program reads it: Python's zipfile takes the
// archive back entry by entry (names, contents, CRCs, deflated or stored),
// and a file that is not a regular one, or a sink that refuses, stops the
// writing with the reason.

#include "ToolRun.h"
#include "platform/OpenFile.h"
#include "platform/ZipWriter.h"
#include "TestFiles.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {
// Each entry of the archive as Python reads it: name, method, contents.
QJsonArray readBack(const QByteArray &archive, const QString &folder)
{
    const QString path = writeBytes(folder + QStringLiteral("/a.zip"), archive);
    const ToolRun run = runProgram(QStringLiteral("python3"),
                                   {QStringLiteral("-c"), QStringLiteral(
                                        "import base64, json, sys, zipfile\n"
                                        "z = zipfile.ZipFile(sys.argv[1])\n"
                                        "assert z.testzip() is None\n"
                                        "print(json.dumps([[i.filename, i.compress_type, i.flag_bits,"
                                        " base64.b64encode(z.read(i)).decode()] for i in z.infolist()]))"),
                                    path});
    EXPECT_EQ(run.status, 0) << run.err.constData();
    return QJsonDocument::fromJson(run.out).array();
}
}

TEST(ZipWriter, Crc32IsTheStandardOne)
{
    EXPECT_EQ(ZipWriter::crc32("123456789"), 0xCBF43926u);
    EXPECT_EQ(ZipWriter::crc32(QByteArray()), 0u);
    // In pieces, the same as whole.
    EXPECT_EQ(ZipWriter::crc32("6789", ZipWriter::crc32("12345")), 0xCBF43926u);
}

TEST(ZipWriter, AnotherProgramReadsEveryEntryBack)
{
    QTemporaryDir dir;
    QByteArray media(300000, Qt::Uninitialized);
    for (int i = 0; i < media.size(); ++i)
        media[i] = char((i * 7919) >> 3);
    const QString mediaPath = dir.filePath(QStringLiteral("clip.bin"));
    writeBytes(mediaPath, media);

    const QByteArray text = QByteArray("<manifest>") + QByteArray(5000, 'x') + "</manifest>";
    QByteArray archive;
    ZipWriter zip([&archive](const QByteArray &b) {
        archive += b;
        return true;
    });
    ASSERT_TRUE(zip.addBytes(QStringLiteral("imsmanifest.xml"), text));
    ASSERT_TRUE(zip.addBytes(QStringLiteral("empty.txt"), QByteArray()));
    const OpenFilePtr mediaFile = OpenFile::open(mediaPath, nullptr);
    ASSERT_TRUE(mediaFile);
    ASSERT_TRUE(zip.addFile(QStringLiteral("media/1.bin"), *mediaFile));
    ASSERT_TRUE(zip.addBytes(QStringLiteral("Gr\u00FC\u00DFe.txt"), "hallo", false));
    ASSERT_TRUE(zip.finish());

    const QJsonArray entries = readBack(archive, dir.path());
    ASSERT_EQ(entries.size(), 4);
    struct Expected {
        QString name;
        int method;
        bool utf8Flag;
        QByteArray bytes;
    };
    const Expected expected[] = {
        {QStringLiteral("imsmanifest.xml"), 8, false, text},   // deflated
        {QStringLiteral("empty.txt"), 0, false, QByteArray()},
        {QStringLiteral("media/1.bin"), 0, false, media},      // stored
        {QStringLiteral("Gr\u00FC\u00DFe.txt"), 0, true, "hallo"},
    };
    for (int i = 0; i < 4; ++i) {
        const QJsonArray e = entries[i].toArray();
        EXPECT_EQ(e[0].toString(), expected[i].name);
        EXPECT_EQ(e[1].toInt(), expected[i].method) << expected[i].name.toStdString();
        EXPECT_EQ((e[2].toInt() & 0x800) != 0, expected[i].utf8Flag);
        EXPECT_EQ(QByteArray::fromBase64(e[3].toString().toLatin1()), expected[i].bytes);
    }
}

TEST(ZipWriter, StopsWithTheReason)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("pipe.mp3"));
    ASSERT_EQ(mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    QString reason;
    EXPECT_FALSE(OpenFile::open(fifo, &reason));   // a pipe is never opened for a package
    EXPECT_EQ(reason, QStringLiteral("not a regular file (a pipe)"));

    int pieces = 0;
    ZipWriter refused([&pieces](const QByteArray &) { return ++pieces < 2; });
    EXPECT_FALSE(refused.addBytes(QStringLiteral("a.txt"), "text"));
    EXPECT_FALSE(refused.finish());   // nothing more goes out after a refusal
    EXPECT_EQ(pieces, 2);
    EXPECT_EQ(refused.errorString(), QStringLiteral("it cannot be written"));
}
