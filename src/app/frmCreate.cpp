#include "app/frmCreate.h"

#include "app/EditorLogic.h"
#include "widgets/FrameBox.h"
#include "dialogs/FileDialogs.h"
#include "document/MediaLookup.h"
#include "platform/MsgBox.h"
#include "platform/Platform.h"
#include "widgets/PictureBox.h"
#include "pictures/PictureFit.h"
#include "pictures/PictureLoader.h"
#include "app/QuestionListWidth.h"
#include "document/QuestionRecord.h"
#include "document/TestFile.h"
#include "app/toolshelp/ToolsHelpMenus.h"
#include "dialogs/dlgAsk.h"
#include "media/modSound.h"
#include "widgets/Controls.h"
#include "widgets/Twips.h"
#include "widgets/WindowFont.h"

#include "preview/frmPreview.h"
#include "print/PrintCommands.h"
#include "logview/frmLog.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QAbstractItemView>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>
#include <exception>

namespace {
QPointer<frmCreate> theEditor;

constexpr int ShownLeft = 120;
constexpr int ParkedLeft = -20000;   // out of sight, contents kept
constexpr int MaxQuestionText = 256;
constexpr int MaxAnswerText = 90;
constexpr int MaxTitleText = 100;

const QString NoQuestionsYet = QStringLiteral("No questions yet.");
const QString ExistingQuestions = QStringLiteral("Existing Questions");

// The parked frame keeps its contents but takes no part in the window: Tab
// would otherwise wander through its controls out of sight.
void setGroupLeft(QWidget *w, int leftTwips)
{
    w->move(Twips::toPixels(leftTwips), w->y());
    w->setEnabled(leftTwips == ShownLeft);
}
}

frmCreate *frmCreate::instance() { return theEditor.data(); }

frmCreate::frmCreate(QWidget *parent) : QMainWindow(parent)
{
    theEditor = this;
    setObjectName(QStringLiteral("frmCreate"));
    setWindowTitle(EditorLogic::windowCaption(QStringLiteral("untitled.ard")));
    // The window was drawn with an 8-point sans-serif; fontconfig picks the
    // nearest font on this system.
    setFont(WindowFont::sansSerif(8));

    buildControls();
    buildMenus();
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    Form_Load();
}

frmCreate::~frmCreate() = default;

