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
    if (qEnvironmentVariableIsSet("ARDENO_MEDIA_DUMP")) {     // for a look with other tools
        static int n = 0;
        QFile f(QStringLiteral("%1/rec-%2.raw").arg(qEnvironmentVariable("ARDENO_MEDIA_DUMP")).arg(++n));
        if (f.open(QIODevice::WriteOnly))
            f.write(raw);
    }
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

TEST_F(SoundAtTheSink, SyncWaitsForTheSoundsLength)
{
    QElapsedTimer t;
    t.start();
    qint64 waited = 0;
    const Loudness l = record([&] {
        PlayWave(mediaFile("tone.wav"), "sync");
        waited = t.elapsed();
    }, 1800);
    std::printf("    sync wave returned after %lld ms\n", waited);
    EXPECT_GE(waited, 900);
    EXPECT_LE(waited, 1900);
    EXPECT_GT(l.loudS, 0.85);
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
    const Loudness l = record([] { PlayMP3(mediaFile("tune.mp3")); }, 2600);
    EXPECT_GT(l.peak, 10000);
    EXPECT_GT(l.loudS, 1.1);                          // 1.5 s of two tones
    EXPECT_TRUE(platform.messages.shown.isEmpty());
}

TEST_F(SoundAtTheSink, AMidiTunePlays)
{
    const Loudness l = record([] { PlayMIDI(mediaFile("tune.mid")); }, 2800);
    EXPECT_GT(l.peak, 3000);
    EXPECT_GT(l.loudS, 1.2);                          // four notes and a chord, 1.5 s
    EXPECT_TRUE(platform.messages.shown.isEmpty());
}

TEST_F(SoundAtTheSink, AVideosSoundPlaysToo)
{
    // The device list is known by now (SetUp asked for it), as it is in the
    // editor after its first wave sound.
    QWidget box;
    box.resize(117, 117);
    const Loudness l = record([&] { PlayAVI(mediaFile("clip_sound.avi"), &box, true); }, 2600);
    EXPECT_GT(l.loudS, 1.1);                          // a 1.5 s tone
    EXPECT_TRUE(platform.messages.shown.isEmpty());
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
