#pragma once
// The media panel of a question: a label that says what is shown, a picture
// box for a picture's thumbnail or a playing video, a play button for sounds
// and tunes, and a hidden picture box that only holds the natural size of
// the picture being fitted. The controls are made on the host window at the
// places it gives (so the window's look, stacking and tab order stay as
// drawn) and keep their object names.

#include <QObject>
#include <QRect>
#include <QString>

class PictureBox;
class QLabel;
class QPushButton;
class QWidget;

class MediaPreviewPanel : public QObject {
    Q_OBJECT

public:
    struct Places {
        QRect label;
        QRect picture;
        QRect play;
        QRect naturalSize;
    };
    // The controls' object names; the label is made only with a name.
    struct Names {
        QString label;
        QString picture;
        QString pictureTip;
        QString play;
        QString naturalSize;
    };
    // show(), showThumbnail() and clear() write the label: a panel without
    // one uses only its controls and showFitted().
    // The editor's panel: lblPreview, picPreview, cmdPlaywav and imgHide.
    MediaPreviewPanel(QWidget *host, const Places &places, QObject *parent = nullptr);
    MediaPreviewPanel(QWidget *host, const Places &places, const Names &names, QObject *parent = nullptr);

    QLabel *label() const { return m_label; }
    PictureBox *picture() const { return m_picture; }
    QPushButton *playButton() const { return m_play; }
    PictureBox *naturalSize() const { return m_naturalSize; }

    // The media file last shown; the play button plays it again.
    QString mediaPath() const { return m_mediaPath; }
    void forgetMedia() { m_mediaPath.clear(); }

    // Shows a media file by its kind: a sound or tune starts playing and
    // offers the play button, a video plays inside the picture box, a
    // picture is shown as a thumbnail. A picture that cannot be read says
    // "Error loading media file!".
    void show(const QString &path);
    // The thumbnail of the picture last shown, fitted into the picture box.
    void showThumbnail();
    // Draws the picture at `path` into the picture box, fitted by the one
    // fitting rule to the box's inner size and the natural size the hidden
    // box holds; the play button goes. False, and nothing changed, when that
    // place is empty or the picture cannot be read.
    bool showFitted(const QString &path);
    // Empties the panel and stops videos and tunes (not a wave sound).
    void clear();
    // The play button: the sound or tune again, from its start.
    void replay();

private:
    void offerPlayButton(const QString &label, const QString &button);

    QWidget *m_host;
    QLabel *m_label = nullptr;
    PictureBox *m_picture;
    QPushButton *m_play;
    PictureBox *m_naturalSize;
    QString m_mediaPath;
    QString m_picturePath;   // the picture whose size m_naturalSize holds
};
