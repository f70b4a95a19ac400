// The device layer and the video routines with real files: placement inside
// a picture box, what is shown, and the failure paths.
#include "MediaTestUtil.h"
#include "media/MciDevice.h"
#include "media/MciDevices.h"
#include "TestDoubles.h"
#include "media/WaveFile.h"
#include "media/WaveOutput.h"
#include "media/modSound.h"
#include "TestFiles.h"

#include <QFile>
#include <QFrame>
#include <QImage>
#include <QTemporaryDir>
#include <QWidget>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {

class MediaDevices : public ::testing::Test {
protected:
    void SetUp() override
    {
        CloseAll();
        MciDevices::setCommandObserver([this](const QString &cmd, const MciReply &r) {
            sent << cmd;
            codes << r.code;
        });
    }
    void TearDown() override
    {
        MciDevices::setCommandObserver({});
        CloseAll();
    }
    MciReply send(const QString &cmd) { return MciDevices::send(cmd); }
    void clearLog()
    {
        sent.clear();
        codes.clear();
    }

    // Plays a video into a 117 x 117 box; returns the "put" command sent.
    QString putFor(const QString &file, bool avi = true)
    {
        box.resize(117, 117);
        clearLog();
        avi ? PlayAVI(mediaFile(file), &box, true) : PlayMPEG(mediaFile(file), &box, true);
        for (const QString &c : sent)
            if (c.startsWith("put "))
                return c;
        return QString();
    }

    ScopedPlatform platform;
    QStringList sent;
    QList<int> codes;
    QWidget box;
};

TEST_F(MediaDevices, PlayAviSendsTheExactCommandsAndPlacesTheVideo)
{
    box.resize(117, 117);
    PlayAVI(mediaFile("clip320x240.avi"), &box, true);
    const QString handle = QString::number(MciDevices::registerWindow(&box));
    EXPECT_EQ(sent, QStringList({"open AVIvideo!" + mediaFile("clip320x240.avi") + " alias movie",
                                 "window movie handle " + handle, "capability movie can stretch",
                                 "where movie source", "put movie destination at 0 0  117  117", "play movie"}));
    EXPECT_EQ(codes, QList<int>({0, 0, 0, 0, 0, 0}));
    EXPECT_TRUE(platform.messages.shown.isEmpty());
    CloseAll();

    EXPECT_EQ(putFor("raw100x80.avi"), "put movie destination at  8  18  100  80");
    // The surface sits at the destination inside the box.
    QWidget *surface = box.findChild<QWidget *>("mciVideoSurface");
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(surface->geometry(), QRect(8, 18, 100, 80));
    CloseAll();
    EXPECT_EQ(box.findChild<QWidget *>("mciVideoSurface"), nullptr);   // closing removes it

    // Wider than the box only: shrunk whole, its proportions kept.
    EXPECT_EQ(putFor("raw200x80.avi"), "put movie destination at  0  35  117  47");
    EXPECT_EQ(box.findChild<QWidget *>("mciVideoSurface")->geometry(), QRect(0, 35, 117, 47));
    CloseAll();

    EXPECT_EQ(putFor("clip352x288.mpg", false), "put movie destination at 0 0  117  117");
    EXPECT_FALSE(sent.contains("where movie source"));                 // an MPEG always fills
    EXPECT_TRUE(platform.messages.shown.isEmpty());
}

