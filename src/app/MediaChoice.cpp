#include "app/MediaChoice.h"

#include "dialogs/FileDialogs.h"
#include "document/MediaLookup.h"
#include "media/modSound.h"
#include "widgets/MediaPreviewPanel.h"
#include "widgets/PictureBox.h"

#include <QDir>
#include <QLineEdit>
#include <QWidget>

namespace {
QList<FileFilter> mediaFilter()
{
    return {
        {QStringLiteral("Multimedia Files"), QStringLiteral("*.bmp;*.jpg;*.wmf;*.wav;*.avi;*.mid;*.mp3;*.mpeg;*.mpg")},
        {QStringLiteral("Image Files (*.bmp;*.jpg;*.wmf)"), QStringLiteral("*.BMP;*.JPG;*.JPEG;*.WMF")},
        {QStringLiteral("Wav Files (*.WAV)"), QStringLiteral("*.WAV")},
        {QStringLiteral("AVI Files (*.avi)"), QStringLiteral("*.AVI")},
        {QStringLiteral("MIDI Files (*.mid)"), QStringLiteral("*.MID")},
        {QStringLiteral("MP3 Files (*.mp3)"), QStringLiteral("*.MP3")},
        {QStringLiteral("MPEG Files (*.mpg)(*.mpeg)"), QStringLiteral("*.MPG;*.MPEG")},
    };
}
}

MediaChoice::MediaChoice(MediaPreviewPanel &panel, QWidget *window)
    : QObject(window), m_panel(panel), m_window(window)
{
}

void MediaChoice::pick(QLineEdit *mediaBox)
{
    CloseAll();
    const QString path = ShowOpenDialog(m_window, mediaFilter(), QDir::currentPath());
    if (path.isEmpty() || !MediaLookup::fileExists(path))
        return;
    mediaBox->setText(path);
    m_panel.show(path);
}

void MediaChoice::remove(QLineEdit *mediaBox)
{
    mediaBox->setText(QStringLiteral("None"));
    m_panel.clear();
}

void MediaChoice::boxChanged(QLineEdit *mediaBox)
{
    if (mediaBox->text().isEmpty()) {
        mediaBox->setText(QStringLiteral("none"));
        m_panel.picture()->clear();
    }
}
