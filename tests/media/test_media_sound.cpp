// Sound that really reaches a sound server: the test PulseAudio server's
// null sink is recorded (parec) while the routines play. Also the behaviour
// without any sound server (run with PULSE_SERVER pointing nowhere).
#include "MediaTestUtil.h"
#include "media/MciDevices.h"
#include "TestDoubles.h"
#include "media/WaveOutput.h"
#include "media/modSound.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QWidget>
#include <cmath>
#include <gtest/gtest.h>

namespace {

constexpr int kRate = 22050;

// Records the null sink's monitor, mono 16-bit at 22,050 Hz, while a silent
// stream keeps the sink running (an idle null sink's monitor starts late).
class SinkRecorder {
public:
    bool start()
    {
        m_data.clear();
        m_keepAlive.setStandardInputFile("/dev/zero");
        m_keepAlive.start("pacat", {"-p", "--raw", "--format=s16le", "--rate=44100", "--channels=2",
                                    "--latency-msec=20"});
        m_parec.start("parec", {"-d", "nullsink.monitor", "--format=s16le", "--rate=22050", "--channels=1",
                                "--raw", "--latency-msec=20"});
        if (!m_parec.waitForStarted(3000))
            return false;
        // Wait until the recording really flows.
        spin(3000, [this] { collect(); return m_data.size() > kRate * 2 / 4; });
        m_data.clear();
        return true;
    }
    QByteArray stop()
    {
        collect();
        m_parec.terminate();
        m_parec.waitForFinished(2000);
        m_keepAlive.terminate();
        m_keepAlive.waitForFinished(2000);
        collect();
        return m_data;
    }
    void collect() { m_data += m_parec.readAllStandardOutput(); }

private:
    QProcess m_parec, m_keepAlive;
    QByteArray m_data;
};

struct Loudness {
    double firstS = -1, lastS = -1;    // first and last 10 ms window above the threshold
    double loudS = 0;                   // total time above it
    int peak = 0;
};

Loudness measure(const QByteArray &raw)
{
    Loudness l;
    const auto *s = reinterpret_cast<const qint16 *>(raw.constData());
    const int n = raw.size() / 2;
    const int w = kRate / 100;
    for (int i = 0; i + w <= n; i += w) {
        int peak = 0;
        for (int j = i; j < i + w; ++j)
            peak = std::max(peak, std::abs(int(s[j])));
        l.peak = std::max(l.peak, peak);
        if (peak > 800) {
            if (l.firstS < 0)
                l.firstS = double(i) / kRate;
            l.lastS = double(i + w) / kRate;
            l.loudS += 0.01;
        }
    }
    return l;
}

class SoundAtTheSink : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (qEnvironmentVariable("ARDENO_TEST_PULSE") != "1" || QMediaDevices::audioOutputs().isEmpty())
            GTEST_SKIP() << "no test PulseAudio server (run through scripts/run-tests.sh)";
        if (QStandardPaths::findExecutable("parec").isEmpty() || QStandardPaths::findExecutable("pacat").isEmpty())
            GTEST_SKIP() << "parec/pacat (pulseaudio-utils) not installed";
        ASSERT_TRUE(recorder.start());
    }
    void TearDown() override
    {
        CloseAll();
        WaveOutput::stop();
    }

    // Records while `play` runs and `ms` milliseconds pass after it started.
    Loudness record(const std::function<void()> &play, int ms)
    {
        QElapsedTimer t;
        t.start();
        play();
        spin(int(std::max<qint64>(0, ms - t.elapsed())), [this] { recorder.collect(); return false; });
        const Loudness l = measure(recorder.stop());
        std::printf("    loud from %.2f to %.2f s (%.2f s loud), peak %d\n", l.firstS, l.lastS, l.loudS, l.peak);
        return l;
    }

    ScopedPlatform platform;
    SinkRecorder recorder;
};

TEST_F(SoundAtTheSink, AWaveSoundPlaysWhole)
{
    const Loudness l = record([] { PlayWave(mediaFile("tone.wav"), "async"); }, 2000);
    EXPECT_GT(l.peak, 10000);
    EXPECT_GT(l.loudS, 0.85);                        // a one-second tone
}

TEST_F(SoundAtTheSink, TheAnswerSoundsReachTheSpeakers)
{
    QElapsedTimer t;
    t.start();
    qint64 waited = 0;
    Loudness l = record([&] {
        PlayResourceSound(101, "sync");
        waited = t.elapsed();
    }, 2000);
    std::printf("    right-answer sound (sync) returned after %lld ms\n", waited);
    EXPECT_GE(waited, 1200);                          // 1.38 s long
    EXPECT_GT(l.loudS, 0.6);
    ASSERT_TRUE(recorder.start());
    l = record([] { PlayResourceSound(102, "async"); }, 2000);
    EXPECT_GT(l.loudS, 0.5);                          // two buzzes, about a second
    EXPECT_GT(l.peak, 5000);
}

TEST_F(SoundAtTheSink, AnMp3TunePlays)
{
    // The first tune loads the decoder module: a loaded machine needs the margin.
    const Loudness l = record([] { PlayMP3(mediaFile("tune.mp3")); }, 4000);
    EXPECT_GT(l.peak, 10000);
    EXPECT_GT(l.loudS, 1.1);                          // 1.5 s of two tones
    EXPECT_TRUE(platform.messages.shown.isEmpty());
}

