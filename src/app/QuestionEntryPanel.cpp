#include "app/QuestionEntryPanel.h"

#include "app/DefaultButtonKeys.h"

#include "document/QuestionRecord.h"
#include "document/TestCompanion.h"
#include "platform/MsgBox.h"
#include "widgets/Controls.h"
#include "widgets/FrameBox.h"
#include "widgets/Twips.h"
#include "widgets/WindowFont.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {
constexpr int ShownLeft = 120;
constexpr int ParkedLeft = -20000;   // out of sight, contents kept
// Each frame ends with the media's description below its media row.
constexpr int FrameHeight = 4695;
QString tr(const char *text) { return QCoreApplication::translate("QuestionEntryPanel", text); }

QLineEdit *descriptionRow(QWidget *frame, const QString &labelName, const QString &boxName)
{
    QLabel *label = Controls::fittedLabel(frame, labelName, tr("description:"), Twips::rect(120, 4365, 840, 195));
    QLineEdit *box = Controls::lineEdit(frame, boxName, Twips::rect(960, 4320, 2295, 285), TestCompanion::MaxDescription,
                                        tr("Describe the picture, sound or video for students who cannot see or hear it."));
    label->setBuddy(box);
    box->setAccessibleName(tr("Media description"));
    box->setEnabled(false);   // until the question has media
    return box;
}

// The parked frame keeps its contents but takes no part in the window: Tab
// would otherwise wander through its controls out of sight, and a screen
// reader would read them; it is hidden, not only moved away.
void setGroupLeft(QWidget *w, int leftTwips)
{
    w->move(Twips::toPixels(leftTwips), w->y());
    w->setEnabled(leftTwips == ShownLeft);
    w->setVisible(leftTwips == ShownLeft);
}
} // namespace