void frmCreate::buildControls()
{
    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("clientArea"));
    client->setFixedSize(Twips::toPixels(7860), Twips::toPixels(5325));
    setCentralWidget(client);

    // --- Title, class/teacher and the test commands ---
    lblTitle[0] = Controls::fittedLabel(client, QStringLiteral("lblTitle_0"), QStringLiteral("Test Title:"), Twips::rect(120, 120, 705, 195));
    txtTitle = Controls::lineEdit(client, QStringLiteral("txtTitle"), Twips::rect(120, 360, 3495, 285), MaxTitleText,
                            QStringLiteral("Give the test a title here."));
    lblTitle[1] = Controls::fittedLabel(client, QStringLiteral("lblTitle_1"), QStringLiteral("Class/Teacher:"), Twips::rect(3840, 120, 1095, 195));
    txtTeacher = Controls::lineEdit(client, QStringLiteral("txtTeacher"), Twips::rect(3840, 360, 3855, 285), MaxTitleText,
                              QStringLiteral("Enter the class and/or teacher here."));

    // --- Multiple-choice frame ---
    grpMultiple = new FrameBox(QStringLiteral("Multiple Choice Question:"), client);
    grpMultiple->setObjectName(QStringLiteral("grpMultiple"));
    grpMultiple->setGeometry(Twips::rect(120, 840, 3495, 4335));
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

    // --- True/false frame, parked out of sight at start ---
    grpTrueFalse = new FrameBox(QStringLiteral("True/False Question:"), client);
    grpTrueFalse->setObjectName(QStringLiteral("grpTrueFalse"));
    grpTrueFalse->setGeometry(Twips::rect(ParkedLeft, 840, 3495, 4335));
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
    for (QPushButton *b : {cmdMpic, cmdPic}) {
        QFont f = WindowFont::sansSerif(8);
        f.setFamilies({QStringLiteral("Arial Rounded MT Bold"), QStringLiteral("Liberation Sans")});
        f.setBold(true);
        b->setFont(f);
    }

    // --- Question number, add button and type switch ---
    lblNumber = Controls::fittedLabel(client, QStringLiteral("lblNumber"), QStringLiteral("Question #1"), Twips::rect(3840, 960, 1815, 360));
    lblNumber->setToolTip(QStringLiteral("Current question."));
    {
        lblNumber->setFont(WindowFont::sansSerif(12));
    }
    cmdAdd = Controls::button(client, QStringLiteral("cmdAdd"), QStringLiteral("Add This Question"), Twips::rect(3840, 1440, 1815, 375),
                        QStringLiteral("Add the current question"));
    // The window's default button: Enter presses it (see keyPressEvent).
    cmdAdd->setDefault(true);
    grpType = new FrameBox(QStringLiteral("Question Type"), client);
    grpType->setObjectName(QStringLiteral("grpType"));
    grpType->setGeometry(Twips::rect(3840, 1920, 1815, 1095));
    optType[0] = Controls::option(grpType, QStringLiteral("optType_0"), QStringLiteral("Multiple Choice"), Twips::rect(120, 240, 1455, 375),
                            QStringLiteral("Create a multiple choice question."));
    optType[1] = Controls::option(grpType, QStringLiteral("optType_1"), QStringLiteral("True/False"), Twips::rect(120, 600, 1455, 375),
                            QStringLiteral("Create a true/false question."));
    optType[0]->setChecked(true);

    // --- Test commands ---
    cmdOkay = Controls::button(client, QStringLiteral("cmdOkay"), QStringLiteral("Save Test"), Twips::rect(5880, 960, 1815, 375));
    cmdPreview = Controls::button(client, QStringLiteral("cmdPreview"), QStringLiteral("Preview Test"), Twips::rect(5880, 1440, 1815, 375));
    cmdCancel = Controls::button(client, QStringLiteral("cmdCancel"), QStringLiteral("Cancel and Exit"), Twips::rect(5880, 1920, 1815, 375));
    cmdOkay->setEnabled(false);
    cmdPreview->setEnabled(false);

    // --- Edit mode and the question list ---
    lblEditMode = Controls::fittedLabel(client, QStringLiteral("lblEditMode"),
                            QStringLiteral("'Edit Mode' ON click to return to  'Add Mode'"), Twips::rect(5880, 2640, 1815, 840));
    lblEditMode->resize(Twips::toPixels(1815), Twips::toPixels(840));
    lblEditMode->setToolTip(QStringLiteral("You are in EDIT MODE."));
    lblEditMode->setWordWrap(true);
    lblEditMode->setAlignment(Qt::AlignCenter);
    lblEditMode->setAutoFillBackground(true);
    {
        QPalette p = lblEditMode->palette();
        p.setColor(QPalette::Window, QColor(255, 255, 192));
        p.setColor(QPalette::WindowText, Qt::red);
        lblEditMode->setPalette(p);
        QFont f = lblEditMode->font();
        f.setBold(true);
        lblEditMode->setFont(f);
    }
    lblEditMode->setCursor(Qt::PointingHandCursor);
    lblEditMode->installEventFilter(this);
    lblEditMode->hide();

    lblTitle[2] = Controls::fittedLabel(client, QStringLiteral("lblTitle_2"), QStringLiteral("Existing Questions:"), Twips::rect(5880, 3600, 1335, 195));
    cboExist = new QComboBox(client);
    cboExist->setObjectName(QStringLiteral("cboExist"));
    cboExist->setGeometry(Twips::rect(5880, 3840, 1815, 315));
    cboExist->setToolTip(QStringLiteral("Question List"));
    cboExist->setEditable(true);
    cboExist->setInsertPolicy(QComboBox::NoInsert);
    // The text line shows the list's state ("No questions yet.", "Existing
    // Questions", a question); typing into it would only unselect the item
    // being edited, so it is read-only and a click opens the list.
    cboExist->lineEdit()->setReadOnly(true);
    cboExist->lineEdit()->installEventFilter(this);
    cboExist->installEventFilter(this);
    cboExist->setEditText(QStringLiteral("No Questions Yet"));
    // The drop-down list is wider than the box, so questions stay readable.
    cboExist->view()->setTextElideMode(Qt::ElideRight);
    connect(cboExist->model(), &QAbstractItemModel::rowsInserted, this, &frmCreate::fitListPopup);
    connect(cboExist->model(), &QAbstractItemModel::modelReset, this, &frmCreate::fitListPopup);
    cboExist->setEnabled(false);
    cmdEdit = Controls::button(client, QStringLiteral("cmdEdit"), QStringLiteral("Save This Question"), Twips::rect(5880, 4320, 1815, 375),
                         QStringLiteral("Save the changes to this question."));
    cmdRemove = Controls::button(client, QStringLiteral("cmdRemove"), QStringLiteral("Remove This Question"), Twips::rect(5880, 4800, 1815, 375),
                           QStringLiteral("Remove this existing question."));
    cmdEdit->setEnabled(false);
    cmdRemove->setEnabled(false);

    // --- Media panel ---
    lblPreview = Controls::fittedLabel(client, QStringLiteral("lblPreview"), QStringLiteral("No Media Chosen"), Twips::rect(3840, 3120, 1275, 195));
    lblPreview->resize(Twips::toPixels(1815), lblPreview->height());   // "Picture Thumbnail" is wider than the design text
    picPreview = new PictureBox(client);
    picPreview->setObjectName(QStringLiteral("picPreview"));
    picPreview->setGeometry(Twips::rect(3840, 3360, 1815, 1815));
    picPreview->setToolTip(QStringLiteral("Picture Preview"));
    picPreview->hide();
    cmdPlaywav = Controls::button(client, QStringLiteral("cmdPlaywav"), QStringLiteral("Play Wav"), Twips::rect(3840, 3360, 1815, 375));
    cmdPlaywav->hide();
    imgHide = new PictureBox(client);
    imgHide->setObjectName(QStringLiteral("imgHide"));
    imgHide->setBorder3D(false);
    imgHide->setGeometry(Twips::rect(7080, 0, 735, 495));
    imgHide->hide();

    // --- Handlers ---
    connect(cmdOkay, &QPushButton::clicked, this, &frmCreate::cmdOkay_Click);
    connect(cmdPreview, &QPushButton::clicked, this, &frmCreate::cmdPreview_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmCreate::cmdCancel_Click);
    connect(cmdAdd, &QPushButton::clicked, this, &frmCreate::cmdAdd_Click);
    for (int i = 0; i < 2; ++i)
        connect(optType[i], &QRadioButton::clicked, this, [this, i] { optType_Click(i); });
    connect(cboExist, qOverload<int>(&QComboBox::activated), this, &frmCreate::cboExist_Click);
    connect(cmdEdit, &QPushButton::clicked, this, &frmCreate::cmdEdit_Click);
    connect(cmdRemove, &QPushButton::clicked, this, &frmCreate::cmdRemove_Click);
    connect(cmdMpic, &QPushButton::clicked, this, &frmCreate::cmdMpic_Click);
    connect(cmdPic, &QPushButton::clicked, this, &frmCreate::cmdPic_Click);
    connect(cmdMRemove, &QPushButton::clicked, this, &frmCreate::cmdMRemove_Click);
    connect(cmdTRemove, &QPushButton::clicked, this, &frmCreate::cmdTRemove_Click);
    connect(txtMpic, &QLineEdit::textChanged, this, &frmCreate::txtMpic_Change);
    connect(txtTFpic, &QLineEdit::textChanged, this, &frmCreate::txtTFpic_Change);
    connect(cmdPlaywav, &QPushButton::clicked, this, &frmCreate::cmdPlaywav_Click);
    txtMQuestion->installEventFilter(this);
    txtTFquestion->installEventFilter(this);

    setTabOrder(txtTitle, txtTeacher);
    setTabOrder(txtTeacher, txtMQuestion);
}