TEST_F(SoundAtTheSink, AMidiTunePlays)
{
    const Loudness l = record([] { PlayMIDI(mediaFile("tune.mid")); }, 4000);   // the soundfont loads first
    EXPECT_GT(l.peak, 3000);
    EXPECT_GT(l.loudS, 1.2);                          // four notes and a chord, 1.5 s
    EXPECT_TRUE(platform.messages.shown.isEmpty());
}

// An AVI of 2 s at 5 pictures per second, picture n grey (20n + 20), with a
// 440 Hz tone as its sound track in the given codec; empty when ffmpeg is
// missing.
QString makeClipWithSound(const QString &dir, const QString &codec)
{
    const QString out = dir + "/" + codec + ".avi";
    QProcess p;
    p.start("ffmpeg", {"-v", "error", "-y", "-f", "lavfi", "-i",
                       "color=c=black:s=64x48:r=5:d=2,format=rgb24,geq=r='20*N+20':g='20*N+20':b='20*N+20'",
                       "-f", "lavfi", "-i", "sine=frequency=440:duration=2:sample_rate=22050", "-c:v", "rawvideo",
                       "-pix_fmt", "bgr24", "-c:a", codec, "-shortest", out});
    return p.waitForFinished(60000) && p.exitCode() == 0 ? out : QString();
}

TEST_F(SoundAtTheSink, AnAviSoundTrackPlaysInStepWithItsPictures)
{
    QTemporaryDir dir;
    for (const QString codec : {"pcm_s16le", "adpcm_ms", "libmp3lame"}) {
        SCOPED_TRACE(codec.toStdString());
        const QString clip = makeClipWithSound(dir.path(), codec);
        ASSERT_FALSE(clip.isEmpty()) << "ffmpeg could not write the clip";
        // Recorded from here: the recording SetUp started would count the
        // time ffmpeg took to make the clip as silence before the sound.
        if (codec == "pcm_s16le")
            recorder.stop();
        ASSERT_TRUE(recorder.start());
        QWidget box;
        box.resize(117, 117);
        box.show();
        // The picture shown at each moment, as the number of the picture.
        QList<QPair<qint64, int>> seen;
        QElapsedTimer t;
        const Loudness l = record([&] {
            PlayAVI(clip, &box, true);
            t.start();
            QTimer *probe = new QTimer(&box);
            QObject::connect(probe, &QTimer::timeout, [&] {
                auto *surface = box.findChild<QWidget *>("mciVideoSurface");
                if (!surface)
                    return;
                const QImage shown = surface->grab().toImage();
                seen.append({t.elapsed(), (qGray(shown.pixel(shown.width() / 2, shown.height() / 2)) - 10) / 20});
            });
            probe->start(50);
        }, 3000);
        CloseAll();
        EXPECT_GT(l.loudS, 1.6);                                    // the 2 s tone
        EXPECT_LT(l.firstS, 0.8);                                   // from the start
        ASSERT_FALSE(seen.isEmpty());
        // Every picture shows when its time has come (a tenth of a second
        // either way on this loaded machine), and the last one stays.
        // When each picture is due, from the file's own index (ffmpeg's muxer
        // leaves a gap before the second picture when the sound is MP3).
        QProcess probe;
        probe.start("ffprobe", {"-v", "error", "-select_streams", "v", "-show_entries", "packet=pts", "-of", "csv=p=0", clip});
        probe.waitForFinished(30000);
        QList<qint64> dueMs;
        for (const QByteArray &line : probe.readAllStandardOutput().split('\n'))
            if (!line.trimmed().isEmpty())
                dueMs << line.trimmed().toLongLong() * 200;
        ASSERT_EQ(dueMs.size(), 10);
        int late = 0;
        for (const auto &[ms, picture] : seen) {
            ASSERT_TRUE(picture >= 0 && picture < 10) << picture;
            late += !(ms >= dueMs[picture] - 100 && (picture == 9 || ms <= dueMs[picture + 1] + 100));
        }
        EXPECT_LE(late, seen.size() / 10) << "of " << seen.size();
        EXPECT_EQ(seen.last().second, 9);
        EXPECT_TRUE(platform.messages.shown.isEmpty());
    }
}

// Run by ctest with PULSE_SERVER pointing nowhere: no output device at all.
class NoSoundServer : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (qEnvironmentVariable("ARDENO_TEST_NO_SOUND") != "1")
            GTEST_SKIP() << "only run as the no-sound-server test";
        CloseAll();
    }
    void TearDown() override { CloseAll(); }
    ScopedPlatform platform;
};

TEST_F(NoSoundServer, EverythingReturnsPromptlyAndQuietly)
{
    EXPECT_TRUE(QMediaDevices::audioOutputs().isEmpty());
    QElapsedTimer t;
    t.start();
    PlayWave(mediaFile("tone.wav"), "sync");
    const qint64 sync = t.elapsed();
    std::printf("    sync wave returned after %lld ms\n", sync);
    EXPECT_LE(sync, 1000 + 600);                     // its own length plus a small margin

    t.restart();
    PlayMIDI(mediaFile("tune.mid"));
    CloseAll();
    PlayMP3(mediaFile("tune.mp3"));
    CloseAll();
    PlayResourceSound(102, "async");
    QWidget box;
    box.resize(117, 117);
    PlayAVI(mediaFile("clip320x240.avi"), &box, true);
    EXPECT_EQ(MciDevices::send("where movie destination").text, "0 0 117 117");
    std::printf("    tunes, a video and an async sound started in %lld ms\n", t.elapsed());
    EXPECT_LE(t.elapsed(), 5000);
    EXPECT_TRUE(platform.messages.shown.isEmpty());
}

} // namespace
