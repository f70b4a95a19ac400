#pragma once
// A question's media file: the Browse button of a frame picks one and shows
// it in the media panel, its Remove button empties the choice, and a media
// box emptied by hand reads "none" again.

#include <QObject>

class MediaPreviewPanel;
class QLineEdit;
class QWidget;

class MediaChoice : public QObject {
    Q_OBJECT

public:
    // `window` owns the file dialog.
    MediaChoice(MediaPreviewPanel &panel, QWidget *window);

    void pick(QLineEdit *mediaBox);
    void remove(QLineEdit *mediaBox);
    void boxChanged(QLineEdit *mediaBox);

private:
    MediaPreviewPanel &m_panel;
    QWidget *m_window;
};
