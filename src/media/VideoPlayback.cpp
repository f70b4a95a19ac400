#include "media/VideoPlayback.h"

#include "platform/ModuleLoader.h"

#include <QDeadlineTimer>
#include <cstring>

namespace {
constexpr size_t kPicturesAhead = 6;
constexpr size_t kMostPicturesAhead = 60;   // while the sound track is starving
constexpr int kSoundAheadMs = 2000;
constexpr int kSoundStarvingMs = 500;
}

std::unique_ptr<MediaDecoder> openMediaDecoder(const QString &path, bool withSound, QString *error)
{
    std::unique_ptr<MediaDecoder> decoder = ModuleLoader::create<MediaDecoder>(
        QStringLiteral(ARDENO_MEDIADECODE_MODULE), ARDENO_MEDIADECODE_FACTORY, kMediaDecoderInterfaceVersion, error);
    if (!decoder)
        return nullptr;
    if (!decoder->open(path, withSound, error))
        return nullptr;
    return decoder;
}

// Reads the sound track for a PcmPlayer; the playback outlives its players.
class PlaybackSound : public PcmSource {
public:
    explicit PlaybackSound(VideoPlayback *playback) : m_playback(playback) {}
    int sampleRate() const override { return m_playback->m_rate; }
    int channels() const override { return m_playback->m_channels; }
    qint64 read(char *buffer, qint64 maxBytes) override { return m_playback->readSound(buffer, maxBytes); }

private:
    VideoPlayback *m_playback;
};

VideoPlayback::VideoPlayback(std::unique_ptr<MediaDecoder> decoder)
    : m_decoder(std::move(decoder)), m_size(m_decoder->videoSize()), m_rate(m_decoder->soundRate()),
      m_channels(m_decoder->soundChannels())
{
    m_worker = std::thread([this] { run(); });
}

VideoPlayback::~VideoPlayback()
{
    {
        QMutexLocker lock(&m_mutex);
        m_quit = true;
        m_changed.wakeAll();
    }
    m_worker.join();
}

void VideoPlayback::run()
{
    const qint64 bytesPerMs = qint64(m_rate) * m_channels * 2 / 1000;
    for (;;) {
        {
            QMutexLocker lock(&m_mutex);
            for (;;) {
                if (m_quit)
                    return;
                const qint64 soundAhead = m_sound.size() - m_soundPos;
                const bool starving = m_rate > 0 && soundAhead < kSoundStarvingMs * bytesPerMs
                                      && m_pictures.size() < kMostPicturesAhead;
                const bool full = (m_size.isValid() && m_pictures.size() >= kPicturesAhead)
                                  || (m_rate > 0 && soundAhead >= kSoundAheadMs * bytesPerMs);
                if (!full || starving)
                    break;
                m_changed.wait(&m_mutex);
            }
        }
        QImage image;
        qint64 ms = 0;
        QByteArray samples;
        const MediaDecoder::Item item = m_decoder->next(&image, &ms, &samples);
        QMutexLocker lock(&m_mutex);
        if (item == MediaDecoder::Item::Picture) {
            m_pictures.push_back({image, ms});
        } else if (item == MediaDecoder::Item::Sound) {
            if (m_soundPos > (1 << 20)) {           // drop what was read long ago
                m_sound.remove(0, int(m_soundPos));
                m_soundPos = 0;
            }
            m_sound.append(samples);
        } else {
            m_ended = true;                          // the end, or a damaged rest
        }
        m_changed.wakeAll();
        if (m_ended)
            return;
    }
}

bool VideoPlayback::takePicture(qint64 ms, QImage *picture, int waitMs)
{
    QMutexLocker lock(&m_mutex);
    QDeadlineTimer deadline(waitMs);
    while (m_pictures.empty() && !m_ended && !deadline.hasExpired())
        m_changed.wait(&m_mutex, deadline);
    bool found = false;
    while (!m_pictures.empty() && m_pictures.front().ms <= ms) {
        *picture = m_pictures.front().image;
        m_pictures.pop_front();
        found = true;
    }
    if (found)
        m_changed.wakeAll();
    return found;
}

bool VideoPlayback::picturesDone() const
{
    QMutexLocker lock(&m_mutex);
    return m_ended && m_pictures.empty();
}

std::unique_ptr<PcmSource> VideoPlayback::soundSource()
{
    return std::make_unique<PlaybackSound>(this);
}

qint64 VideoPlayback::readSound(char *buffer, qint64 maxBytes)
{
    QMutexLocker lock(&m_mutex);
    const qint64 frame = 2 * qMax(1, m_channels);
    const qint64 n = qMin(maxBytes / frame * frame, m_sound.size() - m_soundPos);
    if (n <= 0)
        return m_ended ? 0 : -1;
    std::memcpy(buffer, m_sound.constData() + m_soundPos, size_t(n));
    m_soundPos += n;
    m_changed.wakeAll();
    return n;
}
