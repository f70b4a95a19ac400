#pragma once
// The editor's question entry: the type choice and the two question frames
// (multiple choice, true/false), of which one is on screen and the other is
// parked out of sight with its contents kept. It reads what was typed (with
// the messages for a missing question or answers), shows a question's
// fields, and empties the fields. The controls are made on the editor's
// client area at their drawn places, keeping their object names; the type
// choice is made separately, after the Add button, so Tab reaches the
// controls in the order the window was drawn.

#include "document/QuestionRecord.h"
#include "document/QuestionKind.h"
#include "document/QuestionView.h"
#include "document/RecoverySnapshot.h"

#include <QObject>
#include <QString>
#include <optional>

class DefaultButtonKeys;
class FrameBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QWidget;

class QuestionEntryPanel : public QObject {
    Q_OBJECT

public:
    static constexpr int MaxQuestionText = QuestionRecord::MaxQuestionText;
    static constexpr int MaxAnswerText = QuestionRecord::MaxAnswerText;

    explicit QuestionEntryPanel(QWidget *host, QObject *parent = nullptr);
    void buildTypeChoice(QWidget *host);

    // Checks a type's option; true when that changed the selection. The
    // choice itself is the controller's: typeChosen tells it.
    bool selectType(QuestionKind type);
    // Puts the frame of `type` on screen and parks the other.
    void showFrame(QuestionKind type);

    // The question typed into a frame, line breaks as CR LF; "" and the
    // message "You must enter a question!" when it is empty.
    bool enteredQuestion(QuestionKind type, QString &question) const;
    // The four answers; "You must enter four possible answers!" when any is
    // empty (all four read first).
    bool enteredAnswers(QString (&answers)[4]) const;
    // The media box of a frame, "none" when empty.
    QString enteredMedia(QuestionKind type) const;
    int enteredCorrectAnswer() const;     // 0 to 3, A to D
    int enteredTrueFalseAnswer() const;   // 0 true, 1 false
    // What was typed into a frame as a record with the kind field `kind`,
    // read and checked as above (with their messages); nothing when the
    // question or an answer is missing. *question gets the question's text.
    std::optional<QString> enteredRecord(QuestionKind type, const QString &kind, QString *question = nullptr) const;
    // The question typed into a frame, as it stands.
    QString questionText(QuestionKind type) const;
    void focusQuestion(QuestionKind type);
    // The focus to where the teacher types next: the first empty box of the
    // question and its answers, else the question box (whose Enter adds the
    // question).
    void focusNextToFill(QuestionKind type);
    // The media box of a frame as it stands, and the same set.
    QString media(QuestionKind type) const;
    void setMedia(QuestionKind type, const QString &media);
    // The description of a frame's media as it will be kept ("" when the
    // frame has no media), and the same set.
    QString description(QuestionKind type) const;
    void setDescription(QuestionKind type, const QString &text);
    // The type choice enabled or not (off in edit mode).
    void setTypeEnabled(bool on);
    // Enter in either question box presses the window's default button.
    void sendEnterTo(DefaultButtonKeys &keys);
    // The first control Tab reaches in the panel.
    QWidget *tabStart() const;

    // A record's fields into a frame; false (nothing more shown) when the
    // right answer is not one of the frame's options.
    bool showMultipleChoice(const QuestionView &q);
    bool showTrueFalse(const QuestionView &q);
    // Empties the question and answer boxes and sets both media boxes to
    // "none"; the chosen answers and type stay.
    void clearFields();

    // Everything typed and chosen in both frames (the edited question's
    // number is not the panel's to know), and the same put back.
    EntryArea draft() const;
    void showDraft(const EntryArea &entry);

signals:
    // A type option was checked, by the teacher or by selectType.
    void typeChosen(QuestionKind type);
    // The teacher clicked a type option (also the one already checked).
    void typeClicked(QuestionKind type);
    // A frame's "..." and "Remove Multimedia File" buttons, and typing in
    // its media box.
    void mediaBrowseClicked(QuestionKind type);
    void mediaRemoveClicked(QuestionKind type);
    void mediaEdited(QuestionKind type);
    // Anything typed or chosen in the frames changed.
    void draftChanged();

private:
    QPlainTextEdit *questionBox(QuestionKind type) const { return type == QuestionKind::TrueFalse ? txtTFquestion : txtMQuestion; }
    QLineEdit *mediaBox(QuestionKind type) const { return type == QuestionKind::TrueFalse ? txtTFpic : txtMpic; }
    QLineEdit *descriptionBox(QuestionKind type) const { return type == QuestionKind::TrueFalse ? txtTFdesc : txtMdesc; }
    bool hasMedia(QuestionKind type) const;

    FrameBox *grpMultiple = nullptr;
    QLabel *lblMultipleQuestion[6] = {};
    QPlainTextEdit *txtMQuestion = nullptr;
    QRadioButton *optABCD[4] = {};
    QLineEdit *txtManswer[4] = {};
    QLineEdit *txtMpic = nullptr;
    QPushButton *cmdMpic = nullptr;
    QPushButton *cmdMRemove = nullptr;
    QLineEdit *txtMdesc = nullptr;
    FrameBox *grpTrueFalse = nullptr;
    QLabel *lblTrueQuestion[3] = {};
    QPlainTextEdit *txtTFquestion = nullptr;
    QRadioButton *optTrueAnswer[2] = {};
    QLineEdit *txtTFpic = nullptr;
    QPushButton *cmdPic = nullptr;
    QPushButton *cmdTRemove = nullptr;
    QLineEdit *txtTFdesc = nullptr;
    FrameBox *grpType = nullptr;
    QRadioButton *optType[2] = {};
};
