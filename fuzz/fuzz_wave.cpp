// libFuzzer target: bytes as a wave file through the WAV reader that feeds
// the sound output. The invariant: refused with a reason or read into whole
// 16-bit frames, never a crash, a read past the input or a memory peak above
// what the input can describe.
// Seeds: fuzz/corpus/fuzz_wave/ (wave files of several encodings).

#include "FuzzCheck.h"
#include "media/WaveFile.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QString error;
    const PcmSound sound = parseWave(bytes, &error);
    FUZZ_CHECK(sound.isValid() == error.isEmpty());
    if (!sound.isValid())
        return 0;
    FUZZ_CHECK(sound.samples.size() % (2 * sound.channels) == 0);
    // Never more samples than the input holds bytes, times the widening of
    // 8-bit samples to 16 bits.
    FUZZ_CHECK(sound.samples.size() <= 2 * qsizetype(size));
    return 0;
}
