#include "widgets/MediaPreviewPanel.h"

#include "media/modSound.h"
#include "pictures/PictureFit.h"
#include "pictures/PictureLoader.h"
#include "platform/MsgBox.h"
#include "widgets/Controls.h"
#include "widgets/PictureBox.h"

#include <QLabel>
#include <QPushButton>

MediaPreviewPanel::MediaPreviewPanel(QWidget *host, const Places &places, QObject *parent)
    : MediaPreviewPanel(host, places,
                        {QStringLiteral("lblPreview"), QStringLiteral("picPreview"), QStringLiteral("Picture Preview"),
                         QStringLiteral("cmdPlaywav"), QStringLiteral("imgHide")},
                        parent)
{
}

MediaPreviewPanel::MediaPreviewPanel(QWidget *host, const Places &places, const Names &names, QObject *parent)
    : QObject(parent), m_host(host)
{
    if (!names.label.isEmpty()) {
        m_label = Controls::fittedLabel(host, names.label, QStringLiteral("No Media Chosen"), places.label);
        // "Picture Thumbnail" is wider than the design text.
        m_label->resize(places.picture.width(), m_label->height());
    }
    m_picture = new PictureBox(host);
    m_picture->setObjectName(names.picture);
    m_picture->setGeometry(places.picture);
    if (!names.pictureTip.isEmpty())
        m_picture->setToolTip(names.pictureTip);
    m_picture->hide();
    m_play = Controls::button(host, names.play, QStringLiteral("Play Wav"), places.play);
    m_play->hide();
    m_naturalSize = new PictureBox(host);
    m_naturalSize->setObjectName(names.naturalSize);
    m_naturalSize->setBorder3D(false);
    m_naturalSize->setGeometry(places.naturalSize);
    m_naturalSize->hide();
}

void MediaPreviewPanel::offerPlayButton(const QString &label, const QString &button)
{
    m_label->setText(label);
    m_play->setText(button);
    m_play->show();
    m_picture->hide();
}

void MediaPreviewPanel::show(const QString &path)
{
    m_mediaPath = path;
    switch (mediaKindOf(path)) {
    case MediaKind::Wave:
        offerPlayButton(QStringLiteral("Wav Preview"), QStringLiteral("Play Wav"));
        m_host->window()->repaint();
        PlayWave(path, QStringLiteral("async"));
        break;
    case MediaKind::Avi:
        m_label->setText(QStringLiteral("Avi Preview"));
        m_play->hide();
        m_picture->clear();
        m_picture->show();
        PlayAVI(path, m_picture, true);
        break;
    case MediaKind::Mpeg:
        m_label->setText(QStringLiteral("MPEG Preview"));
        m_play->hide();
        m_picture->clear();
        m_picture->show();
        PlayMPEG(path, m_picture, true);
        break;
    case MediaKind::Midi:
        offerPlayButton(QStringLiteral("Midi Preview"), QStringLiteral("Play Midi"));
        m_picture->clear();
        m_host->window()->repaint();
        PlayMIDI(path);
        break;
    case MediaKind::Mp3:
        offerPlayButton(QStringLiteral("MP3 Preview"), QStringLiteral("Play MP3"));
        m_picture->clear();
        m_host->window()->repaint();
        PlayMP3(path);
        break;
    case MediaKind::Picture: {
        m_label->setText(QStringLiteral("Picture Preview"));
        m_picture->show();
        // The hidden box takes the picture's natural size; the header is
        // enough for that, so a large photo is never decoded in full here.
        const PictureInfo info = pictureInfo(path);
        if (!info.isValid()) {
            MsgBox(QStringLiteral("Error loading media file!"), MsgIcon::Critical);
            return;
        }
        m_picturePath = path;
        m_naturalSize->clear();
        m_naturalSize->setInnerSize(info.naturalPixels);
        showThumbnail();
        break;
    }
    case MediaKind::None:
        break;
    }
}

void MediaPreviewPanel::showThumbnail()
{
    if (m_picturePath.isEmpty())
        return;
    if (showFitted(m_picturePath))
        m_label->setText(QStringLiteral("Picture Thumbnail"));
    // else the panel keeps reading "Picture Preview"
}

// The editor's thumbnail and the preview's picture are placed by the one
// fitting rule.
bool MediaPreviewPanel::showFitted(const QString &path)
{
    const QRect target = fitPicture(m_picture->innerSize(), m_naturalSize->innerSize()).target;
    if (target.isEmpty())
        return false;
    // Decoded straight at the size drawn (large JPEGs at reduced size).
    const QImage image = loadPictureScaled(path, target.size());
    if (image.isNull())
        return false;
    m_picture->clear();
    m_picture->setPicture(image, target);
    m_play->hide();
    m_picture->show();
    return true;
}

void MediaPreviewPanel::clear()
{
    m_picture->clear();
    m_picture->hide();
    m_label->setText(QStringLiteral("No Media Chosen"));
    m_play->hide();
    m_naturalSize->clear();
    m_picturePath.clear();
    CloseAll();
}

void MediaPreviewPanel::replay()
{
    const MediaKind kind = mediaKindOf(m_mediaPath);
    CloseAll();
    switch (kind) {
    case MediaKind::Wave: PlayWave(m_mediaPath, QStringLiteral("async")); break;
    case MediaKind::Midi: PlayMIDI(m_mediaPath); break;
    case MediaKind::Mp3: PlayMP3(m_mediaPath); break;
    default: break;
    }
}