QuestionEntryPanel::QuestionEntryPanel(QWidget *host, QObject *parent) : QObject(parent)
{
    // --- Multiple-choice frame ---
    grpMultiple = new FrameBox(QStringLiteral("Multiple Choice Question:"), host);
    grpMultiple->setObjectName(QStringLiteral("grpMultiple"));
    grpMultiple->setGeometry(Twips::rect(120, 840, 3495, FrameHeight));
    lblMultipleQuestion[0] = Controls::fittedLabel(grpMultiple, QStringLiteral("lblMultipleQuestion_0"), QStringLiteral("Question:"), Twips::rect(240, 240, 675, 195));
    txtMQuestion = Controls::multiLine(grpMultiple, QStringLiteral("txtMQuestion"), Twips::rect(240, 480, 3015, 1575), MaxQuestionText,
                                 QStringLiteral("Type the multiple choice question here."));
    const int answerTops[4] = {2160, 2520, 2880, 3240};
    const QString letters = QStringLiteral("ABCD");
    for (int i = 0; i < 4; ++i) {
        optABCD[i] = Controls::option(grpMultiple, QStringLiteral("optABCD_%1").arg(i), QString(letters[i]),
                                Twips::rect(120, answerTops[i], 255, 255),
                                QStringLiteral("Correct answer is %1.").arg(letters[i]));
        // The option's text sits right of its indicator; the frame allows it
        // the room up to the answer box.
        optABCD[i]->resize(Twips::toPixels(480) - optABCD[i]->x(), optABCD[i]->height());
        optABCD[i]->setStyleSheet(QStringLiteral("QRadioButton { spacing: 2px; }"));
        txtManswer[i] = Controls::lineEdit(grpMultiple, QStringLiteral("txtManswer_%1").arg(i),
                                     Twips::rect(480, answerTops[i], 2775, 285), MaxAnswerText,
                                     i == 0 ? QStringLiteral("Type the answer here.") : QString());
    }
    optABCD[0]->setChecked(true);
    lblMultipleQuestion[5] = Controls::fittedLabel(grpMultiple, QStringLiteral("lblMultipleQuestion_5"), QStringLiteral("media:"), Twips::rect(120, 3600, 465, 195));
    txtMpic = Controls::lineEdit(grpMultiple, QStringLiteral("txtMpic"), Twips::rect(600, 3600, 2295, 285), 0,
                           QStringLiteral("Picure name for this question."));
    txtMpic->setText(QStringLiteral("None"));
    cmdMpic = Controls::button(grpMultiple, QStringLiteral("cmdMpic"), QStringLiteral("..."), Twips::rect(2880, 3600, 375, 285),
                         QStringLiteral("Choose a picture for this question."));
    cmdMRemove = Controls::button(grpMultiple, QStringLiteral("cmdMRemove"), QStringLiteral("Remove Multimedia File"),
                            Twips::rect(600, 3960, 2295, 255));
    txtMdesc = descriptionRow(grpMultiple, QStringLiteral("lblMultipleQuestion_6"), QStringLiteral("txtMdesc"));

    // --- True/false frame, parked out of sight at start ---
    grpTrueFalse = new FrameBox(QStringLiteral("True/False Question:"), host);
    grpTrueFalse->setObjectName(QStringLiteral("grpTrueFalse"));
    grpTrueFalse->setGeometry(Twips::rect(ParkedLeft, 840, 3495, FrameHeight));
    lblTrueQuestion[0] = Controls::fittedLabel(grpTrueFalse, QStringLiteral("lblTrueQuestion_0"), QStringLiteral("Question:"), Twips::rect(240, 360, 675, 195));
    txtTFquestion = Controls::multiLine(grpTrueFalse, QStringLiteral("txtTFquestion"), Twips::rect(240, 600, 3015, 1935), MaxQuestionText,
                                  QStringLiteral("Type the true/false question here."));
    lblTrueQuestion[1] = Controls::fittedLabel(grpTrueFalse, QStringLiteral("lblTrueQuestion_1"), QStringLiteral("Answer:"), Twips::rect(240, 2640, 570, 195));
    optTrueAnswer[0] = Controls::option(grpTrueFalse, QStringLiteral("optTrueAnswer_0"), QStringLiteral("True"), Twips::rect(240, 2880, 1095, 375),
                                  QStringLiteral("Click here for the correct answer - true or false."));
    optTrueAnswer[1] = Controls::option(grpTrueFalse, QStringLiteral("optTrueAnswer_1"), QStringLiteral("False"), Twips::rect(1440, 2880, 1095, 375));
    optTrueAnswer[0]->setChecked(true);
    lblTrueQuestion[2] = Controls::fittedLabel(grpTrueFalse, QStringLiteral("lblTrueQuestion_2"), QStringLiteral("media:"), Twips::rect(120, 3600, 465, 195));
    txtTFpic = Controls::lineEdit(grpTrueFalse, QStringLiteral("txtTFpic"), Twips::rect(600, 3600, 2295, 285), 0,
                            QStringLiteral("Picture for this question."));
    txtTFpic->setText(QStringLiteral("None"));
    cmdPic = Controls::button(grpTrueFalse, QStringLiteral("cmdPic"), QStringLiteral("..."), Twips::rect(2880, 3600, 375, 285),
                        QStringLiteral("Choose a picture for this question."));
    cmdTRemove = Controls::button(grpTrueFalse, QStringLiteral("cmdTRemove"), QStringLiteral("Remove Multimedia File"),
                            Twips::rect(600, 3960, 2295, 255));
    txtTFdesc = descriptionRow(grpTrueFalse, QStringLiteral("lblTrueQuestion_3"), QStringLiteral("txtTFdesc"));
    // A screen reader tells the boxes apart by what they hold, never by
    // their frame's caption or their current text; a right-answer button
    // says which answer it makes right, and describes it by its text.
    for (QPlainTextEdit *box : {txtMQuestion, txtTFquestion})
        box->setAccessibleName(tr("Question"));
    for (QLineEdit *box : {txtMpic, txtTFpic})
        box->setAccessibleName(tr("Media file"));
    for (int i = 0; i < 4; ++i) {
        txtManswer[i]->setAccessibleName(tr("Answer %1").arg(letters[i]));
        optABCD[i]->setAccessibleName(tr("%1 is the right answer").arg(letters[i]));
        QRadioButton *option = optABCD[i];
        connect(txtManswer[i], &QLineEdit::textChanged, option, [option](const QString &text) {
            option->setAccessibleDescription(text);
        });
    }
    optTrueAnswer[0]->setAccessibleName(tr("True is the right answer"));
    optTrueAnswer[1]->setAccessibleName(tr("False is the right answer"));
    for (QPushButton *b : {cmdMpic, cmdPic}) {
        QFont f = WindowFont::sansSerif(8);
        f.setFamilies({QStringLiteral("Arial Rounded MT Bold"), QStringLiteral("Liberation Sans")});
        f.setBold(true);
        b->setFont(f);
    }
    // Tab goes question, answer A to D, then the right-answer options (the
    // checked one; arrow keys move between them), then the media: an option
    // between two answer boxes took the typing meant for the next answer.
    const QList<QWidget *> order = {txtMQuestion, txtManswer[0], txtManswer[1], txtManswer[2], txtManswer[3],
                                    optABCD[0], optABCD[1], optABCD[2], optABCD[3], txtMpic, cmdMpic, cmdMRemove, txtMdesc};
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
    // Only the checked option is a Tab stop, as in a Windows option group.
    for (QRadioButton *option : {optABCD[0], optABCD[1], optABCD[2], optABCD[3]}) {
        const auto follow = [option](bool on) { option->setFocusPolicy(on ? Qt::StrongFocus : Qt::ClickFocus); };
        follow(option->isChecked());
        connect(option, &QRadioButton::toggled, option, follow);
    }
    for (QPlainTextEdit *box : {txtMQuestion, txtTFquestion})
        connect(box, &QPlainTextEdit::textChanged, this, &QuestionEntryPanel::draftChanged);
    for (QLineEdit *line : {txtManswer[0], txtManswer[1], txtManswer[2], txtManswer[3], txtMpic, txtTFpic, txtMdesc, txtTFdesc})
        connect(line, &QLineEdit::textChanged, this, &QuestionEntryPanel::draftChanged);
    for (QRadioButton *option : {optABCD[0], optABCD[1], optABCD[2], optABCD[3], optTrueAnswer[0], optTrueAnswer[1]})
        connect(option, &QRadioButton::toggled, this, &QuestionEntryPanel::draftChanged);
    for (const QuestionKind t : {QuestionKind::MultipleChoice, QuestionKind::TrueFalse}) {
        const bool tf = t == QuestionKind::TrueFalse;
        connect(tf ? cmdPic : cmdMpic, &QPushButton::clicked, this, [this, t] { emit mediaBrowseClicked(t); });
        connect(tf ? cmdTRemove : cmdMRemove, &QPushButton::clicked, this, [this, t] { emit mediaRemoveClicked(t); });
        connect(mediaBox(t), &QLineEdit::textChanged, this, [this, t] {
            // A description describes media: without any there is nothing to describe.
            descriptionBox(t)->setEnabled(hasMedia(t));
            emit mediaEdited(t);
        });
    }
}