void frmCreate::buildMenus()
{
    mnuFile = menuBar()->addMenu(QStringLiteral("&File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    auto item = [this](const QString &name, const QString &text, const QKeySequence &key) {
        QAction *a = mnuFile->addAction(text);
        a->setObjectName(name);
        if (!key.isEmpty())
            a->setShortcut(key);
        return a;
    };
    mnuFileNew = item(QStringLiteral("mnuFileNew"), QStringLiteral("&New"), QKeySequence(Qt::CTRL | Qt::Key_N));
    mnuFileOpen = item(QStringLiteral("mnuFileOpen"), QStringLiteral("&Open"), QKeySequence(Qt::CTRL | Qt::Key_O));
    mnuFileSaveas = item(QStringLiteral("mnuFileSaveas"), QStringLiteral("Save &As"), QKeySequence());
    mnuFile->addSeparator()->setObjectName(QStringLiteral("mnuBar1"));
    mnuFilePrint = item(QStringLiteral("mnuFilePrint"), QStringLiteral("&Print"), QKeySequence(Qt::CTRL | Qt::Key_P));
    mnuFilePrintPdf = item(QStringLiteral("mnuFilePrintPdf"), QStringLiteral("Print to PDF..."), QKeySequence());
    mnuFile->addSeparator()->setObjectName(QStringLiteral("mnuBar2"));
    mnuFileExit = item(QStringLiteral("mnuFileExit"), QStringLiteral("E&xit"), QKeySequence(Qt::CTRL | Qt::Key_Q));
    mnuFile->addSeparator()->setObjectName(QStringLiteral("mnuBar3"));
    mnuFileRecent = mnuFile->addMenu(QStringLiteral("&Recent Files"));
    mnuFileRecent->setObjectName(QStringLiteral("mnuFileRecent"));
    for (int i = 1; i <= RecentFiles::Count; ++i) {
        mnuRecent[i] = mnuFileRecent->addAction(QString());
        mnuRecent[i]->setObjectName(QStringLiteral("mnuRecent_%1").arg(i));
        mnuRecent[i]->setEnabled(false);
        mnuRecent[i]->setVisible(i == 1);
        connect(mnuRecent[i], &QAction::triggered, this, [this, i] { mnuRecent_Click(i); });
    }
    mnuFileRecent->menuAction()->setVisible(false);
    mnuFileSaveas->setEnabled(false);
    mnuFilePrint->setEnabled(false);
    mnuFilePrintPdf->setEnabled(false);

    connect(mnuFileNew, &QAction::triggered, this, &frmCreate::mnuFileNew_Click);
    connect(mnuFileOpen, &QAction::triggered, this, &frmCreate::mnuFileOpen_Click);
    connect(mnuFileSaveas, &QAction::triggered, this, &frmCreate::mnuFileSaveas_Click);
    connect(mnuFilePrint, &QAction::triggered, this, &frmCreate::mnuFilePrint_Click);
    connect(mnuFilePrintPdf, &QAction::triggered, this, &frmCreate::mnuFilePrintPdf_Click);
    connect(mnuFileExit, &QAction::triggered, this, &frmCreate::mnuFileExit_Click);

    // File managers open where the test is.
    installToolsAndHelpMenus(menuBar(), this, [this] {
        if (!m_doc.CurrentFile.isEmpty())
            return QFileInfo(m_doc.CurrentFile).absolutePath();
        return m_doc.TestFolder;
    });
}

// ---------------------------------------------------------------- helpers

void frmCreate::fitListPopup()
{
    QStringList captions;
    for (int i = 0; i < cboExist->count(); ++i)
        captions << cboExist->itemText(i);
    cboExist->view()->setMinimumWidth(
        questionListWidth(QFontMetrics(cboExist->view()->font()), captions, cboExist->width()));
}

bool frmCreate::isEditMode() const { return !lblEditMode->isHidden(); }

void frmCreate::setTestCommandsEnabled(bool on)
{
    cmdPreview->setEnabled(on);
    cmdOkay->setEnabled(on);
    mnuFileSaveas->setEnabled(on);
    mnuFilePrint->setEnabled(on);
    mnuFilePrintPdf->setEnabled(on);
}

// Setting the text of the list selects the item of that text, if any, as the
// list does when its text is set.
void frmCreate::setListText(const QString &text)
{
    const QSignalBlocker block(cboExist);
    const int index = text.isEmpty() ? -1 : cboExist->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    cboExist->setCurrentIndex(index);
    cboExist->setEditText(text);
    cboExist->lineEdit()->setCursorPosition(0);   // show the start of a long question
}

QString frmCreate::multiLineText(const QPlainTextEdit *box)
{
    QString text = box->toPlainText();
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return text;
}

void frmCreate::setMultiLineText(QPlainTextEdit *box, const QString &text)
{
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    box->setProperty("maxChars", std::max<int>(MaxQuestionText, int(text.size())));
    box->setPlainText(shown);
}

// The length limits hold for typing; a longer text set from a test file is
// kept whole.
void frmCreate::setBoxText(QLineEdit *box, const QString &text, int maxLength)
{
    box->setMaxLength(std::max<int>(maxLength, int(text.size())));
    box->setText(text);
}

void frmCreate::pressDefaultButton()
{
    if (cmdAdd->isEnabled())
        cmdAdd->animateClick();
}

void frmCreate::keyPressEvent(QKeyEvent *event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        && !(event->modifiers() & ~Qt::KeypadModifier)) {
        // As on Windows, a button that has the focus takes Enter itself;
        // from anywhere else Enter presses the default button.
        auto *focused = qobject_cast<QPushButton *>(focusWidget());
        if (focused && focused != cmdAdd && focused->isEnabled())
            focused->animateClick();
        else
            pressDefaultButton();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

bool frmCreate::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == lblEditMode && event->type() == QEvent::MouseButtonRelease) {
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
            lblEditMode_Click();
        return true;
    }
    // As on Windows, the mouse wheel turns through the list only while it has
    // the focus; passing over it must not pick a question (and enter edit mode).
    if (cboExist && watched == cboExist && event->type() == QEvent::Wheel && !cboExist->hasFocus()) {
        event->ignore();
        return true;
    }
    // A click on the list's text line opens the list. It opens on the release:
    // opened on the press, the release that follows would close it again.
    if (cboExist && watched == cboExist->lineEdit() && cboExist->isEnabled()) {
        if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) {
            cboExist->setFocus(Qt::MouseFocusReason);
            return true;
        }
        if (event->type() == QEvent::MouseButtonRelease
            && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
            cboExist->showPopup();
            return true;
        }
    }
    if ((watched == txtMQuestion || watched == txtTFquestion) && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            // Enter presses the default button; Ctrl+Enter starts a new line.
            if (key->modifiers() & Qt::ControlModifier)
                static_cast<QPlainTextEdit *>(watched)->insertPlainText(QStringLiteral("\n"));
            else
                pressDefaultButton();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

// ------------------------------------------------------- state operations
// Each of them steps on through whatever fails: the C++ code raises nothing
// on these steps, so the steps simply run in order.

void frmCreate::ClearTest()
{
    m_doc.NextQuestionNumber = 0;
    SetEditMode(false);
    setBoxText(txtTeacher, QString(), MaxTitleText);
    setBoxText(txtTitle, QString(), MaxTitleText);
    cboExist->setEnabled(false);
    {
        const QSignalBlocker block(cboExist);
        cboExist->clear();
    }
    setListText(NoQuestionsYet);
    m_doc.clearRecords();
}

void frmCreate::ShowLoadedTest(const QString &title, const QString &teacher)
{
    setBoxText(txtTitle, title, MaxTitleText);
    setBoxText(txtTeacher, teacher, MaxTitleText);
    EnableQuestionCommands(true);
    ClearEntry();
    RefreshList();
}

void frmCreate::EnableQuestionCommands(bool on)
{
    setTestCommandsEnabled(on);
    cboExist->setEnabled(on);
    ClearEntry();
    if (!on)
        ClearTest();
}

void frmCreate::ClearEntry()
{
    CloseAll();
    PreviewMediaPath.clear();
    for (QLineEdit *answer : txtManswer)
        setBoxText(answer, QString(), MaxAnswerText);
    txtMpic->setText(QStringLiteral("none"));
    setMultiLineText(txtMQuestion, QString());
    txtTFpic->setText(QStringLiteral("none"));
    setMultiLineText(txtTFquestion, QString());
    lblNumber->setText(EditorLogic::questionLabel(m_doc.NextQuestionNumber));
    setListText(cboExist->count() > 0 ? cboExist->itemText(0) : QString());
    update();
    ClearMedia();
}

void frmCreate::SetEditMode(bool on)
{
    cmdEdit->setEnabled(on);
    cmdRemove->setEnabled(on);
    cmdAdd->setEnabled(!on);
    lblEditMode->setVisible(on);
    cmdPreview->setEnabled(!on);
    cmdOkay->setEnabled(!on);
    mnuFileSaveas->setEnabled(!on);
    mnuFilePrint->setEnabled(!on);
    mnuFilePrintPdf->setEnabled(!on);
    grpType->setEnabled(!on);
    optType[0]->setEnabled(!on);
    optType[1]->setEnabled(!on);
    if (!on)
        setListText(ExistingQuestions);
}

void frmCreate::RefreshList()
{
    const int n = m_doc.NextQuestionNumber - 1;
    if (n < 0 || n > TestDocument::MaxQuestions) {
        MsgBox(QStringLiteral("This test has become corrupted.  Please start a new test, or open an existing test."));
        return;
    }
    {
        const QSignalBlocker block(cboExist);
        cboExist->clear();
        // Filled in one step, so the list is sized once.
        cboExist->addItems(QStringList(m_doc.QuestionCaptions.begin() + 1, m_doc.QuestionCaptions.begin() + n + 1));
    }
    cboExist->update();
    setListText(m_doc.QuestionCaptions[1]);
}

void frmCreate::ClearMedia()
{
    picPreview->clear();
    picPreview->hide();
    lblPreview->setText(QStringLiteral("No Media Chosen"));
    cmdPlaywav->hide();
    imgHide->clear();
    m_imgHidePath.clear();
    CloseAll();
}

// ------------------------------------------------------------ start, end

void frmCreate::Form_Load()
{
    m_recent.load(Platform::settings());
    showRecentEntries();
    grpMultiple->setGeometry(Twips::rect(ShownLeft, 840, 3495, 4335));
    setGroupLeft(grpTrueFalse, ParkedLeft);
    m_doc.NextQuestionNumber = 1;
    update();
}

void frmCreate::closeEvent(QCloseEvent *event)
{
    Form_Unload();
    event->accept();   // closing cannot be cancelled
}

void frmCreate::Form_Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    CloseAll();
    m_recent.save(Platform::settings());
    if (QWidget *w = frmLog::instance())
        w->close();
    if (QWidget *w = frmPreview::instance())
        w->close();
    if (dlgAsk *d = dlgAsk::instance())
        d->reject();
    // The AVI maker and any other window still open go too.
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget *w : windows)
        if (w != this && w->isVisible())
            w->close();
    QCoreApplication::quit();
}

