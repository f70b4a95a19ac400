// The AVI writer checked from outside: Debian's ffprobe/ffmpeg must read
// every file we write, and uncompressed frames must decode to the bitmaps'
// own pixels. Skipped with a notice where ffmpeg is not installed.

#include "avimaker/AviMaker.h"
#include "avimaker/ScriptedAviView.h"
#include "avimaker/AviRiffWriter.h"
#include "BmpFixture.h"
#include "avimaker/FrameEncoder.h"
#include "RiffReader.h"
#include "TestDoubles.h"
#include "avimaker/cDIB.h"

#include <QColor>
#include <algorithm>
#include <cmath>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
// Motion JPEG of a smooth picture at the options dialog's quality (85,
// quantiser 6) measured 43.4 dB; quantiser 10 gives 38.9.
constexpr double kMjpegDefaultPsnr = 42;

struct Probe {
    QString codec;
    int width = 0, height = 0, frames = -1;
    QString rate;
};

class AviWriterTest : public ::testing::Test {
protected:
    ScopedPlatform platform;
    QTemporaryDir dir;
    QString ffprobe = QStandardPaths::findExecutable("ffprobe");
    QString ffmpeg = QStandardPaths::findExecutable("ffmpeg");

    void SetUp() override
    {
        if (ffprobe.isEmpty() || ffmpeg.isEmpty())
            GTEST_SKIP() << "ffmpeg/ffprobe not installed; AVI files cannot be checked";
    }
    QString path(const QString &name) const { return dir.filePath(name); }

    QStringList frames(BmpSpec spec, int count, const QString &prefix = "f")
    {
        QStringList files;
        for (int i = 0; i < count; ++i) {
            spec.seed = i;
            files << path(QString("%1%2.bmp").arg(prefix).arg(i, 3, 10, QChar('0')));
            writeBytes(files.last(), makeBmp(spec));
        }
        return files;
    }
    QByteArray expectedBgr(BmpSpec spec, int count)
    {
        QByteArray all;
        for (int i = 0; i < count; ++i) {
            spec.seed = i;
            all += bmpAsBgr24(spec);
        }
        return all;
    }

    Probe probe(const QString &file)
    {
        QProcess p;
        p.start(ffprobe, {"-v", "error", "-count_frames", "-select_streams", "v:0", "-show_entries",
                          "stream=codec_name,width,height,r_frame_rate,nb_read_frames", "-of",
                          "default=nw=1", file});
        p.waitForFinished(60000);
        Probe r;
        for (const QByteArray &line : p.readAllStandardOutput().split('\n')) {
            const int eq = line.indexOf('=');
            const QByteArray key = line.left(eq), value = line.mid(eq + 1);
            if (key == "codec_name") r.codec = value;
            else if (key == "width") r.width = value.toInt();
            else if (key == "height") r.height = value.toInt();
            else if (key == "r_frame_rate") r.rate = value;
            else if (key == "nb_read_frames") r.frames = value.toInt();
        }
        return r;
    }
    QByteArray decode(const QString &file)
    {
        QProcess p;
        p.start(ffmpeg, {"-v", "error", "-i", file, "-f", "rawvideo", "-pix_fmt", "bgr24", "-"});
        p.waitForFinished(60000);
        return p.readAllStandardOutput();
    }
    AviWriteResult write(const QString &out, const QStringList &files, const QString &fps,
                         ScriptedAviView &view, qint64 limit = 0)
    {
        return writeAviFromList(out, files, fps, view, limit);
    }
};
}

TEST_F(AviWriterTest, UncompressedFramesDecodeToTheBitmapPixels)
{
    struct Case { int width, height, bitCount; };
    for (const Case c : {Case{7, 5, 24}, Case{5, 6, 8}, Case{13, -4, 24}, Case{64, 48, 24}}) {
        SCOPED_TRACE(QString("%1x%2x%3").arg(c.width).arg(c.height).arg(c.bitCount).toStdString());
        BmpSpec spec;
        spec.width = c.width;
        spec.height = c.height;
        spec.bitCount = c.bitCount;
        const QStringList files = frames(spec, 3);
        ScriptedAviView view;
        const QString out = path("raw.avi");
        const AviWriteResult r = write(out, files, "12.6", view);
        EXPECT_EQ(r.status, AVIERR_OK);
        EXPECT_TRUE(r.finished);
        const Probe p = probe(out);
        EXPECT_EQ(p.codec, "rawvideo");
        EXPECT_EQ(p.width, c.width);
        EXPECT_EQ(p.height, qAbs(c.height));
        EXPECT_EQ(p.rate, "13/1");
        EXPECT_EQ(p.frames, 3);
        EXPECT_TRUE(decode(out) == expectedBgr(spec, 3));
    }
    EXPECT_TRUE(platform.messages.shown.isEmpty());
}