void QuestionEntryPanel::buildTypeChoice(QWidget *host)
{
    grpType = new FrameBox(QStringLiteral("Question Type"), host);
    grpType->setObjectName(QStringLiteral("grpType"));
    grpType->setGeometry(Twips::rect(3840, 1920, 1815, 1095));
    optType[0] = Controls::option(grpType, QStringLiteral("optType_0"), QStringLiteral("Multiple Choice"), Twips::rect(120, 240, 1455, 375),
                            QStringLiteral("Create a multiple choice question."));
    optType[1] = Controls::option(grpType, QStringLiteral("optType_1"), QStringLiteral("True/False"), Twips::rect(120, 600, 1455, 375),
                            QStringLiteral("Create a true/false question."));
    optType[0]->setChecked(true);
    for (const QuestionKind t : {QuestionKind::MultipleChoice, QuestionKind::TrueFalse}) {
        connect(optType[int(t)], &QRadioButton::toggled, this, [this, t](bool on) {
            if (on)
                emit typeChosen(t);
            emit draftChanged();
        });
        connect(optType[int(t)], &QRadioButton::clicked, this, [this, t] { emit typeClicked(t); });
    }
}

QString QuestionEntryPanel::questionText(QuestionKind t) const { return questionBox(t)->toPlainText(); }

