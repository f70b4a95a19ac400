#include "preview/frmPreview.h"

#include "widgets/AccessibleWindow.h"

#include <QShortcut>

#include "document/QuestionView.h"

#include "preview/AnswerOption.h"
#include "pictures/PictureFit.h"
#include "document/MediaLookup.h"
#include "platform/MsgBox.h"
#include "widgets/PictureBox.h"
#include "pictures/PictureLoader.h"
#include "preview/PreviewHooks.h"
#include "preview/ScoreReport.h"
#include "document/TestDocument.h"
#include "media/modSound.h"
#include "widgets/Controls.h"
#include "widgets/MediaPreviewPanel.h"
#include "widgets/Twips.h"
#include "widgets/WindowFont.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QPushButton>
#include <QScreen>

const QColor frmPreview::WindowBlue(53, 53, 255);
const QColor frmPreview::LightBlue(150, 200, 255);
const QColor frmPreview::PaleBlue(106, 181, 255);

namespace {
QPointer<frmPreview> g_instance;

void setBackground(QWidget *w, const QColor &color)
{
    QPalette p = w->palette();
    p.setColor(QPalette::Window, color);
    p.setColor(QPalette::Button, color);   // what buttons fill their background with
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

void setForeground(QWidget *w, const QColor &color)
{
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, color);
    w->setPalette(p);
}

void setButtonColor(QPushButton *b, const QColor &color)
{
    // Styles shade a palette's button colour into grey gradients; the
    // window's buttons are plainly light blue.
    b->setStyleSheet(QStringLiteral(
        "QPushButton { background-color: %1; color: black; border: 1px solid rgb(0, 0, 128);"
        " border-radius: 2px; }"
        "QPushButton:pressed { background-color: %2; }"
        "QPushButton:focus { border: 2px solid rgb(0, 0, 128); }")
        .arg(color.name(), color.darker(115).name()));
}

// Questions and answers are shown as typed: a text such as "<p>" or "<b>"
// is not taken for markup (it would vanish).
QLabel *makeLabel(QWidget *parent, const QString &name, const QString &caption, const QRect &geometry)
{
    QLabel *l = Controls::label(parent, name, caption, geometry);
    l->setTextFormat(Qt::PlainText);
    return l;
}

const QString kMsgProcessQuestion = QStringLiteral("An error has occured.  Unable to process question ");
const QString kMsgUpdateQuestion = QStringLiteral("Error updating question!");
const QString kMsgLoadMedia = QStringLiteral("Error loading media file!");
const QString kMsgMediaFile = QStringLiteral("Error in media file.");
const QString kMsgQuestionError = QStringLiteral("There has been an error in this question.");
}

