#include "app/MediaChoice.h"

#include "app/QuestionEntryPanel.h"

#include "dialogs/FileDialogs.h"
#include "document/MediaLookup.h"
#include "media/modSound.h"
#include "widgets/MediaPreviewPanel.h"
#include "widgets/PictureBox.h"

#include <QDir>
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

MediaChoice::MediaChoice(QuestionEntryPanel &entry, MediaPreviewPanel &panel, QWidget *window)
    : QObject(window), m_entry(entry), m_panel(panel), m_window(window)
{
}

void MediaChoice::pick(QuestionKind type)
{
    CloseAll();
    const QString path = ShowOpenDialog(m_window, mediaFilter(), QDir::currentPath());
    if (path.isEmpty() || !MediaLookup::fileExists(path))
        return;
    m_entry.setMedia(type, path);
    m_panel.show(path);
    // Not left on the "..." button, whose Enter would open the dialog again.
    m_entry.focusNextToFill(type);
}

void MediaChoice::remove(QuestionKind type)
{
    m_entry.setMedia(type, QStringLiteral("None"));
    m_panel.clear();
}

void MediaChoice::boxChanged(QuestionKind type)
{
    if (m_entry.media(type).isEmpty()) {
        m_entry.setMedia(type, QStringLiteral("none"));
        m_panel.picture()->clear();
    }
}
