// libFuzzer target: bytes through the bitmap reader, and what it accepts
// through the pixel layout and one encoded frame, as the AVI maker would use
// them. Nothing may crash, read past the input or allocate more than it holds.
// Seeds: fuzz/corpus/fuzz_bitmap/ (small BMPs of every depth and header size).

#include "FuzzCheck.h"
#include "avimaker/FrameEncoder.h"
#include "platform/MessageService.h"
#include "platform/Platform.h"
#include "avimaker/cDIB.h"

#include <QBuffer>

#include <cstdint>

namespace {
class SilentMessages : public MessageService {
public:
    MsgResult show(const MessageRequest &) override { return MsgResult::Ok; }
};
}

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    static SilentMessages silent;
    Platform::setMessages(&silent);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    cDIB dib;
    if (!dib.CreateFromDevice(buffer, qint64(size), QStringLiteral("fuzz.bmp")))
        return 0;

    FUZZ_CHECK(dib.FileType() == 0x4D42);
    FUZZ_CHECK(dib.SizeImage() > 0);
    FUZZ_CHECK(dib.bits().size() == dib.SizeImage());
    FUZZ_CHECK(dib.SizeBitmapInfo() == qint64(std::uint32_t(dib.BitOffset())) - 14);
    FUZZ_CHECK(qint64(std::uint32_t(dib.BitOffset())) + dib.SizeImage() <= qint64(size));

    const DibLayout layout = DibLayout::fromBitmapInfo(dib.bitmapInfo());
    if (!layout.valid() || qint64(layout.width) * layout.height > 4096)
        return 0;
    FUZZ_CHECK(layout.palette.isEmpty() || layout.palette.size() == 256);
    FrameEncoder encoder;
    EncoderSettings settings;
    if (!encoder.open(VideoCodec::Zmbv, layout, settings))
        return 0;
    QList<EncodedPacket> packets;
    // A frame shorter than its layout must be refused, never read past.
    const bool encoded = encoder.encode(dib.PointerToBits(), dib.SizeImage(), packets);
    FUZZ_CHECK(encoded || dib.SizeImage() < layout.imageSize);
    encoder.flush(packets);
    return 0;
}