TEST_F(MediaDevices, TheVideoShowsInsideTheBoxAndIsClippedByItsFrame)
{
    QFrame frame;
    frame.setFrameStyle(QFrame::Box | QFrame::Plain);
    frame.setLineWidth(3);
    frame.resize(123, 123);                       // inner area 117 x 117
    frame.setStyleSheet("QFrame { background: rgb(0, 255, 0); }");
    frame.show();
    clearLog();
    PlayAVI(mediaFile("raw200x80.avi"), &frame, true);
    EXPECT_TRUE(sent.contains("put movie destination at  0  35  117  47"));
    spin(600);
    QWidget *viewport = frame.findChild<QWidget *>("mciVideoViewport");
    ASSERT_NE(viewport, nullptr);
    EXPECT_EQ(viewport->geometry(), QRect(3, 3, 117, 117));
    const QImage shot = frame.grab().toImage();
    // The middle of the box shows the test pattern, not the box's green.
    int notGreen = 0;
    for (int x = 10; x < 110; x += 5)
        notGreen += shot.pixelColor(x + 3, 60).rgb() != qRgb(0, 255, 0);
    EXPECT_GT(notGreen, 10);
    // Above and below the video, shrunk to 47 pixels high, the box shows through.
    EXPECT_EQ(shot.pixelColor(60, 10).rgb(), qRgb(0, 255, 0));
    EXPECT_EQ(shot.pixelColor(60, 112).rgb(), qRgb(0, 255, 0));
    // The frame line itself is not painted over: beside the video it is as
    // it is above it.
    EXPECT_EQ(shot.pixelColor(1, 60).rgb(), shot.pixelColor(1, 10).rgb());
}

TEST_F(MediaDevices, AMissingVideoFailsWithItsMessageAfterClosingAll)
{
    box.resize(117, 117);
    EXPECT_EQ(GetShortName("/no/such/clip.avi"), "error");
    ASSERT_EQ(send("open sequencer!" + mediaFile("tune.mid") + " alias song").code, 0);
    clearLog();
    PlayAVI("/no/such/clip.avi", &box, true);
    ASSERT_GE(sent.size(), 3);
    EXPECT_EQ(sent[0], "open AVIvideo!error alias movie");
    EXPECT_NE(codes[0], 0);
    EXPECT_TRUE(sent[1].startsWith("window movie handle "));
    EXPECT_NE(codes[1], 0);
    EXPECT_EQ(sent[2], "close all");
    EXPECT_EQ(send("status song mode").code, MciError::InvalidDeviceName);   // everything closed
    ASSERT_EQ(platform.messages.shown.size(), 1);
    EXPECT_EQ(platform.messages.shown[0].text, "Error playing AVI");
    EXPECT_EQ(platform.messages.shown[0].icon, MsgIcon::Critical);
    EXPECT_EQ(platform.messages.shown[0].title, "Ardenox");

    PlayMPEG("/no/such/clip.mpg", &box, true);
    EXPECT_EQ(platform.messages.texts().last(), "Error playing MPEG");
    PlayAVI(mediaFile("raw100x80.avi"), nullptr, true);
    EXPECT_EQ(platform.messages.texts().last(), "Error playing AVI");
}

// A copy of a test clip with bytes from `from` on replaced by noise
// (`step` 1: every byte, 2: every second one), or with `cut` bytes only.
QString damaged(const QTemporaryDir &dir, const QString &clip, const QString &name, int from, int step, int cut = 0)
{
    QByteArray d = readBytes(mediaFile(clip));
    if (cut > 0)
        d.truncate(cut);
    for (int k = from; k < d.size() - 200 && cut == 0; k += step)
        d[k] = char((k * 7919) % 251);
    return writeBytes(dir.filePath(name), d);
}

TEST_F(MediaDevices, DamagedVideosGiveTheirMessageNotAnEmptyBox)
{
    QTemporaryDir dir;
    const int movi = int(readBytes(mediaFile("clip320x240.avi")).indexOf("movi"));
    ASSERT_GT(movi, 0);
    const struct { QString file; bool isAvi; } cases[] = {
        {damaged(dir, "clip320x240.avi", "pictures.avi", movi + 40, 1), true},     // headers right, pictures noise
        {damaged(dir, "clip320x240.avi", "cut.avi", 0, 1, 3000), true},             // cut inside its headers
        {damaged(dir, "clip352x288.mpg", "noise.mpg", 0, 2), false},                // every second byte noise
        {damaged(dir, "raw100x80.avi", "header.mpg", 0, 1), false},                 // nothing left to know it by
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.file.toStdString());
        ASSERT_FALSE(c.file.isEmpty());
        box.resize(117, 117);
        platform.messages.clear();
        clearLog();
        c.isAvi ? PlayAVI(c.file, &box, true) : PlayMPEG(c.file, &box, true);
        ASSERT_GE(codes.size(), 2);
        EXPECT_EQ(codes[0], MciError::InvalidFile);
        EXPECT_EQ(codes[1], MciError::InvalidDeviceName);         // "window": nothing open under "movie"
        EXPECT_EQ(platform.messages.texts(),
                  QStringList{c.isAvi ? "Error playing AVI" : "Error playing MPEG"});
        EXPECT_EQ(box.findChild<QWidget *>("mciVideoSurface"), nullptr);
    }
}