TEST_F(AviWriterTest, StreamHeaderFormatChunksAndIndexAsWritten)
{
    BmpSpec spec;
    spec.width = 5;
    spec.bitCount = 8;
    const QStringList files = frames(spec, 3);
    ScriptedAviView view;
    const QString out = path("hdr.avi");
    ASSERT_TRUE(write(out, files, "7fps", view).finished);
    EXPECT_EQ(view.selected, (QList<int>{0, 0, 1, 2}));
    EXPECT_EQ(view.statuses, (QStringList{"Frame number 0 saved", "Frame number 1 saved",
                                          "Frame number 2 saved", "Finished!"}));

    const QByteArray file = readBytes(out);
    bool ok = false;
    const QList<RiffChunk> chunks = readRiff(file, &ok);
    ASSERT_TRUE(ok);
    const auto strh = chunksAt(chunks, "RIFF:AVI /LIST:hdrl/LIST:strl/strh");
    ASSERT_EQ(strh.size(), 1);
    const QByteArray h = strh[0].payload;
    EXPECT_EQ(h.mid(0, 4), "vids");
    EXPECT_EQ(h.mid(4, 4), "DIB ");
    EXPECT_EQ(le32At(h, 20), 1u);          // dwScale
    EXPECT_EQ(le32At(h, 24), 7u);          // dwRate
    EXPECT_EQ(le32At(h, 32), 3u);          // dwLength
    EXPECT_EQ(le32At(h, 36), 8u * 6);      // dwSuggestedBufferSize: SizeImage
    EXPECT_EQ(le32At(h, 40), 0u);          // dwQuality: zero, as the window hands it over
    EXPECT_EQ(le16At(h, 52), 5);           // rcFrame right
    EXPECT_EQ(le16At(h, 54), 6);           // rcFrame bottom

    cDIB first;
    ASSERT_TRUE(first.CreateFromFile(files[0]));
    const auto strf = chunksAt(chunks, "RIFF:AVI /LIST:hdrl/LIST:strl/strf");
    ASSERT_EQ(strf.size(), 1);
    EXPECT_EQ(strf[0].payload, first.bitmapInfo());
    EXPECT_EQ(strf[0].payload.size(), 1064);

    const auto samples = chunksAt(chunks, "RIFF:AVI /LIST:movi/00db");
    ASSERT_EQ(samples.size(), 3);
    const auto idx1 = chunksAt(chunks, "RIFF:AVI /idx1");
    ASSERT_EQ(idx1.size(), 1);
    ASSERT_EQ(idx1[0].payload.size(), 3 * 16);
    const qint64 movi = chunksAt(chunks, "RIFF:AVI /LIST:movi")[0].offset + 8;
    for (int i = 0; i < 3; ++i) {
        cDIB frame;
        ASSERT_TRUE(frame.CreateFromFile(files[i]));
        EXPECT_EQ(samples[i].payload, frame.bits());
        EXPECT_EQ(idx1[0].payload.mid(i * 16, 4), "00db");
        EXPECT_EQ(le32At(idx1[0].payload, i * 16 + 4), 0x10u);   // key frame
        EXPECT_EQ(movi + le32At(idx1[0].payload, i * 16 + 8), samples[i].offset);
        EXPECT_EQ(le32At(idx1[0].payload, i * 16 + 12), quint32(frame.SizeImage()));
    }
}

TEST_F(AviWriterTest, PastTheRiffLimitTheFileGoesOnAsOpenDml)
{
    BmpSpec spec;
    spec.width = 64;
    spec.height = 48;
    const int count = 40;
    const QStringList files = frames(spec, count);
    ScriptedAviView view;
    const QString out = path("odml.avi");
    ASSERT_TRUE(write(out, files, "25", view, 64 * 1024).finished);

    const QByteArray file = readBytes(out);
    bool ok = false;
    const QList<RiffChunk> chunks = readRiff(file, &ok);
    ASSERT_TRUE(ok);
    int avix = 0;
    for (const RiffChunk &c : chunks)
        if (c.path == "RIFF:AVIX") {
            ++avix;
            EXPECT_LE(c.payload.size() + 8, 64 * 1024);
        }
    EXPECT_GE(avix, 2);
    EXPECT_EQ(chunksAt(chunks, "RIFF:AVI /LIST:hdrl/LIST:strl/indx").size(), 1);
    EXPECT_EQ(chunksAt(chunks, "RIFF:AVI /LIST:hdrl/LIST:odml/dmlh").size(), 1);
    EXPECT_EQ(chunksAt(chunks, "RIFF:AVIX/LIST:movi/ix00").size(), avix);
    EXPECT_EQ(chunksAt(chunks, "RIFF:AVI /LIST:movi/ix00").size(), 1);
    EXPECT_EQ(le32At(chunksAt(chunks, "RIFF:AVI /LIST:hdrl/LIST:strl/strh")[0].payload, 32),
              quint32(count));

    const Probe p = probe(out);
    EXPECT_EQ(p.frames, count);
    EXPECT_TRUE(decode(out) == expectedBgr(spec, count));
}

