#pragma once
// A question's media file: the Browse button of a frame picks one and shows
// it in the media panel, its Remove button empties the choice, and a media
// box emptied by hand reads "none" again.

#include "document/QuestionKind.h"

#include <QObject>

class MediaPreviewPanel;
class QuestionEntryPanel;
class QWidget;

class MediaChoice : public QObject {
    Q_OBJECT

public:
    // `window` owns the file dialog.
    MediaChoice(QuestionEntryPanel &entry, MediaPreviewPanel &panel, QWidget *window);

    // The media of the frame of `type`.
    void pick(QuestionKind type);
    void remove(QuestionKind type);
    void boxChanged(QuestionKind type);

private:
    QuestionEntryPanel &m_entry;
    MediaPreviewPanel &m_panel;
    QWidget *m_window;
};