void QuestionEntryPanel::focusQuestion(QuestionKind t) { questionBox(t)->setFocus(Qt::OtherFocusReason); }

void QuestionEntryPanel::focusNextToFill(QuestionKind t)
{
    if (t == QuestionKind::MultipleChoice && !txtMQuestion->toPlainText().trimmed().isEmpty()) {
        for (QLineEdit *answer : txtManswer) {
            if (answer->text().trimmed().isEmpty()) {
                answer->setFocus(Qt::OtherFocusReason);
                return;
            }
        }
    }
    focusQuestion(t);
}

QString QuestionEntryPanel::media(QuestionKind t) const { return mediaBox(t)->text(); }

void QuestionEntryPanel::setMedia(QuestionKind t, const QString &media) { mediaBox(t)->setText(media); }

bool QuestionEntryPanel::hasMedia(QuestionKind t) const
{
    const QString m = mediaBox(t)->text().trimmed();
    return !m.isEmpty() && !QuestionRecord::isNoMedia(m);
}

QString QuestionEntryPanel::description(QuestionKind t) const
{
    return hasMedia(t) ? TestCompanion::cleanDescription(descriptionBox(t)->text()) : QString();
}

void QuestionEntryPanel::setDescription(QuestionKind t, const QString &text)
{
    Controls::setLineText(descriptionBox(t), text, TestCompanion::MaxDescription);
}

void QuestionEntryPanel::setTypeEnabled(bool on)
{
    grpType->setEnabled(on);
    optType[0]->setEnabled(on);
    optType[1]->setEnabled(on);
}

void QuestionEntryPanel::sendEnterTo(DefaultButtonKeys &keys)
{
    keys.watch(txtMQuestion);
    keys.watch(txtTFquestion);
}

QWidget *QuestionEntryPanel::tabStart() const { return txtMQuestion; }

bool QuestionEntryPanel::selectType(QuestionKind t)
{
    if (optType[int(t)]->isChecked())
        return false;
    optType[int(t)]->setChecked(true);
    return true;
}

void QuestionEntryPanel::showFrame(QuestionKind t)
{
    setGroupLeft(t == QuestionKind::TrueFalse ? grpTrueFalse : grpMultiple, ShownLeft);
    setGroupLeft(t == QuestionKind::TrueFalse ? grpMultiple : grpTrueFalse, ParkedLeft);
}

bool QuestionEntryPanel::enteredQuestion(QuestionKind t, QString &question) const
{
    question = Controls::multiLineText(questionBox(t));
    if (!question.isEmpty())
        return true;
    MsgBox(QStringLiteral("You must enter a question!"), MsgIcon::Critical);
    // The keyboard goes to the box the message names.
    questionBox(t)->setFocus(Qt::OtherFocusReason);
    return false;
}

bool QuestionEntryPanel::enteredAnswers(QString (&answers)[4]) const
{
    // All four are read before anything is reported.
    bool missing = false;
    for (int i = 0; i < 4; ++i) {
        answers[i] = txtManswer[i]->text();
        if (answers[i].isEmpty())
            missing = true;
    }
    if (missing) {
        MsgBox(QStringLiteral("You must enter four possible answers!"));
        // The keyboard goes to the first empty answer box.
        for (QLineEdit *box : txtManswer) {
            if (box->text().isEmpty()) {
                box->setFocus(Qt::OtherFocusReason);
                break;
            }
        }
    }
    return !missing;
}

QString QuestionEntryPanel::enteredMedia(QuestionKind t) const
{
    const QLineEdit *box = t == QuestionKind::TrueFalse ? txtTFpic : txtMpic;
    return box->text().isEmpty() ? QStringLiteral("none") : box->text();
}

int QuestionEntryPanel::enteredCorrectAnswer() const
{
    int correct = 0;
    for (int i = 0; i < 4; ++i) {
        if (optABCD[i]->isChecked())
            correct = i;
    }
    return correct;
}

int QuestionEntryPanel::enteredTrueFalseAnswer() const
{
    return optTrueAnswer[1]->isChecked() ? 1 : 0;
}