TEST_F(AviWriterTest, EveryCodecWritesAFilePlayersRead)
{
    BmpSpec spec;
    spec.width = 64;
    spec.height = 48;
    const QStringList files24 = frames(spec, 4, "c");
    BmpSpec pal = spec;
    pal.bitCount = 8;
    const QStringList files8 = frames(pal, 4, "p");

    const QHash<QString, QString> names = {
        {"mjpeg", "mjpeg"}, {"cinepak", "cinepak"}, {"msvideo1", "msvideo1"}, {"ffv1", "ffv1"},
        {"mpeg4", "mpeg4"}, {"huffyuv", "huffyuv"}, {"zmbv", "zmbv"}};
    const QStringList lossless = {"ffv1", "huffyuv", "zmbv"};
    for (const VideoCodecInfo &codec : videoCodecs()) {
        if (codec.id == VideoCodec::None)
            continue;
        for (const bool palette : {false, true}) {
            SCOPED_TRACE(std::string(codec.toolName) + (palette ? " from 8 bit" : " from 24 bit"));
            ScriptedAviView view;
            view.options.fccHandler = codec.fourcc;
            view.options.dwFlags = AVICOMPRESSF_VALID | AVICOMPRESSF_KEYFRAMES;
            view.options.dwKeyFrameEvery = 2;
            const QString out = path(QString("%1%2.avi").arg(codec.toolName).arg(palette));
            const AviWriteResult r = write(out, palette ? files8 : files24, "10", view);
            ASSERT_EQ(r.status, AVIERR_OK);
            const Probe p = probe(out);
            EXPECT_EQ(p.codec, names.value(codec.toolName));
            EXPECT_EQ(p.frames, 4);
            EXPECT_EQ(p.width, 64);
            EXPECT_EQ(p.height, 48);
            EXPECT_EQ(p.rate, "10/1");

            bool ok = false;
            const QList<RiffChunk> chunks = readRiff(readBytes(out), &ok);
            EXPECT_TRUE(ok);   // odd packets are padded
            EXPECT_EQ(chunksAt(chunks, "RIFF:AVI /LIST:movi/00dc").size(), 4);
            const QByteArray strh = chunksAt(chunks, "RIFF:AVI /LIST:hdrl/LIST:strl/strh")[0].payload;
            EXPECT_EQ(le32At(strh, 4), codec.fourcc);
            // A codec without a key-frame choice makes every frame a key frame;
            // one with delta frames starts on one, and MPEG-4 and ZMBV make
            // one every "Key Frame Every" frames exactly (Cinepak and Video 1
            // also start one where a frame changes too much).
            const QByteArray idx1 = chunksAt(chunks, "RIFF:AVI /idx1").value(0).payload;
            ASSERT_EQ(idx1.size(), 4 * 16);
            const bool exact = codec.id == VideoCodec::Mpeg4 || codec.id == VideoCodec::Zmbv;
            for (int i = 0; i < 4; ++i) {
                const bool key = le32At(idx1, i * 16 + 4) & 0x10u;
                if (!codec.usesKeyFrames || i == 0) {
                    EXPECT_TRUE(key) << "frame " << i;
                } else if (exact) {
                    EXPECT_EQ(key, i % 2 == 0) << "frame " << i;
                }
            }
            if (lossless.contains(codec.toolName)) {
                EXPECT_TRUE(decode(out) == expectedBgr(palette ? pal : spec, 4));
            }
        }
    }
}

// Motion JPEG at the options dialog's quality keeps a smooth frame close to
// its bitmap, measured as the decoded frame's peak signal-to-noise ratio.
TEST_F(AviWriterTest, MotionJpegAtTheDefaultQualityKeepsThePicture)
{
    BmpSpec spec;
    spec.width = 160;
    spec.height = 120;
    spec.bitCount = 32;
    spec.pixel = [](int x, int y) { return quint32(x * 255 / 160 | (y * 255 / 120) << 8 | ((x + y) * 255 / 280) << 16); };
    const QStringList files = frames(spec, 1, "q");
    ScriptedAviView view;
    view.options.fccHandler = makeFourCC("MJPG");
    view.options.dwQuality = 8500;   // the options dialog's own
    ASSERT_EQ(write(path("q.avi"), files, "10", view).status, AVIERR_OK);
    const QImage source = QImage(files[0]).convertToFormat(QImage::Format_BGR888);
    QByteArray expected;
    for (int y = 0; y < source.height(); ++y)
        expected += QByteArray(reinterpret_cast<const char *>(source.constScanLine(y)), source.width() * 3);
    const QByteArray decoded = decode(path("q.avi"));
    ASSERT_EQ(decoded.size(), expected.size());
    double squares = 0;
    for (qsizetype i = 0; i < decoded.size(); ++i) {
        const double d = double(uchar(decoded[i])) - double(uchar(expected[i]));
        squares += d * d;
    }
    const double psnr = 10 * std::log10(255.0 * 255.0 / std::max(squares / double(decoded.size()), 1e-9));
    EXPECT_GT(psnr, kMjpegDefaultPsnr) << psnr;
}