void frmCreate::loadFromCommandLine(const QString &path)
{
    if (!MediaLookup::fileExists(path))
        return;
    const TestReadResult read = readTestFile(path);
    if (!read.test) {
        MsgBox(read.error, MsgIcon::Critical);
        return;
    }
    ClearTest();
    applyLoadedTest(m_doc, *read.test);
    m_doc.TestFolder = MediaLookup::testFolderOf(path);
    ShowLoadedTest(read.test->title, read.test->teacher);
}

// ------------------------------------------------------------ File menu

void frmCreate::mnuFileNew_Click()
{
    EnableQuestionCommands(false);
    m_doc.NextQuestionNumber = 1;
    lblNumber->setText(EditorLogic::questionLabel(1));
    setWindowTitle(EditorLogic::windowCaption(QStringLiteral("untitled.ard")));
}

void frmCreate::mnuFileOpen_Click()
{
    const QString path = ShowOpenDialog(this, ardenoTestFilter(), QDir::currentPath());
    m_doc.CurrentFile = path;
    if (path.isEmpty() || !MediaLookup::fileExists(path))
        return;
    if (!hasFileKind(path, QStringLiteral("ard"))) {
        MsgBox(QStringLiteral("File does not appear to be a valid Ardeno test."), MsgIcon::Critical);
        return;
    }
    // Read first: a file that cannot be read leaves the test on screen as it was.
    const TestReadResult read = readTestFile(path);
    if (!read.test) {
        MsgBox(read.error, MsgIcon::Critical);
        return;
    }
    ClearTest();
    applyLoadedTest(m_doc, *read.test);
    m_doc.TestFolder = MediaLookup::testFolderOf(path);
    ShowLoadedTest(read.test->title, read.test->teacher);
    EnableQuestionCommands(true);
    lblNumber->setText(EditorLogic::questionLabel(m_doc.NextQuestionNumber));
    setWindowTitle(EditorLogic::windowCaptionForPath(path));
    AddToRecentFiles(path.toLower());
}

