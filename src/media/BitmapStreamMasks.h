#pragma once
// Uncompressed bitmap frames with colour masks in an AVI stream (BI_BITFIELDS:
// the masks follow the 40-byte bitmap header, and the AVI reader hands the
// bytes after those 40 over as the stream's extra data). FFmpeg's raw video
// decoder ignores the masks and takes every 16-bit stream for 5-6-5, so a
// 5-5-5 bitmap (as a 124-byte header carries) would show garbled colours.
// Used by the video decoder and by the web quiz's converter, each a module
// of its own: header only, FFmpeg alone.

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/mem.h>
}

#include <cstdint>
#include <cstring>

// Sets the decoder's pixel format from the masks, before the decoder opens.
inline void applyBitmapStreamMasks(AVCodecContext *ctx)
{
    constexpr unsigned kBitfields = 3;   // BI_BITFIELDS as the AVI reader gives it
    if (ctx->codec_id != AV_CODEC_ID_RAWVIDEO || ctx->codec_tag != kBitfields || ctx->extradata_size < 12)
        return;
    const auto mask = [ctx](int at) {
        const uint8_t *p = ctx->extradata + at;
        return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
    };
    const uint32_t r = mask(0), g = mask(4), b = mask(8);
    AVPixelFormat format = AV_PIX_FMT_NONE;
    if (ctx->bits_per_coded_sample == 16 && r == 0x7C00 && g == 0x03E0 && b == 0x001F)
        format = AV_PIX_FMT_RGB555LE;
    else if (ctx->bits_per_coded_sample == 16 && r == 0xF800 && g == 0x07E0 && b == 0x001F)
        format = AV_PIX_FMT_RGB565LE;
    else if (ctx->bits_per_coded_sample == 32 && r == 0xFF0000 && g == 0xFF00 && b == 0xFF)
        format = AV_PIX_FMT_BGR0;
    if (format == AV_PIX_FMT_NONE)
        return;
    // The decoder takes the format from the tag: without the tag it keeps
    // ours. The tag also told it that the rows are stored bottom-up; without
    // it, the mark the AVI reader leaves for plain bitmaps says so.
    static const char kBottomUp[] = "BottomUp";   // with its NUL: 9 bytes
    const int size = ctx->extradata_size + int(sizeof kBottomUp);
    auto *extra = static_cast<uint8_t *>(av_mallocz(size_t(size) + AV_INPUT_BUFFER_PADDING_SIZE));
    if (!extra)
        return;
    memcpy(extra, ctx->extradata, size_t(ctx->extradata_size));
    memcpy(extra + ctx->extradata_size, kBottomUp, sizeof kBottomUp);
    av_free(ctx->extradata);
    ctx->extradata = extra;
    ctx->extradata_size = size;
    ctx->pix_fmt = format;
    ctx->codec_tag = 0;
}