QCursor frmPreview::customPointer()
{
    // An arrow in the window's light blue with a window-blue outline and a
    // white edge, so it reads on the blue background and on the pale labels.
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath arrow;
    arrow.moveTo(2, 2);
    arrow.lineTo(2, 24);
    arrow.lineTo(8, 18);
    arrow.lineTo(12, 28);
    arrow.lineTo(16, 26);
    arrow.lineTo(12, 17);
    arrow.lineTo(20, 17);
    arrow.closeSubpath();
    p.setPen(QPen(Qt::white, 3.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(arrow);
    p.setPen(QPen(WindowBlue, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(LightBlue);
    p.drawPath(arrow);
    p.end();
    return QCursor(pm, 2, 2);
}

frmPreview::frmPreview(const TestDocument &doc, QWidget *editor)
    : QWidget(editor, Qt::Window), m_runner(&doc)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("frmPreview"));
    setWindowTitle(QStringLiteral("Ardeno Previewer"));
    AccessibleWindow::mark(this);
    setFont(WindowFont::sansSerif(8));
    setFixedSize(Twips::toPixels(9480), Twips::toPixels(5445));
    buildControls();
    setCustomPointer();
    placeBeside(editor);
    // Escape closes the preview, as it closes a dialog.
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this, &QWidget::close);
}

frmPreview::~frmPreview()
{
    if (g_instance == this)
        g_instance = nullptr;
}

void frmPreview::buildControls()
{
    setBackground(this, WindowBlue);

    lblScore = makeLabel(this, QStringLiteral("lblScore"), QStringLiteral("Score:  xxx correct of xxx total questions."),
                         Twips::rect(120, 240, 3765, 300));
    lblScore->setFont(WindowFont::sansSerif(12, true));
    // White, not the pale blue of old: pale blue on the window's blue is
    // 3.1:1, white 6.8:1.
    setForeground(lblScore, Qt::white);
    setBackground(lblScore, WindowBlue);

    lblCount = makeLabel(this, QStringLiteral("lblCount"), QStringLiteral("Question #1"), Twips::rect(2040, 720, 2175, 375));
    lblCount->setFont(WindowFont::sansSerif(12));
    setBackground(lblCount, PaleBlue);
    setForeground(lblCount, Qt::black);

    // The replay button, the picture and the box that holds a picture's
    // natural size; the preview plays media its own way (see ShowMedia).
    m_media = new MediaPreviewPanel(this,
                                    {QRect(), Twips::rect(120, 1200, 4095, 4095), Twips::rect(120, 720, 1215, 375),
                                     Twips::rect(1200, 3600, 855, 735)},
                                    {QString(), QStringLiteral("picPic"), QString(), QStringLiteral("cmdPreview"),
                                     QStringLiteral("picHide")},
                                    this);
    cmdPreview = m_media->playButton();
    picPic = m_media->picture();
    picHide = m_media->naturalSize();
    setButtonColor(cmdPreview, LightBlue);
    connect(cmdPreview, &QPushButton::clicked, this, &frmPreview::cmdPreview_Click);
    picPic->setBackgroundColor(WindowBlue);

    // Title and class/teacher: white on the window blue, to read well on it.
    lblTitle = makeLabel(this, QStringLiteral("lblTitle"), QStringLiteral("Test Title"), Twips::rect(4320, 120, 3735, 255));
    lblTeacher = makeLabel(this, QStringLiteral("lblTeacher"), QStringLiteral("Class Name"), Twips::rect(4320, 360, 3735, 255));
    for (QLabel *l : {lblTitle, lblTeacher}) {
        setBackground(l, WindowBlue);
        setForeground(l, Qt::white);
    }

    cmdExit = new QPushButton(QStringLiteral("Exit"), this);
    cmdExit->setObjectName(QStringLiteral("cmdExit"));
    cmdExit->setGeometry(Twips::rect(8160, 240, 1215, 375));
    setButtonColor(cmdExit, LightBlue);
    connect(cmdExit, &QPushButton::clicked, this, &frmPreview::cmdExit_Click);

    grpMultiple = new QGroupBox(QStringLiteral("Multiple Choice Question"), this);
    grpMultiple->setObjectName(QStringLiteral("grpMultiple"));
    grpMultiple->setGeometry(Twips::rect(4320, 720, 5055, 4575));
    setBackground(grpMultiple, WindowBlue);
    setForeground(grpMultiple, Qt::white);

    lblMQuestion = makeLabel(grpMultiple, QStringLiteral("lblMQuestion"), QString(), Twips::rect(240, 360, 4575, 1575));
    lblMQuestion->setWordWrap(true);
    setBackground(lblMQuestion, PaleBlue);
    setForeground(lblMQuestion, Qt::black);

    static const char *letters[] = {"A", "B", "C", "D"};
    static const int tops[] = {2040, 2640, 3240, 3840};
    for (int i = 0; i < 4; ++i) {
        optABCD[i] = new AnswerOption(QLatin1String(letters[i]), grpMultiple);
        optABCD[i]->setObjectName(QStringLiteral("optABCD_%1").arg(i));
        // Wider than the player's 375 twips, from further left: there, the
        // circle, its letter and the focus frame do not fit, and the letter
        // is cut off at any size.
        optABCD[i]->setGeometry(Twips::rect(105, tops[i], 585, 495));
        // Little room between the circle and its letter.
        // Focused, the option is framed in black (the light blue around it
        // leaves the style's dotted frame at 1.4:1).
        optABCD[i]->setStyleSheet(QStringLiteral("QRadioButton { spacing: 1px; background-color: %1; border: 2px solid %1; }"
                                                 "QRadioButton:focus { border: 2px solid #000000; }")
                                      .arg(LightBlue.name()));
        setBackground(optABCD[i], LightBlue);
        setForeground(optABCD[i], Qt::black);
        connect(optABCD[i], &AnswerOption::mouseReleased, this, [this, i] { optABCD_MouseUp(i); });
        connect(optABCD[i], &AnswerOption::keyActivated, this, [this, i] { optABCD_MouseUp(i); });

        lblMAnswer[i] = makeLabel(grpMultiple, QStringLiteral(""), QString(), Twips::rect(720, tops[i], 4095, 495));
        lblMAnswer[i]->setObjectName(QStringLiteral("lblMAnswer_%1").arg(i));
        lblMAnswer[i]->setWordWrap(true);
        lblMAnswer[i]->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        setBackground(lblMAnswer[i], PaleBlue);
        setForeground(lblMAnswer[i], Qt::black);
    }

    grpTrueFalse = new QGroupBox(QStringLiteral("True/False Question:"), this);
    grpTrueFalse->setObjectName(QStringLiteral("grpTrueFalse"));
    grpTrueFalse->setGeometry(Twips::rect(4320, 720, 5055, 4575));
    setBackground(grpTrueFalse, WindowBlue);
    setForeground(grpTrueFalse, Qt::white);
    grpTrueFalse->hide();

    lblTrueQuestion = makeLabel(grpTrueFalse, QStringLiteral("lblTrueQuestion"), QStringLiteral("Question"),
                                Twips::rect(240, 360, 4575, 1575));
    lblTrueQuestion->setWordWrap(true);
    setBackground(lblTrueQuestion, PaleBlue);
    setForeground(lblTrueQuestion, Qt::black);

    static const char *tf[] = {"True", "False"};
    static const int tfTops[] = {2280, 3000};
    for (int i = 0; i < 2; ++i) {
        optTrueFalse[i] = new AnswerOption(QLatin1String(tf[i]), grpTrueFalse);
        optTrueFalse[i]->setObjectName(QStringLiteral("optTrueFalse_%1").arg(i));
        optTrueFalse[i]->setGeometry(Twips::rect(480, tfTops[i], 975, 495));
        setBackground(optTrueFalse[i], WindowBlue);
        setForeground(optTrueFalse[i], Qt::white);
        // Focused, framed in white on the window's blue (6.8:1).
        optTrueFalse[i]->setStyleSheet(QStringLiteral("QRadioButton { border: 2px solid %1; }"
                                                      "QRadioButton:focus { border: 2px solid #ffffff; }")
                                           .arg(WindowBlue.name()));
        connect(optTrueFalse[i], &AnswerOption::mouseReleased, this,
                [this, i] { optTrueFalse_MouseUp(i); });
        connect(optTrueFalse[i], &AnswerOption::keyActivated, this, [this, i] { optTrueFalse_MouseUp(i); });
    }
}

void frmPreview::placeBeside(QWidget *editor)
{
    if (!editor)
        return;
    const QRect e = editor->frameGeometry();
    QRect avail = editor->screen() ? editor->screen()->availableGeometry() : QRect();
    QPoint at(e.right() + 1, e.top());
    if (avail.isValid()) {
        if (at.x() + width() > avail.right())          // no room on the right: the left side
            at.setX(e.left() - frameGeometry().width());
        at.setX(qBound(avail.left(), at.x(), qMax(avail.left(), avail.right() - width())));
        at.setY(qBound(avail.top(), at.y(), qMax(avail.top(), avail.bottom() - height())));
    }
    move(at);
}

frmPreview *frmPreview::showPreview(const TestDocument &doc, const QString &title,
                                    const QString &teacher, QWidget *editor)
{
    PreviewHooks::media().closeAll();
    QPointer<frmPreview> w = g_instance.data();
    if (!w) {
        // Our choice: a test without questions has nothing to preview, and
        // its report would divide by zero.
        if (doc.questionCount() < 1) {
            MsgBox(QObject::tr("This test has no questions yet. Add at least one question, "
                               "then preview the test."),
                   MsgIcon::Information);
            return nullptr;
        }
        w = new frmPreview(doc, editor);
        g_instance = w.data();
        // The labels are filled before question 1, whose sound may hold the
        // window for a moment: the student sees what test this is meanwhile.
        w->lblTitle->setText(title);
        w->lblTeacher->setText(teacher);
        w->Form_Load();
        if (!w || g_instance != w)   // closed while question 1's sound played
            return nullptr;
    } else {
        w->show();
        w->raise();
        w->activateWindow();
    }
    w->lblTitle->setText(title);
    w->lblTeacher->setText(teacher);
    return w;
}

frmPreview *frmPreview::instance()
{
    return g_instance;
}

void frmPreview::Form_Load()
{
    show();
    repaint();
    m_runner.start(PreviewHooks::clock().now());
    ShowQuestion();
}

void frmPreview::closeEvent(QCloseEvent *event)
{
    // Unloading stops videos and tunes; the runner state stays until the
    // next preview makes a new window.
    PreviewHooks::media().closeAll();
    if (g_instance == this)
        g_instance = nullptr;
    event->accept();
}

void frmPreview::setBusyPointer()
{
    setCursor(Qt::WaitCursor);
}

void frmPreview::setCustomPointer()
{
    static const QCursor pointer = customPointer();
    setCursor(pointer);
}

void frmPreview::ShowQuestion()
{
    try {
        lblCount->setText(m_runner.countCaption());
        lblScore->setText(m_runner.scoreCaption());
        picPic->clear();
        picPic->hide();
        cmdPreview->hide();
        PreviewHooks::media().closeAll();   // a wave sound still playing goes on
        const QString record = m_runner.currentRecord();
        switch (QuestionView(record).kind()) {
        case QuestionKind::MultipleChoice: ShowMultipleChoice(); break;
        case QuestionKind::TrueFalse: ShowTrueFalse(); break;
        case QuestionKind::Unknown: break;   // the previous question stays
        }
    } catch (...) {
        MsgBox(kMsgUpdateQuestion, MsgIcon::Critical);
    }
}

void frmPreview::showFrame(bool multipleChoice)
{
    // Unselect by lifting the exclusivity for a moment: an exclusive option
    // button cannot be switched off on its own.
    auto clear = [](AnswerOption *o) {
        o->setAutoExclusive(false);
        o->setChecked(false);
        o->setAutoExclusive(true);
    };
    if (multipleChoice) {
        for (auto *o : optABCD) clear(o);
    } else {
        for (auto *o : optTrueFalse) clear(o);
    }
    grpMultiple->setVisible(multipleChoice);
    grpTrueFalse->setVisible(!multipleChoice);
}

void frmPreview::ShowMultipleChoice() { showRecord(QuestionKind::MultipleChoice); }

void frmPreview::ShowTrueFalse() { showRecord(QuestionKind::TrueFalse); }

// The frame of the record's kind, emptied of a chosen answer; a record too
// short for its kind is named and leaves the frame as it was.
void frmPreview::showRecord(QuestionKind kind)
{
    const QuestionView q(m_runner.currentRecord());
    const bool multipleChoice = kind == QuestionKind::MultipleChoice;
    showFrame(multipleChoice);
    if (!q.isComplete()) {
        MsgBox(kMsgProcessQuestion + q.kindField());
        return;
    }
    (multipleChoice ? lblMQuestion : lblTrueQuestion)->setText(q.question());
    for (int i = 0; multipleChoice && i < 4; ++i) {
        lblMAnswer[i]->setText(q.answer(i));
        // The option speaks with its answer: "A: In the sea".
        optABCD[i]->setAccessibleName(QStringLiteral("%1: %2").arg(QChar(u'A' + i)).arg(q.answer(i)));
    }
    m_runner.CorrectAnswer = q.rightAnswer();
    // The keyboard starts where the student answers, not on Exit.
    (multipleChoice ? optABCD[0] : optTrueFalse[0])->setFocus(Qt::OtherFocusReason);
    // The teacher's description of the media is what a screen reader says of it.
    picPic->setAccessibleDescription(m_runner.document()->description(m_runner.CurrentQuestion));
    const QString path = MediaLookup::resolve(q.media(), m_runner.document()->testFolder());
    if (!path.isEmpty())
        ShowMedia(path);
}

void frmPreview::ShowMedia(const QString &path)
{
    m_runner.MediaFile = path;
    PreviewMedia &media = PreviewHooks::media();
    QPointer<frmPreview> self(this);
    // Sounds, tunes and videos: the hourglass while the player starts, the
    // replay button with its caption, then the window's own pointer again.
    auto startPlaying = [&](const QString &caption, bool inPicture, auto play) {
        setBusyPointer();
        cmdPreview->setText(caption);
        cmdPreview->show();
        picPic->setVisible(inPicture);
        repaint();
        play();
        if (self)
            setCustomPointer();
    };
    try {
    switch (mediaKindOf(path)) {
    case MediaKind::Wave:
        startPlaying(QStringLiteral("Play Sound"), false,
                     [&] { media.playWave(path, QStringLiteral("sync")); });
        break;
    case MediaKind::Avi:
        startPlaying(QStringLiteral("Play Movie"), true,
                     [&] { media.playAVI(path, picPic, true); });
        break;
    case MediaKind::Mpeg:
        startPlaying(QStringLiteral("Play Movie"), true,
                     [&] { media.playMPEG(path, picPic, true); });
        break;
    case MediaKind::Midi:
        startPlaying(QStringLiteral("Play Music"), false, [&] { media.playMIDI(path); });
        break;
    case MediaKind::Mp3:
        startPlaying(QStringLiteral("Play Music"), false, [&] { media.playMP3(path); });
        break;
    case MediaKind::Picture: {
        const QSize natural = pictureSize(path);
        if (!natural.isValid() || natural.isEmpty()) {
            MsgBox(kMsgLoadMedia, MsgIcon::Critical);
            return;
        }
        m_hiddenPicture = path;
        picHide->setInnerSize(natural);
        FitPicture();
        repaint();
        break;
    }
    case MediaKind::None:
        break;
    }
    } catch (...) {
        // The question stays, without its media.
        if (!self)
            return;
        setCustomPointer();
        MsgBox(kMsgLoadMedia, MsgIcon::Critical);
    }
}

void frmPreview::FitPicture()
{
    // A failure leaves the picture area as it was, without a message.
    m_media->showFitted(m_hiddenPicture);
}

void frmPreview::SetPreviewColors(const QColor &color)
{
    setBackground(this, color);
    for (QWidget *w : {static_cast<QWidget *>(lblScore), static_cast<QWidget *>(lblTeacher),
                       static_cast<QWidget *>(lblTitle), static_cast<QWidget *>(grpMultiple),
                       static_cast<QWidget *>(grpTrueFalse), static_cast<QWidget *>(optTrueFalse[0]),
                       static_cast<QWidget *>(optTrueFalse[1])})
        setBackground(w, color);
    picPic->setBackgroundColor(color);
    repaint();
}

void frmPreview::cmdPreview_Click()
{
    setBusyPointer();
    try {
        PreviewMedia &media = PreviewHooks::media();
        const QString &file = m_runner.MediaFile;
        // The replay knows the lower-case extensions only, as the quiz player's
        // button does; a "Song.MID" shows its button but replays nothing.
        const QString ext = fileKindOf(file);
        media.closeAll();
        if (ext == QLatin1String("wav"))
            media.playWave(file, QStringLiteral("async"));
        else if (ext == QLatin1String("mid"))
            media.playMIDI(file);
        else if (ext == QLatin1String("mp3"))
            media.playMP3(file);
        else if (ext == QLatin1String("mpg") || ext == QLatin1String("mpeg"))
            media.playMPEG(file, picPic, true);
        else if (ext == QLatin1String("avi"))
            media.playAVI(file, picPic, true);
    } catch (...) {
        setCustomPointer();
        MsgBox(kMsgMediaFile, MsgIcon::Critical);
        return;
    }
    setCustomPointer();
}

void frmPreview::cmdExit_Click()
{
    close();
}

void frmPreview::optABCD_MouseUp(int index)
{
    answer(index, true);
}

void frmPreview::optTrueFalse_MouseUp(int index)
{
    answer(index, false);
}

void frmPreview::answer(int index, bool multipleChoice)
{
    // A release that arrives while an answer is still being handled (the
    // right-answer sound, the message) is not a second answer.
    if (m_answering)
        return;
    m_answering = true;
    QPointer<frmPreview> self(this);
    bool failed = false;
    try {
        const QColor noted = palette().color(QPalette::Window);
        cmdPreview->hide();
        picPic->hide();
        QStringList options, answers;
        for (int i = 0; i < (multipleChoice ? 4 : 2); ++i) {
            options << (multipleChoice ? optABCD[i] : optTrueFalse[i])->text();
            if (multipleChoice)
                answers << lblMAnswer[i]->text();
        }
        const AnswerVerdict verdict = m_runner.judge(index, options, answers);
        if (verdict.kind != AnswerVerdict::Kind::Right) {
            PreviewHooks::media().playResourceSound(102, QStringLiteral("async"));
            // A right answer that names no option: the question cannot be passed.
            if (verdict.kind == AnswerVerdict::Kind::CannotBePassed)
                failed = true;
            else
                MsgBox(verdict.message, MsgIcon::Critical);
        } else {
            SetPreviewColors(LightBlue);
            PreviewHooks::media().playResourceSound(101, QStringLiteral("sync"));
            if (self) {
                ++m_runner.Score;
                SetPreviewColors(noted);
            }
        }
        if (self && !failed)
            failed = !NextQuestion();   // a report that cannot run keeps the window
    } catch (...) {
        failed = true;
    }
    if (!self)
        return;
    m_answering = false;
    if (failed)
        MsgBox(kMsgQuestionError, MsgIcon::Critical);
}

bool frmPreview::NextQuestion()
{
    if (m_runner.advance()) {
        ShowQuestion();
        return true;
    }
    lblScore->setText(m_runner.scoreCaption());
    picPic->clear();
    picPic->hide();
    cmdPreview->hide();
    return ShowFinalScore();
}

bool frmPreview::ShowFinalScore()
{
    lblScore->setText(m_runner.scoreCaption());
    const int total = m_runner.questionCount();
    if (total < 1)
        return false;   // the editor emptied the test meanwhile; nothing to report
    const QDateTime now = PreviewHooks::clock().now();
    const int pct = ScoreReport::percent(m_runner.Score, total);
    const QString time = ScoreReport::timeText(ScoreReport::elapsedSeconds(m_runner.StartedAt, now));
    const MsgResult r = MsgBox(ScoreReport::message(m_runner.Score, total, pct, time), MsgIcon::None,
                               MsgButtons::YesNo, ScoreReport::kTitle);
    if (r == MsgResult::Yes) {
        PreviewHooks::printer()(ScoreReport::kSheetLine1, ScoreReport::kSheetLine2,
                                ScoreReport::sheetLine3(m_runner.Score, total, pct, time,
                                                        ScoreReport::dateText(now.date())));
    }
    close();
    return true;
}
