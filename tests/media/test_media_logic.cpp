// The placement arithmetic, the command grammar and wave
// parsing: everything that needs no device.
#include "media/MciCommand.h"
#include "media/MciDevices.h"
#include "media/MciText.h"
#include "media/WaveFile.h"
#include "media/modSound.h"

#include <QtEndian>
#include <gtest/gtest.h>

TEST(Placement, SignPositionAndEvenRounding)
{
    EXPECT_EQ(signedNumber(0), " 0");
    EXPECT_EQ(signedNumber(117), " 117");
    EXPECT_EQ(signedNumber(-42), "-42");
    EXPECT_EQ(halfRoundedToEven(17), 8);     // 8.5
    EXPECT_EQ(halfRoundedToEven(37), 18);    // 18.5
    EXPECT_EQ(halfRoundedToEven(-83), -42);  // -41.5
    EXPECT_EQ(halfRoundedToEven(3), 2);      // 1.5
    EXPECT_EQ(halfRoundedToEven(-1), 0);     // -0.5
    EXPECT_EQ(halfRoundedToEven(-3), -2);    // -1.5
    EXPECT_EQ(halfRoundedToEven(10), 5);
}

TEST(Placement, StretchAndCentreCommandsForA117Box)
{
    EXPECT_EQ(aviDestinationCommand(117, 117, 320, 240), "put movie destination at 0 0  117  117");
    EXPECT_EQ(aviDestinationCommand(117, 117, 100, 80), "put movie destination at  8  18  100  80");
    // Larger in one direction only: shrunk whole, as the web quiz shows it,
    // not its middle cut out.
    EXPECT_EQ(aviDestinationCommand(117, 117, 200, 80), "put movie destination at  0  35  117  47");
    EXPECT_EQ(aviDestinationCommand(117, 117, 117, 200), "put movie destination at  24  0  68  117");
    EXPECT_EQ(aviDestinationCommand(269, 269, 320, 240), "put movie destination at  0  33  269  202");
    EXPECT_EQ(fillDestinationCommand(160, 120), "put movie destination at 0 0  160  120");
}

TEST(MciGrammar, OpenKeepsBlanksAndTakesTheLastAlias)
{
    MciCommand c;
    ASSERT_EQ(parseMciCommand("open AVIvideo!/tmp/my alias dir/a b.avi alias movie", &c), 0);
    EXPECT_EQ(c.verb, "open");
    EXPECT_EQ(c.deviceType, "avivideo");
    EXPECT_EQ(c.element, "/tmp/my alias dir/a b.avi");
    EXPECT_EQ(c.target, "movie");

    ASSERT_EQ(parseMciCommand("open sequencer!/x/t.mid alias song ", &c), 0);   // trailing blank
    EXPECT_EQ(c.deviceType, "sequencer");
    EXPECT_EQ(c.target, "song");

    ASSERT_EQ(parseMciCommand("OPEN MPEGvideo!\"/x/y z.mp3\" ALIAS song", &c), 0);
    EXPECT_EQ(c.element, "/x/y z.mp3");

    ASSERT_EQ(parseMciCommand("open /x/clip.mpg alias m", &c), 0);              // type from the kind
    EXPECT_EQ(c.deviceType, "mpegvideo");
    EXPECT_EQ(parseMciCommand("open /x/notes.txt alias m", &c), MciError::DeviceTypeRequired);
    EXPECT_EQ(parseMciCommand("open", &c), MciError::MissingParameter);
}

TEST(MciGrammar, ErrorsBeforeAnyDevice)
{
    EXPECT_EQ(MciDevices::send("play nothing").code, MciError::InvalidDeviceName);
    EXPECT_EQ(MciDevices::send("dance movie").code, MciError::UnrecognizedCommand);
    EXPECT_EQ(MciDevices::send("open CDaudio!x alias cd").code, MciError::InvalidDeviceName);
    EXPECT_EQ(MciDevices::send("close all").code, 0);
    EXPECT_EQ(MciDevices::send("close all").text, "");
}

namespace {
QByteArray waveImage(int format, int channels, int rate, int bits, const QByteArray &data, bool extraChunk = false)
{
    QByteArray fmt(16, 0);
    qToLittleEndian<quint16>(format, fmt.data());
    qToLittleEndian<quint16>(channels, fmt.data() + 2);
    qToLittleEndian<quint32>(rate, fmt.data() + 4);
    qToLittleEndian<quint32>(rate * channels * bits / 8, fmt.data() + 8);
    qToLittleEndian<quint16>(channels * bits / 8, fmt.data() + 12);
    qToLittleEndian<quint16>(bits, fmt.data() + 14);
    auto chunk = [](const char *id, const QByteArray &body) {
        QByteArray c(id, 4);
        QByteArray len(4, 0);
        qToLittleEndian<quint32>(body.size(), len.data());
        c += len + body;
        if (body.size() % 2)
            c += '\0';
        return c;
    };
    QByteArray body = "WAVE" + chunk("fmt ", fmt);
    if (extraChunk)
        body += chunk("LIST", QByteArray("odd", 3));
    body += chunk("data", data);
    QByteArray len(4, 0);
    qToLittleEndian<quint32>(body.size(), len.data());
    return "RIFF" + len + body;
}
}

TEST(WaveFile, EightBitUnsignedBecomesSigned16)
{
    const PcmSound s = parseWave(waveImage(1, 1, 22050, 8, QByteArray("\x80\xff\x00", 3), true));
    ASSERT_TRUE(s.isValid());
    EXPECT_EQ(s.sampleRate, 22050);
    EXPECT_EQ(s.channels, 1);
    ASSERT_EQ(s.frameCount(), 3);
    const auto *v = reinterpret_cast<const qint16 *>(s.samples.constData());
    EXPECT_EQ(v[0], 0);
    EXPECT_EQ(v[1], 127 << 8);
    EXPECT_EQ(v[2], -32768);
}

TEST(WaveFile, SixteenBitStereoAndRefusals)
{
    QByteArray data(8, 0);
    qToLittleEndian<qint16>(-2, data.data());
    const PcmSound s = parseWave(waveImage(1, 2, 44100, 16, data));
    ASSERT_TRUE(s.isValid());
    EXPECT_EQ(s.frameCount(), 2);
    EXPECT_EQ(reinterpret_cast<const qint16 *>(s.samples.constData())[0], -2);

    QString why;
    EXPECT_FALSE(parseWave(waveImage(2, 1, 22050, 4, data), &why).isValid());   // ADPCM
    EXPECT_EQ(why, "unsupported encoding");
    EXPECT_FALSE(parseWave("RIFF....AVI LIST").isValid());
    EXPECT_FALSE(parseWave(QByteArray()).isValid());
    // A truncated data chunk plays what is there.
    QByteArray cut = waveImage(1, 1, 8000, 8, QByteArray(100, '\x90'));
    cut.chop(40);
    EXPECT_EQ(parseWave(cut).frameCount(), 60);
}