void frmCreate::mnuFileSaveas_Click()
{
    const QString path = ShowSaveDialog(this, ardenoTestFilter(), QDir::currentPath(), QStringLiteral("ard"));
    if (path.isEmpty())
        return;
    QString description;
    try {
        CloseAll();
        const SaveResult result = SaveTest(m_doc, path, txtTitle->text(), txtTeacher->text(),
                                           [] { QCoreApplication::processEvents(); });
        if (result.status == SaveResult::Status::Refused)
            return;
        if (result.saved() && MediaLookup::fileExists(path)) {
            m_doc.CurrentFile = path;
            m_doc.TestFolder = MediaLookup::testFolderOf(path);   // the records now name files there
            setWindowTitle(EditorLogic::windowCaptionForPath(path));
            AddToRecentFiles(path);
            return;
        }
        description = result.errorDescription;
    } catch (const std::exception &e) {
        description = QString::fromLocal8Bit(e.what());
    }
    MsgBox(QStringLiteral("Error saving test!") + description, MsgIcon::Critical);
}

void frmCreate::cmdOkay_Click() { mnuFileSaveas_Click(); }

void frmCreate::mnuFileExit_Click() { close(); }

void frmCreate::cmdCancel_Click() { close(); }

void frmCreate::cmdPreview_Click()
{
    frmPreview::showPreview(m_doc, txtTitle->text(), txtTeacher->text(), this);
}

void frmCreate::mnuFilePrint_Click()
{
    PrintCommands::printTest(this, m_doc, txtTitle->text(), txtTeacher->text());
}

void frmCreate::mnuFilePrintPdf_Click()
{
    PrintCommands::printTestToPdf(this, m_doc, txtTitle->text(), txtTeacher->text());
}

// ---------------------------------------------------------- recent files

void frmCreate::showRecentEntries()
{
    for (int i = 1; i <= RecentFiles::Count; ++i) {
        QString caption = m_recent.entry(i);
        mnuRecent[i]->setText(caption.replace(QLatin1Char('&'), QStringLiteral("&&")));
        if (m_recent.isUsed(i)) {
            mnuRecent[i]->setEnabled(true);
            mnuRecent[i]->setVisible(true);
        }
    }
    if (m_recent.isUsed(1))
        mnuFileRecent->menuAction()->setVisible(true);
}

