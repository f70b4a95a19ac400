#pragma once
// The AVIFile calls the AVI maker makes, on our own writer: open a file with
// create, create a stream from a stream header, make a compressed stream from
// chosen options, set its format, write key-frame samples and release. Names
// and results follow the Video for Windows service: 0 is success, anything
// else an AVIERR code. Objects are reference counted; a file is finished
// (indices written, sizes fixed) when its last reference is released, and
// streams hold a reference to their file, a compressed stream one to its
// source stream.

#include <QByteArray>
#include <QString>
#include <cstdint>

class AviFileObject;
class AviStreamObject;
using PAVIFILE = AviFileObject *;
using PAVISTREAM = AviStreamObject *;

constexpr long AVIERR_OK = 0;
constexpr long AVIERR_UNSUPPORTED = long(0x80044065);
constexpr long AVIERR_BADFORMAT = long(0x80044066);
constexpr long AVIERR_BADPARAM = long(0x80044069);
constexpr long AVIERR_FILEWRITE = long(0x8004406E);
constexpr long AVIERR_FILEOPEN = long(0x8004406F);
constexpr long AVIERR_ERROR = long(0x80044074);
constexpr long AVIERR_NOCOMPRESSOR = long(0x80044075);

constexpr unsigned OF_WRITE = 0x1;
constexpr unsigned OF_CREATE = 0x1000;
constexpr unsigned AVIIF_KEYFRAME = 0x10;
constexpr unsigned ICMF_CHOOSE_KEYFRAME = 0x1;
constexpr unsigned ICMF_CHOOSE_DATARATE = 0x2;
constexpr std::uint32_t AVICOMPRESSF_DATARATE = 0x2;
constexpr std::uint32_t AVICOMPRESSF_KEYFRAMES = 0x4;
constexpr std::uint32_t AVICOMPRESSF_VALID = 0x8;

// The stream header handed to AVIFileCreateStream.
struct AVISTREAMINFO {
    std::uint32_t fccType = 0;
    std::uint32_t fccHandler = 0;
    std::uint32_t dwFlags = 0;
    std::uint32_t dwCaps = 0;
    std::uint16_t wPriority = 0;
    std::uint16_t wLanguage = 0;
    std::uint32_t dwScale = 0;
    std::uint32_t dwRate = 0;
    std::uint32_t dwStart = 0;
    std::uint32_t dwLength = 0;
    std::uint32_t dwInitialFrames = 0;
    std::uint32_t dwSuggestedBufferSize = 0;
    std::uint32_t dwQuality = 0;
    std::uint32_t dwSampleSize = 0;
    struct { std::int32_t left = 0, top = 0, right = 0, bottom = 0; } rcFrame;
    std::uint32_t dwEditCount = 0;
    std::uint32_t dwFormatChangeCount = 0;
    char szName[64] = {};
};

// What the compression options dialog chose. fccHandler 0 or "DIB " means
// full frames; otherwise the FOURCC of one of videoCodecs().
struct AVICOMPRESSOPTIONS {
    std::uint32_t fccType = 0;
    std::uint32_t fccHandler = 0;
    std::uint32_t dwKeyFrameEvery = 0;
    std::uint32_t dwQuality = 0;          // 0..10000
    std::uint32_t dwBytesPerSecond = 0;
    std::uint32_t dwFlags = 0;
};

// "vids" -> its FOURCC (the mmioStringToFOURCC of the writer).
std::uint32_t mmioStringToFOURCC(const char *text);

// The library is process-wide and needs no set-up; these keep the count of
// users so a window can pair them as the service demands.
void AVIFileInit();
void AVIFileExit();
int aviFileUsers();

// `riffLimit` is how large a RIFF list may grow before the file goes on in
// OpenDML form (default 1 GiB). The file takes its name only when it is
// finished without a write error; until then an existing file of that name
// stays as it was. `reason` (our addition) receives the system's reason when
// the file cannot be started.
long AVIFileOpen(PAVIFILE *ppfile, const QString &path, unsigned mode, qint64 riffLimit = 0,
                 QString *reason = nullptr);
long AVIFileCreateStream(PAVIFILE pfile, PAVISTREAM *ppavi, const AVISTREAMINFO *psi);
long AVIMakeCompressedStream(PAVISTREAM *ppsCompressed, PAVISTREAM psSource,
                             const AVICOMPRESSOPTIONS *lpOptions);
long AVIStreamSetFormat(PAVISTREAM pavi, long lPos, const void *lpFormat, long cbFormat);
long AVIStreamWrite(PAVISTREAM pavi, long lStart, long lSamples, const void *lpBuffer,
                    long cbBuffer, unsigned dwFlags);
// Release answers the remaining reference count, as the service does. When
// the last reference to a file goes, the file is finished; `status` (our
// addition) then receives the first error the file met, from any of its
// streams or from finishing it, so a full disk is not lost at release, and
// `reason` the system's reason when writing failed ("" otherwise).
unsigned long AVIStreamRelease(PAVISTREAM pavi);
unsigned long AVIFileRelease(PAVIFILE pfile, long *status = nullptr, QString *reason = nullptr);
void AVISaveOptionsFree(int nStreams, AVICOMPRESSOPTIONS **plpOptions);