TEST_F(AviWriterTest, FailuresAndCancelKeepAValidFile)
{
    BmpSpec spec;
    const QStringList files = frames(spec, 3);

    // The first bitmap cannot be read: the file exists, without streams.
    ScriptedAviView view;
    const QString missing = path("missing.bmp");
    EXPECT_EQ(write(path("a.avi"), {missing, files[1]}, "6", view).status, AVIERR_OK);
    EXPECT_EQ(platform.messages.texts(),
              (QStringList{"File does not exist:\r\n" + missing,
                           "Could not load first bitmap file in list!"}));
    EXPECT_EQ(platform.messages.shown[1].icon, MsgIcon::Exclamation);
    EXPECT_TRUE(QFile::exists(path("a.avi")));
    platform.messages.clear();

    // Cancelled options: a file without frames, and no message.
    view.accept = false;
    const AviWriteResult cancelled = write(path("b.avi"), files, "6", view);
    EXPECT_EQ(cancelled.status, AVIERR_OK);
    EXPECT_EQ(cancelled.framesWritten, 0);
    EXPECT_TRUE(platform.messages.shown.isEmpty());
    bool ok = false;
    readRiff(readBytes(path("b.avi")), &ok);
    EXPECT_TRUE(ok);

    // A frame that cannot be read ends the write; the frames before it play.
    view.accept = true;
    view.statuses.clear();
    QFile::remove(files[2]);
    const AviWriteResult stopped = write(path("c.avi"), files, "6", view);
    EXPECT_EQ(stopped.framesWritten, 2);
    EXPECT_FALSE(stopped.finished);
    EXPECT_EQ(platform.messages.texts(), (QStringList{"File does not exist:\r\n" + files[2]}));
    EXPECT_FALSE(view.statuses.contains("Finished!"));
    EXPECT_EQ(probe(path("c.avi")).frames, 2);
    platform.messages.clear();

    // A place that cannot be written: the file and the system's reason.
    const AviWriteResult failed = write(path("no/such/dir/d.avi"), files.mid(0, 2), "6", view);
    EXPECT_NE(failed.status, AVIERR_OK);
    EXPECT_EQ(platform.messages.texts(),
              (QStringList{"There was an error writing the file.\n\n" + path("no/such/dir/d.avi")
                           + ": No such file or directory"}));
    EXPECT_EQ(platform.messages.shown[0].icon, MsgIcon::Information);
}

TEST(FrameRate, ReadLikeTheFramesPerSecondBox)
{
    const QList<QPair<QString, int>> cases = {
        {"0", 1}, {"-5", 1}, {"", 1}, {"abc", 1}, {"45", 30}, {"12.6", 13}, {"12.5", 12},
        {"13.5", 14}, {"7fps", 7}, {"  8", 8}, {"6", 6}, {"0.5", 1}, {"1.5", 2}, {"30.4", 30},
        {"99999999999999999999", 30}, {"-99999999999", 1}, {"2e1", 20}, {"1e999", 30}, {"+3", 3}};
    for (const auto &c : cases)
        EXPECT_EQ(parseFrameRate(c.first), c.second) << c.first.toStdString();
}

TEST(CodecChoice, SizesTheEncodersCannotTakeAreLeftOut)
{
    BmpSpec spec;
    spec.width = 101;
    spec.height = 77;
    const DibLayout odd = DibLayout::fromBitmapInfo(makeBmp(spec).mid(14, 40));
    ASSERT_TRUE(odd.valid());
    EXPECT_FALSE(codecApplies(VideoCodec::Cinepak, odd));
    EXPECT_FALSE(codecApplies(VideoCodec::MsVideo1, odd));
    EXPECT_TRUE(codecApplies(VideoCodec::Mjpeg, odd));
    EXPECT_TRUE(codecApplies(VideoCodec::None, odd));

    // Run-length bitmaps can only be written as they are.
    spec.bitCount = 8;
    spec.compression = 1;
    QByteArray rle = makeBmp(spec);
    const DibLayout rleLayout = DibLayout::fromBitmapInfo(rle.mid(14, 40 + 1024));
    EXPECT_FALSE(rleLayout.valid());
    EXPECT_FALSE(codecApplies(VideoCodec::Mjpeg, rleLayout));
}