void frmCreate::AddToRecentFiles(const QString &path)
{
    if (!m_recent.add(path))
        return;
    showRecentEntries();
    mnuRecent[1]->setEnabled(true);
    mnuRecent[1]->setVisible(true);
    mnuFileRecent->menuAction()->setVisible(true);
}

void frmCreate::mnuRecent_Click(int index)
{
    const QString listed = m_recent.entry(index);
    // File > Open lists paths in lower case; find the file they name.
    const QString path = EditorLogic::existingPathIgnoringCase(listed);
    if (path.isEmpty())
        return;
    const TestReadResult read = readTestFile(path);
    if (!read.test) {
        MsgBox(read.error, MsgIcon::Critical);
        return;
    }
    m_doc.TestFolder = MediaLookup::testFolderOf(path);
    ClearTest();
    applyLoadedTest(m_doc, *read.test);
    ShowLoadedTest(read.test->title, read.test->teacher);
    m_doc.CurrentFile = path;
    EnableQuestionCommands(true);
    lblNumber->setText(EditorLogic::questionLabel(m_doc.NextQuestionNumber));
    setWindowTitle(EditorLogic::windowCaptionForPath(path));
}

// -------------------------------------------------------- question entry

void frmCreate::optType_Click(int index)
{
    showQuestionFrame(index);
    ClearMedia();
}

// One question frame is on screen; the other is parked off-screen, keeping
// what was typed into it.
void frmCreate::showQuestionFrame(int typeIndex)
{
    setGroupLeft(typeIndex == 1 ? grpTrueFalse : grpMultiple, ShownLeft);
    setGroupLeft(typeIndex == 1 ? grpMultiple : grpTrueFalse, ParkedLeft);
}

void frmCreate::cmdAdd_Click()
{
    if (m_doc.NextQuestionNumber > TestDocument::MaxQuestions) {
        MsgBox(QStringLiteral("Tests are limited to 100 questions."), MsgIcon::Critical);
        return;
    }
    const bool added = optType[0]->isChecked() ? AddMultipleChoice() : AddTrueFalse();
    if (!added)
        return;
    m_doc.NextQuestionNumber += 1;
    EnableQuestionCommands(true);
}

// ---------------------------------------------- reading the entry fields
// Adding and saving a question read and check the fields alike.

bool frmCreate::enteredQuestion(const QPlainTextEdit *box, QString &question)
{
    question = multiLineText(box);
    if (!question.isEmpty())
        return true;
    MsgBox(QStringLiteral("You must enter a question!"), MsgIcon::Critical);
    return false;
}

bool frmCreate::enteredAnswers(QString (&answers)[4]) const
{
    // All four are read before anything is reported.
    bool missing = false;
    for (int i = 0; i < 4; ++i) {
        answers[i] = txtManswer[i]->text();
        if (answers[i].isEmpty())
            missing = true;
    }
    if (missing)
        MsgBox(QStringLiteral("You must enter four possible answers!"));
    return !missing;
}

QString frmCreate::enteredMedia(const QLineEdit *box)
{
    return box->text().isEmpty() ? QStringLiteral("none") : box->text();
}

int frmCreate::enteredCorrectAnswer() const
{
    int correct = 0;
    for (int i = 0; i < 4; ++i)
        if (optABCD[i]->isChecked())
            correct = i;
    return correct;
}

bool frmCreate::AddMultipleChoice()
{
    try {
        QString question;
        QString answers[4];
        if (!enteredQuestion(txtMQuestion, question) || !enteredAnswers(answers))
            return false;
        const QString media = enteredMedia(txtMpic);
        const int correct = enteredCorrectAnswer();
        const int n = m_doc.NextQuestionNumber;
        if (n < 1 || n > TestDocument::MaxQuestions)
            throw std::out_of_range("question number");
        m_doc.setRecord(n, QuestionRecord::multipleChoice(QStringLiteral("m"), question, answers[0], answers[1],
                                                          answers[2], answers[3], media, correct));
        cboExist->addItem(question);
        setListText(question);
        txtMQuestion->setFocus();
        return true;
    } catch (...) {
        MsgBox(QStringLiteral("There was an error adding this question.  Please fill in all blanks and try again."),
               MsgIcon::Critical);
        return false;
    }
}

bool frmCreate::AddTrueFalse()
{
    try {
        QString question;
        if (!enteredQuestion(txtTFquestion, question))
            return false;
        const QString media = enteredMedia(txtTFpic);
        const int answer = optTrueAnswer[1]->isChecked() ? 1 : 0;
        const int n = m_doc.NextQuestionNumber;
        if (n < 1 || n > TestDocument::MaxQuestions)
            throw std::out_of_range("Subscript out of range");
        m_doc.setRecord(n, QuestionRecord::trueFalse(QStringLiteral("t"), question, media, answer));
        cboExist->addItem(question);
        setListText(question);
        txtTFquestion->setFocus();
        return true;
    } catch (const std::exception &e) {
        // Description, source and number, one per line.
        MsgBox(QString::fromLocal8Bit(e.what()) + QLatin1Char('\n') + QStringLiteral("frmCreate")
               + QLatin1Char('\n') + QStringLiteral("9"));
        return false;
    }
}

// ------------------------------------------------ question list, edit mode