TEST_F(MediaDevices, StopHoldsThePictureAndPlayGoesOnThenStartsAgainAfterTheEnd)
{
    box.resize(320, 240);
    box.show();
    ASSERT_EQ(send("open AVIvideo!" + mediaFile("clip320x240.avi") + " alias movie").code, 0);
    ASSERT_EQ(send("window movie handle " + QString::number(MciDevices::registerWindow(&box))).code, 0);
    auto *surface = box.findChild<VideoSurface *>("mciVideoSurface");
    ASSERT_NE(surface, nullptr);
    EXPECT_FALSE(surface->image().isNull());            // the first picture, before playing
    EXPECT_EQ(send("play movie").code, 0);
    EXPECT_EQ(send("status movie mode").text, "playing");
    spin(500);
    EXPECT_EQ(send("stop movie").code, 0);
    EXPECT_EQ(send("status movie mode").text, "stopped");
    const QImage held = surface->image();
    spin(400);
    EXPECT_EQ(surface->image(), held);                    // stopped: the picture stays
    EXPECT_EQ(send("play movie").code, 0);
    QElapsedTimer t;
    t.start();
    spin(10000, [&] { return send("status movie mode").text != "playing"; });
    EXPECT_EQ(send("status movie mode").text, "stopped"); // at the end
    EXPECT_LT(t.elapsed(), 10000);
    const QImage last = surface->image();
    EXPECT_NE(last, held);
    EXPECT_EQ(send("play movie").code, 0);                // again, from the start
    EXPECT_EQ(send("status movie mode").text, "playing");
    spin(100);
    EXPECT_NE(surface->image(), last);
}

TEST_F(MediaDevices, MissingTunesStaySilentWithoutAMessage)
{
    PlayMIDI("/no/such/tune.mid");
    PlayMP3("/no/such/tune.mp3");
    EXPECT_EQ(sent, QStringList({"open sequencer!error alias song ", "play song",
                                 "open MPEGvideo!error alias song ", "play song"}));
    EXPECT_TRUE(platform.messages.shown.isEmpty());
}

TEST(ResourceSounds, HaveTheFormatsTheQuizPlayerUses)
{
    const struct { int id; quint32 rate; quint32 bytes; } cases[] = {{101, 22050, 30493}, {102, 22255, 33384}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.id);
        const QByteArray w = resourceSoundData(c.id);
        ASSERT_GE(w.size(), 44);
        EXPECT_TRUE(w.startsWith("RIFF"));
        EXPECT_EQ(w.mid(8, 8), "WAVEfmt ");
        EXPECT_EQ(qFromLittleEndian<quint16>(w.constData() + 20), 1);     // PCM
        EXPECT_EQ(qFromLittleEndian<quint16>(w.constData() + 22), 1);     // mono
        EXPECT_EQ(qFromLittleEndian<quint32>(w.constData() + 24), c.rate);
        EXPECT_EQ(qFromLittleEndian<quint16>(w.constData() + 34), 8);
        EXPECT_EQ(w.mid(36, 4), "data");
        EXPECT_EQ(qFromLittleEndian<quint32>(w.constData() + 40), c.bytes);
        EXPECT_EQ(parseWave(w).frameCount(), qint64(c.bytes));
    }
    EXPECT_TRUE(resourceSoundData(103).isEmpty());
}

} // namespace
