#pragma once
// The preview window "Ardeno Previewer": the teacher takes the test being
// edited the way a student would. It shows the questions one at a time with
// their media, checks each answer on the mouse release over an option, keeps
// a running score and ends with the score report.
//
// The window is modeless and deletes itself when closed. There is at most one.
// The sequencing, scoring and report texts live in TestRunner, ScoreReport
// and the picture fitting rule (PictureFit); this class only puts them on screen. The media player,
// clock and printer it uses are in PreviewHooks.

#include "document/QuestionKind.h"
#include "preview/TestRunner.h"

#include <QColor>
#include <QCursor>
#include <QWidget>

class AnswerOption;
class MediaPreviewPanel;
class PictureBox;
class QGroupBox;
class QLabel;
class QPushButton;
class TestDocument;

class frmPreview : public QWidget {
    Q_OBJECT

public:
    // Opens the preview beside `editor` and shows question 1, or, when it is
    // already open, only brings it to the front and refreshes the title and
    // class/teacher labels (the run goes on where it was). Either way videos
    // and tunes that play are closed first. `doc` is the editor's document,
    // read live while the preview runs; it must outlive the window. A test
    // without questions is refused with a message and nullptr is returned.
    static frmPreview *showPreview(const TestDocument &doc, const QString &title,
                                   const QString &teacher, QWidget *editor);

    // The open preview window, or nullptr when none is open.
    static frmPreview *instance();

    ~frmPreview() override;

    // The colours of the window.
    static const QColor WindowBlue;   // 53, 53, 255
    static const QColor LightBlue;    // 150, 200, 255
    static const QColor PaleBlue;     // 106, 181, 255

    const TestRunner &runner() const { return m_runner; }
    // The window's own mouse pointer (an arrow in the window's blues).
    static QCursor customPointer();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    frmPreview(const TestDocument &doc, QWidget *editor);
    void buildControls();
    void placeBeside(QWidget *editor);

    void Form_Load();
    void ShowQuestion();
    void ShowMultipleChoice();
    void ShowTrueFalse();
    void ShowMedia(const QString &path);
    void FitPicture();
    void SetPreviewColors(const QColor &color);
    bool NextQuestion();       // false when the score report could not run
    bool ShowFinalScore();
    void optABCD_MouseUp(int index);
    void optTrueFalse_MouseUp(int index);
    void answer(int index, bool multipleChoice);
    void cmdPreview_Click();
    void cmdExit_Click();

    void showFrame(bool multipleChoice);
    void showRecord(QuestionKind kind);
    void setBusyPointer();
    void setCustomPointer();

    TestRunner m_runner;
    QString m_hiddenPicture;   // the file whose size picHide has taken
    bool m_answering = false;

    QLabel *lblScore = nullptr;
    QLabel *lblCount = nullptr;
    MediaPreviewPanel *m_media = nullptr;   // cmdPreview, picPic and picHide
    QPushButton *cmdPreview = nullptr;
    PictureBox *picPic = nullptr;
    PictureBox *picHide = nullptr;
    QLabel *lblTitle = nullptr;
    QLabel *lblTeacher = nullptr;
    QPushButton *cmdExit = nullptr;
    QGroupBox *grpMultiple = nullptr;
    QLabel *lblMQuestion = nullptr;
    AnswerOption *optABCD[4] = {};
    QLabel *lblMAnswer[4] = {};
    QGroupBox *grpTrueFalse = nullptr;
    QLabel *lblTrueQuestion = nullptr;
    AnswerOption *optTrueFalse[2] = {};
};