void frmCreate::cboExist_Click(int listIndex)
{
    if (!isEditMode()) {
        const QPlainTextEdit *box = optType[0]->isChecked() ? txtMQuestion : txtTFquestion;
        if (!box->toPlainText().isEmpty()) {
            const MsgResult answer = MsgBox(
                QStringLiteral("Going to edit mode will result in the loss of information in the current question, "
                               "which has not yet been added to the quiz.  Would you like to add this question to the quiz?"),
                MsgIcon::Question, MsgButtons::YesNo);
            if (answer == MsgResult::Yes) {
                cmdAdd_Click();
                return;
            }
        }
    }
    SetEditMode(true);
    CloseAll();
    bool shown = false;
    if (listIndex >= 0 && listIndex + 1 <= TestDocument::MaxQuestions) {
        // Blanks only: a record that begins with another white-space
        // character is of no known kind here, as for the quiz player.
        QString record = m_doc.QuestionRecords[listIndex + 1];
        while (record.startsWith(QLatin1Char(' ')))
            record.remove(0, 1);
        while (record.endsWith(QLatin1Char(' ')))
            record.chop(1);
        switch (QuestionRecord::kindOf(record)) {
        case QuestionRecord::Kind::MultipleChoice: shown = LoadMultipleChoice(record); break;
        case QuestionRecord::Kind::TrueFalse: shown = LoadTrueFalse(record); break;
        case QuestionRecord::Kind::Unknown: break;
        }
    }
    if (!shown) {
        MsgBox(QStringLiteral("Unable to display this question.  Question appears to be corrupted."), MsgIcon::Critical);
        return;
    }
    lblNumber->setText(EditorLogic::questionLabel(listIndex + 1));
    cboExist->lineEdit()->setCursorPosition(0);
}

bool frmCreate::LoadMultipleChoice(const QString &record)
{
    if (!optType[0]->isChecked()) {
        optType[0]->setChecked(true);
        optType_Click(0);
    }
    showQuestionFrame(0);
    if (record.isEmpty())
        return false;
    const QStringList f = QuestionRecord::fields(record);
    const QString cannotProcess = QStringLiteral("An error has occured.  Unable to process question ") + f.value(0);
    if (f.size() < QuestionRecord::MultipleChoiceFields) {
        MsgBox(cannotProcess);
        return false;
    }
    setMultiLineText(txtMQuestion, f[1]);
    for (int i = 0; i < 4; ++i)
        setBoxText(txtManswer[i], f[2 + i], MaxAnswerText);
    txtMpic->setText(f[6]);
    const int correct = QuestionRecord::numericValue(f[7]);
    if (correct < 0 || correct > 3) {
        MsgBox(cannotProcess);
        return false;
    }
    optABCD[correct]->setChecked(true);
    const QString media = MediaLookup::resolve(f[6], m_doc.TestFolder);
    if (!media.isEmpty())
        ShowMediaPreview(media);
    return true;
}

bool frmCreate::LoadTrueFalse(const QString &record)
{
    if (!optType[1]->isChecked()) {
        optType[1]->setChecked(true);
        optType_Click(1);
    }
    showQuestionFrame(1);
    if (record.isEmpty())
        return false;
    const QStringList f = QuestionRecord::fields(record);
    if (f.size() < QuestionRecord::TrueFalseFields) {
        MsgBox(QStringLiteral("An error has occured.  Unable to process question ") + f.value(0));
        return false;
    }
    setMultiLineText(txtTFquestion, f[1]);
    txtTFpic->setText(f[2]);
    const int answer = QuestionRecord::numericValue(f[3]);
    if (answer < 0 || answer > 1)
        return false;   // the caller says the question cannot be shown
    optTrueAnswer[answer]->setChecked(true);
    const QString media = MediaLookup::resolve(f[2], m_doc.TestFolder);
    if (!media.isEmpty())
        ShowMediaPreview(media);
    return true;
}

void frmCreate::cmdEdit_Click()
{
    bool ok = false;
    if (optType[0]->isChecked())
        ok = UpdateMultipleChoice(cboExist->currentIndex());
    else if (optType[1]->isChecked())
        ok = UpdateTrueFalse(cboExist->currentIndex());
    if (!ok) {
        MsgBox(QStringLiteral("There has been an error in editing this question."), MsgIcon::Critical);
        return;
    }
    SetEditMode(false);
    ClearEntry();
}

bool frmCreate::UpdateMultipleChoice(int position)
{
    QString question;
    QString answers[4];
    if (!enteredQuestion(txtMQuestion, question) || !enteredAnswers(answers))
        return false;
    if (position < 0 || position + 1 > TestDocument::MaxQuestions) {
        // No item selected: the list index is -1.
        MsgBox(QStringLiteral("Subscript out of range\nfrmCreate\n9"));
        return false;
    }
    const QString media = enteredMedia(txtMpic);
    const int correct = enteredCorrectAnswer();
    m_doc.setRecord(position + 1,
                    QuestionRecord::multipleChoice(QuestionRecord::kindField(QLatin1Char('m'), position + 1), question,
                                                   answers[0], answers[1], answers[2], answers[3], media, correct));
    RefreshList();
    txtMQuestion->setFocus();
    return true;
}

bool frmCreate::UpdateTrueFalse(int position)
{
    QString question;
    if (!enteredQuestion(txtTFquestion, question))
        return false;
    if (position < 0 || position + 1 > TestDocument::MaxQuestions)
        return false;
    const QString media = enteredMedia(txtTFpic);
    const int answer = optTrueAnswer[1]->isChecked() ? 1 : 0;
    m_doc.setRecord(position + 1, QuestionRecord::trueFalse(QuestionRecord::kindField(QLatin1Char('t'), position + 1),
                                                            question, media, answer));
    RefreshList();
    txtTFquestion->setFocus();
    return true;
}