std::optional<QString> QuestionEntryPanel::enteredRecord(QuestionKind t, const QString &kind, QString *question) const
{
    QString typed;
    if (!enteredQuestion(t, typed))
        return std::nullopt;
    if (question)
        *question = typed;
    if (t == QuestionKind::TrueFalse)
        return QuestionRecord::trueFalse(kind, typed, enteredMedia(t), enteredTrueFalseAnswer());
    QString answers[4];
    if (!enteredAnswers(answers))
        return std::nullopt;
    return QuestionRecord::multipleChoice(kind, typed, answers[0], answers[1], answers[2], answers[3],
                                          enteredMedia(t), enteredCorrectAnswer());
}

bool QuestionEntryPanel::showMultipleChoice(const QuestionView &q)
{
    Controls::setMultiLineText(txtMQuestion, q.question(), MaxQuestionText);
    for (int i = 0; i < 4; ++i)
        Controls::setLineText(txtManswer[i], q.answer(i), MaxAnswerText);
    txtMpic->setText(q.media());
    const int correct = q.rightAnswer();
    if (correct < 0 || correct > 3)
        return false;
    optABCD[correct]->setChecked(true);
    return true;
}

bool QuestionEntryPanel::showTrueFalse(const QuestionView &q)
{
    Controls::setMultiLineText(txtTFquestion, q.question(), MaxQuestionText);
    txtTFpic->setText(q.media());
    const int answer = q.rightAnswer();
    if (answer < 0 || answer > 1)
        return false;
    optTrueAnswer[answer]->setChecked(true);
    return true;
}

void QuestionEntryPanel::clearFields()
{
    for (QLineEdit *answer : txtManswer)
        Controls::setLineText(answer, QString(), MaxAnswerText);
    txtMpic->setText(QStringLiteral("none"));
    Controls::setMultiLineText(txtMQuestion, QString(), MaxQuestionText);
    txtTFpic->setText(QStringLiteral("none"));
    setDescription(QuestionKind::MultipleChoice, QString());
    setDescription(QuestionKind::TrueFalse, QString());
    Controls::setMultiLineText(txtTFquestion, QString(), MaxQuestionText);
    // A new question starts with no right answer carried over from the
    // last one: A (and True) again, as at the start.
    optABCD[0]->setChecked(true);
    optTrueAnswer[0]->setChecked(true);
}

EntryArea QuestionEntryPanel::draft() const
{
    EntryArea e;
    e.type = optType[1] && optType[1]->isChecked() ? 1 : 0;
    e.mcQuestion = Controls::multiLineText(txtMQuestion);
    for (int i = 0; i < 4; ++i) {
        e.mcAnswers[size_t(i)] = txtManswer[i]->text();
        if (optABCD[i]->isChecked())
            e.mcCorrect = i;
    }
    e.mcMedia = txtMpic->text();
    e.mcDescription = txtMdesc->text();
    e.tfQuestion = Controls::multiLineText(txtTFquestion);
    e.tfAnswer = optTrueAnswer[1]->isChecked() ? 1 : 0;
    e.tfMedia = txtTFpic->text();
    e.tfDescription = txtTFdesc->text();
    return e;
}

// The typing limits of the boxes must not cut a text that was longer already.
void QuestionEntryPanel::showDraft(const EntryArea &e)
{
    Controls::setMultiLineText(txtMQuestion, e.mcQuestion, MaxQuestionText);
    for (int i = 0; i < 4; ++i)
        Controls::setLineText(txtManswer[i], e.mcAnswers[size_t(i)], MaxAnswerText);
    optABCD[qBound(0, e.mcCorrect, 3)]->setChecked(true);
    txtMpic->setText(e.mcMedia);
    setDescription(QuestionKind::MultipleChoice, e.mcDescription);
    Controls::setMultiLineText(txtTFquestion, e.tfQuestion, MaxQuestionText);
    optTrueAnswer[e.tfAnswer == 1 ? 1 : 0]->setChecked(true);
    txtTFpic->setText(e.tfMedia);
    setDescription(QuestionKind::TrueFalse, e.tfDescription);
}