void frmCreate::cmdRemove_Click()
{
    const int p = cboExist->currentIndex() + 1;
    const int n = m_doc.NextQuestionNumber - 1;
    if (p < 1 || p > n) {
        MsgBox(QStringLiteral("Error removing question."), MsgIcon::Critical);
        return;
    }
    m_doc.remove(p);
    RefreshList();
    // The focus moves before Remove is disabled: otherwise Qt passes it on
    // like a Tab to Test Title, whose whole text the next keystroke replaces.
    focusQuestionPicker();
    SetEditMode(false);
    ClearEntry();
}

void frmCreate::focusQuestionPicker()
{
    if (cboExist->isEnabled() && cboExist->count() > 0)
        cboExist->setFocus(Qt::OtherFocusReason);
    else if (grpTrueFalse->isVisible())
        txtTFquestion->setFocus(Qt::OtherFocusReason);
    else
        txtMQuestion->setFocus(Qt::OtherFocusReason);
}

void frmCreate::lblEditMode_Click()
{
    if (!dlgAsk::DontAskAgain)
        dlgAsk::ask(this);
    if (dlgAsk::LeaveConfirmed) {
        SetEditMode(false);
        ClearEntry();
    }
}

// ------------------------------------------------------------ media panel

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

void frmCreate::PickMediaFile(QLineEdit *mediaBox)
{
    CloseAll();
    const QString path = ShowOpenDialog(this, mediaFilter(), QDir::currentPath());
    if (path.isEmpty() || !MediaLookup::fileExists(path))
        return;
    mediaBox->setText(path);
    ShowMediaPreview(path);
}

void frmCreate::cmdMpic_Click() { PickMediaFile(txtMpic); }
void frmCreate::cmdPic_Click() { PickMediaFile(txtTFpic); }

void frmCreate::cmdMRemove_Click()
{
    txtMpic->setText(QStringLiteral("None"));
    ClearMedia();
}

void frmCreate::cmdTRemove_Click()
{
    txtTFpic->setText(QStringLiteral("None"));
    ClearMedia();
}

void frmCreate::txtMpic_Change()
{
    if (txtMpic->text().isEmpty()) {
        txtMpic->setText(QStringLiteral("none"));
        picPreview->clear();
    }
}

void frmCreate::txtTFpic_Change()
{
    if (txtTFpic->text().isEmpty()) {
        txtTFpic->setText(QStringLiteral("none"));
        picPreview->clear();
    }
}

void frmCreate::ShowMediaPreview(const QString &path)
{
    const MediaKind kind = mediaKindOf(path);
    PreviewMediaPath = path;
    auto soundPanel = [this](const QString &label, const QString &button) {
        lblPreview->setText(label);
        cmdPlaywav->setText(button);
        cmdPlaywav->show();
        picPreview->hide();
    };
    switch (kind) {
    case MediaKind::Wave:
        soundPanel(QStringLiteral("Wav Preview"), QStringLiteral("Play Wav"));
        repaint();
        PlayWave(path, QStringLiteral("async"));
        break;
    case MediaKind::Avi:
        lblPreview->setText(QStringLiteral("Avi Preview"));
        cmdPlaywav->hide();
        picPreview->clear();
        picPreview->show();
        PlayAVI(path, picPreview, true);
        break;
    case MediaKind::Mpeg:
        lblPreview->setText(QStringLiteral("MPEG Preview"));
        cmdPlaywav->hide();
        picPreview->clear();
        picPreview->show();
        PlayMPEG(path, picPreview, true);
        break;
    case MediaKind::Midi:
        soundPanel(QStringLiteral("Midi Preview"), QStringLiteral("Play Midi"));
        picPreview->clear();
        repaint();
        PlayMIDI(path);
        break;
    case MediaKind::Mp3:
        soundPanel(QStringLiteral("MP3 Preview"), QStringLiteral("Play MP3"));
        picPreview->clear();
        repaint();
        PlayMP3(path);
        break;
    case MediaKind::Picture: {
        lblPreview->setText(QStringLiteral("Picture Preview"));
        picPreview->show();
        // imgHide takes the picture's natural size; the header is enough for
        // that, so a large photo is never decoded in full here.
        const PictureInfo info = pictureInfo(path);
        if (!info.isValid()) {
            MsgBox(QStringLiteral("Error loading media file!"), MsgIcon::Critical);
            return;
        }
        m_imgHidePath = path;
        imgHide->clear();
        imgHide->setInnerSize(info.naturalPixels);
        ShowThumbnail();
        break;
    }
    case MediaKind::None:
        break;
    }
}

void frmCreate::ShowThumbnail()
{
    if (m_imgHidePath.isEmpty())
        return;
    const PictureFit t = fitPicture(picPreview->innerSize(), imgHide->innerSize());
    if (t.target.isEmpty())
        return;
    // Decoded straight at the size drawn (large JPEGs at reduced size).
    const QImage image = loadPictureScaled(m_imgHidePath, t.target.size());
    if (image.isNull())
        return;   // the panel keeps reading "Picture Preview"
    picPreview->clear();
    picPreview->setPicture(image, t.target);
    cmdPlaywav->hide();
    picPreview->show();
    lblPreview->setText(QStringLiteral("Picture Thumbnail"));
}

void frmCreate::cmdPlaywav_Click()
{
    const MediaKind kind = mediaKindOf(PreviewMediaPath);
    CloseAll();
    switch (kind) {
    case MediaKind::Wave: PlayWave(PreviewMediaPath, QStringLiteral("async")); break;
    case MediaKind::Midi: PlayMIDI(PreviewMediaPath); break;
    case MediaKind::Mp3: PlayMP3(PreviewMediaPath); break;
    default: break;
    }
}
