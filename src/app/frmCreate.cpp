#include "app/frmCreate.h"

#include "app/DefaultButtonKeys.h"
#include "app/EditorLogic.h"
#include "app/EditorMenus.h"
#include "app/FileCommands.h"
#include "app/MediaChoice.h"
#include "app/QuestionExchangeMenu.h"
#include "app/QuestionEntryPanel.h"
#include "widgets/FrameBox.h"
#include "dialogs/FileDialogs.h"
#include "document/MediaLookup.h"
#include "platform/MsgBox.h"
#include "widgets/PictureBox.h"
#include "pictures/PictureLoader.h"
#include "app/QuestionList.h"
#include "document/QuestionRecord.h"
#include "document/TestFile.h"
#include "dialogs/dlgAsk.h"
#include "media/modSound.h"
#include "widgets/Controls.h"
#include "widgets/MediaPreviewPanel.h"
#include "widgets/Twips.h"
#include "widgets/WindowFont.h"

#include "preview/frmPreview.h"
#include "logview/frmLog.h"
#include "webquiz/WebQuizExportAction.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>
#include <exception>

namespace {
QPointer<frmCreate> theEditor;

constexpr int MaxTitleText = 100;

const QString NoQuestionsYet = QStringLiteral("No questions yet.");
const QString ExistingQuestions = QStringLiteral("Existing Questions");

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
    connect(&m_controller, &EditorController::commandsChanged, this, &frmCreate::applyCommands);
    applyCommands();
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

    // --- The two question frames ---
    m_entry = new QuestionEntryPanel(client, this);

    // --- Question number, add button and type switch ---
    lblNumber = Controls::fittedLabel(client, QStringLiteral("lblNumber"), QStringLiteral("Question #1"), Twips::rect(3840, 960, 1815, 360));
    lblNumber->setToolTip(QStringLiteral("Current question."));
    {
        lblNumber->setFont(WindowFont::sansSerif(12));
    }
    cmdAdd = Controls::button(client, QStringLiteral("cmdAdd"), QStringLiteral("Add This Question"), Twips::rect(3840, 1440, 1815, 375),
                        QStringLiteral("Add the current question"));
    // The window's default button: Enter presses it.
    m_keys = new DefaultButtonKeys(cmdAdd, this);
    m_entry->buildTypeChoice(client);

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
    cboExist = new QuestionList(client);
    cboExist->setGeometry(Twips::rect(5880, 3840, 1815, 315));
    cboExist->setEnabled(false);
    cmdEdit = Controls::button(client, QStringLiteral("cmdEdit"), QStringLiteral("Save This Question"), Twips::rect(5880, 4320, 1815, 375),
                         QStringLiteral("Save the changes to this question."));
    cmdRemove = Controls::button(client, QStringLiteral("cmdRemove"), QStringLiteral("Remove This Question"), Twips::rect(5880, 4800, 1815, 375),
                           QStringLiteral("Remove this existing question."));
    cmdEdit->setEnabled(false);
    cmdRemove->setEnabled(false);

    // --- Media panel ---
    m_media = new MediaPreviewPanel(client, {Twips::rect(3840, 3120, 1275, 195), Twips::rect(3840, 3360, 1815, 1815),
                                             Twips::rect(3840, 3360, 1815, 375), Twips::rect(7080, 0, 735, 495)},
                                    this);
    m_mediaChoice = new MediaChoice(*m_media, this);

    // --- Handlers ---
    connect(cmdOkay, &QPushButton::clicked, this, &frmCreate::cmdOkay_Click);
    connect(cmdPreview, &QPushButton::clicked, this, &frmCreate::cmdPreview_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmCreate::cmdCancel_Click);
    connect(cmdAdd, &QPushButton::clicked, this, &frmCreate::cmdAdd_Click);
    for (int i = 0; i < 2; ++i)
        connect(m_entry->optType[i], &QRadioButton::clicked, this, [this, i] { optType_Click(i); });
    connect(cboExist, qOverload<int>(&QComboBox::activated), this, &frmCreate::cboExist_Click);
    connect(cmdEdit, &QPushButton::clicked, this, &frmCreate::cmdEdit_Click);
    connect(cmdRemove, &QPushButton::clicked, this, &frmCreate::cmdRemove_Click);
    connect(m_entry->cmdMpic, &QPushButton::clicked, this, &frmCreate::cmdMpic_Click);
    connect(m_entry->cmdPic, &QPushButton::clicked, this, &frmCreate::cmdPic_Click);
    connect(m_entry->cmdMRemove, &QPushButton::clicked, this, &frmCreate::cmdMRemove_Click);
    connect(m_entry->cmdTRemove, &QPushButton::clicked, this, &frmCreate::cmdTRemove_Click);
    connect(m_entry->txtMpic, &QLineEdit::textChanged, this, &frmCreate::txtMpic_Change);
    connect(m_entry->txtTFpic, &QLineEdit::textChanged, this, &frmCreate::txtTFpic_Change);
    connect(m_media->playButton(), &QPushButton::clicked, this, &frmCreate::cmdPlaywav_Click);
    m_keys->watch(m_entry->txtMQuestion);
    m_keys->watch(m_entry->txtTFquestion);

    setTabOrder(txtTitle, txtTeacher);
    setTabOrder(txtTeacher, m_entry->txtMQuestion);
}

void frmCreate::buildMenus()
{
    // File managers open where the test is.
    m_menus = new EditorMenus(this, [this] {
        if (!document().currentFile().isEmpty())
            return QFileInfo(document().currentFile()).absolutePath();
        return document().testFolder();
    });
    connect(m_menus->mnuFileNew, &QAction::triggered, this, &frmCreate::mnuFileNew_Click);
    connect(m_menus->mnuFileOpen, &QAction::triggered, this, &frmCreate::mnuFileOpen_Click);
    connect(m_menus->mnuFileSaveas, &QAction::triggered, this, &frmCreate::mnuFileSaveas_Click);
    connect(m_menus->mnuFilePrint, &QAction::triggered, this, &frmCreate::mnuFilePrint_Click);
    connect(m_menus->mnuFilePrintPdf, &QAction::triggered, this, &frmCreate::mnuFilePrintPdf_Click);
    connect(m_menus->mnuFileExit, &QAction::triggered, this, &frmCreate::mnuFileExit_Click);
    connect(m_menus, &EditorMenus::recentChosen, this, &frmCreate::mnuRecent_Click);
    connect(m_menus->mnuEditUndo, &QAction::triggered, this, &frmCreate::mnuEditUndo_Click);
    connect(m_menus->mnuEditRedo, &QAction::triggered, this, &frmCreate::mnuEditRedo_Click);
    m_exchange = new QuestionExchangeMenu(
        this, m_menus->mnuFile, m_menus->mnuFileSaveas,
        {[this] { return document().questionCount(); },
         [this] {
             return ExportSource{txtTitle->text(), txtTeacher->text(), document().records(), document().testFolder()};
         },
         [this](const QStringList &records) { appendImportedQuestions(records); },
         [this] { return document().currentFile(); }});
    WebQuizExportAction::addToMenu(m_menus->mnuFile, m_exchange->exportAction(), [this] {
        WebQuizExportAction::run(txtTitle->text(), txtTeacher->text(), document().records(),
                                 document().testFolder(), document().currentFile());
    });

    m_files = new FileCommands(m_controller, this);
    connect(m_files, &FileCommands::recentFilesChanged, this,
            [this](bool added) { m_menus->showRecentEntries(m_files->recentFiles(), added); });
    connect(m_files, &FileCommands::opened, this, &frmCreate::showOpenedTest);
    connect(m_files, &FileCommands::saved, this,
            [this](const QString &path) { setWindowTitle(EditorLogic::windowCaptionForPath(path)); });
}

// ---------------------------------------------------------------- helpers

bool frmCreate::isEditMode() const { return m_controller.isEditing(); }

const RecentFiles &frmCreate::recentFiles() const { return m_files->recentFiles(); }

// The one place the controller's command table reaches the controls.
void frmCreate::applyCommands()
{
    const EditorController::Commands c = m_controller.commands();
    cmdEdit->setEnabled(c.edit);
    cmdRemove->setEnabled(c.remove);
    cmdAdd->setEnabled(c.add);
    m_entry->grpType->setEnabled(c.typeSwitch);
    m_entry->optType[0]->setEnabled(c.typeSwitch);
    m_entry->optType[1]->setEnabled(c.typeSwitch);
    for (QWidget *w : {static_cast<QWidget *>(cmdPreview), static_cast<QWidget *>(cmdOkay)})
        w->setEnabled(c.testCommands);
    cboExist->setEnabled(c.list);
    if (m_exchange)
        m_exchange->setImportEnabled(c.add);
    m_menus->applyCommands(c, m_controller.editing().undoText(), m_controller.editing().redoText());
}

void frmCreate::setListText(const QString &text) { cboExist->setListText(text); }

void frmCreate::keyPressEvent(QKeyEvent *event)
{
    if (!m_keys->windowKeyPress(event))
        QMainWindow::keyPressEvent(event);
}

bool frmCreate::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == lblEditMode && event->type() == QEvent::MouseButtonRelease) {
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
            lblEditMode_Click();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

// ------------------------------------------------------- state operations
// Each of them steps on through whatever fails: the C++ code raises nothing
// on these steps, so the steps simply run in order.

void frmCreate::ClearTest()
{
    m_controller.clearTest();
    showClearedTest();
}

// ClearTest's part on screen: the controller has emptied the test.
void frmCreate::showClearedTest()
{
    SetEditMode(false);
    QuestionEntryPanel::setBoxText(txtTeacher, QString(), MaxTitleText);
    QuestionEntryPanel::setBoxText(txtTitle, QString(), MaxTitleText);
    applyCommands();
    cboExist->empty();
    setListText(NoQuestionsYet);
}

void frmCreate::ShowLoadedTest(const QString &title, const QString &teacher)
{
    QuestionEntryPanel::setBoxText(txtTitle, title, MaxTitleText);
    QuestionEntryPanel::setBoxText(txtTeacher, teacher, MaxTitleText);
    EnableQuestionCommands(true);
    ClearEntry();
    RefreshList();
}

void frmCreate::EnableQuestionCommands(bool on)
{
    m_controller.setTestCommands(on);
    ClearEntry();
    if (!on)
        ClearTest();
}

void frmCreate::ClearEntry()
{
    CloseAll();
    m_media->forgetMedia();
    m_entry->clearFields();
    lblNumber->setText(EditorLogic::questionLabel(document().nextQuestionNumber()));
    setListText(cboExist->count() > 0 ? cboExist->itemText(0) : QString());
    update();
    ClearMedia();
}

void frmCreate::SetEditMode(bool on)
{
    m_controller.setEditMode(on);
    lblEditMode->setVisible(on);
    if (!on)
        setListText(ExistingQuestions);
}

void frmCreate::RefreshList()
{
    const int n = document().nextQuestionNumber() - 1;
    if (n < 0 || n > TestDocument::MaxQuestions) {
        MsgBox(QStringLiteral("This test has become corrupted.  Please start a new test, or open an existing test."));
        return;
    }
    cboExist->fill(document().captions().mid(0, n));
    setListText(document().caption(1));
}

void frmCreate::ClearMedia()
{
    m_media->clear();
}

// ------------------------------------------------------------ start, end

void frmCreate::Form_Load()
{
    m_files->loadRecentFiles();
    m_entry->grpMultiple->setGeometry(Twips::rect(120, 840, 3495, 4335));
    m_entry->showFrame(QuestionEntryPanel::MultipleChoice);
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
    m_files->saveRecentFiles();
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

void frmCreate::loadFromCommandLine(const QString &path) { m_files->openFromCommandLine(path); }

// A test the file commands have read into the controller. File > Open and the
// recent files also show its number and caption (and Open lists it).
void frmCreate::showOpenedTest(const QString &title, const QString &teacher, EditorController::OpenOrigin origin,
                               const QString &path)
{
    showClearedTest();
    ShowLoadedTest(title, teacher);
    if (origin == EditorController::OpenOrigin::CommandLine)
        return;
    EnableQuestionCommands(true);
    lblNumber->setText(EditorLogic::questionLabel(document().nextQuestionNumber()));
    setWindowTitle(EditorLogic::windowCaptionForPath(path));
}

// ------------------------------------------------------------ File menu

void frmCreate::mnuFileNew_Click()
{
    EnableQuestionCommands(false);
    lblNumber->setText(EditorLogic::questionLabel(1));
    setWindowTitle(EditorLogic::windowCaption(QStringLiteral("untitled.ard")));
}

void frmCreate::mnuFileOpen_Click() { m_files->open(); }
void frmCreate::mnuRecent_Click(int index) { m_files->openRecent(index); }
void frmCreate::mnuFileSaveas_Click() { m_files->saveAs(txtTitle->text(), txtTeacher->text()); }
void frmCreate::cmdOkay_Click() { mnuFileSaveas_Click(); }
void frmCreate::mnuFileExit_Click() { close(); }
void frmCreate::cmdCancel_Click() { close(); }
void frmCreate::mnuFilePrint_Click() { m_files->print(txtTitle->text(), txtTeacher->text()); }
void frmCreate::mnuFilePrintPdf_Click() { m_files->printToPdf(txtTitle->text(), txtTeacher->text()); }
void frmCreate::AddToRecentFiles(const QString &path) { m_files->addToRecentFiles(path); }

// Imported questions go after the last one, as one step to undo; what is
// being typed stays.
void frmCreate::appendImportedQuestions(const QStringList &records)
{
    const QString step = records.size() == 1 ? tr("Import 1 Question") : tr("Import %1 Questions").arg(records.size());
    if (!m_controller.editing().addQuestions(records, step))
        return;
    m_controller.setTestCommands(true);
    showUndoneQuestions();
}

void frmCreate::cmdPreview_Click()
{
    frmPreview::showPreview(document(), txtTitle->text(), txtTeacher->text(), this);
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
    m_entry->showFrame(QuestionEntryPanel::Type(typeIndex));
}

void frmCreate::cmdAdd_Click()
{
    if (document().nextQuestionNumber() > TestDocument::MaxQuestions) {
        MsgBox(QStringLiteral("Tests are limited to 100 questions."), MsgIcon::Critical);
        return;
    }
    const bool added = m_entry->optType[0]->isChecked() ? AddMultipleChoice() : AddTrueFalse();
    if (!added)
        return;
    EnableQuestionCommands(true);
}

// ---------------------------------------------- reading the entry fields
// Adding and saving a question read and check the fields alike.

bool frmCreate::AddMultipleChoice()
{
    try {
        QString question;
        QString answers[4];
        if (!m_entry->enteredQuestion(QuestionEntryPanel::MultipleChoice, question) || !m_entry->enteredAnswers(answers))
            return false;
        const QString media = m_entry->enteredMedia(QuestionEntryPanel::MultipleChoice);
        const int correct = m_entry->enteredCorrectAnswer();
        if (!m_controller.add(QuestionRecord::multipleChoice(QStringLiteral("m"), question, answers[0], answers[1],
                                                             answers[2], answers[3], media, correct)))
            throw std::out_of_range("question number");
        cboExist->addItem(question);
        setListText(question);
        m_entry->txtMQuestion->setFocus();
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
        if (!m_entry->enteredQuestion(QuestionEntryPanel::TrueFalse, question))
            return false;
        const QString media = m_entry->enteredMedia(QuestionEntryPanel::TrueFalse);
        const int answer = m_entry->enteredTrueFalseAnswer();
        if (!m_controller.add(QuestionRecord::trueFalse(QStringLiteral("t"), question, media, answer)))
            throw std::out_of_range("Subscript out of range");
        cboExist->addItem(question);
        setListText(question);
        m_entry->txtTFquestion->setFocus();
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
        const QPlainTextEdit *box = m_entry->optType[0]->isChecked() ? m_entry->txtMQuestion : m_entry->txtTFquestion;
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
    m_controller.pick(listIndex + 1);
    CloseAll();
    bool shown = false;
    if (listIndex >= 0 && listIndex + 1 <= TestDocument::MaxQuestions) {
        // Blanks only: a record that begins with another white-space
        // character is of no known kind here, as for the quiz player.
        QString record = document().record(listIndex + 1);
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
    if (m_entry->selectType(QuestionEntryPanel::MultipleChoice))
        optType_Click(0);
    showQuestionFrame(0);
    if (record.isEmpty())
        return false;
    const QuestionView q(record);
    if (q.fieldCount() < QuestionRecord::MultipleChoiceFields || !m_entry->showMultipleChoice(q)) {
        MsgBox(QStringLiteral("An error has occured.  Unable to process question ") + q.kindField());
        return false;
    }
    showMediaOf(q);
    return true;
}

bool frmCreate::LoadTrueFalse(const QString &record)
{
    if (m_entry->selectType(QuestionEntryPanel::TrueFalse))
        optType_Click(1);
    showQuestionFrame(1);
    if (record.isEmpty())
        return false;
    const QuestionView q(record);
    if (q.fieldCount() < QuestionRecord::TrueFalseFields) {
        MsgBox(QStringLiteral("An error has occured.  Unable to process question ") + q.kindField());
        return false;
    }
    if (!m_entry->showTrueFalse(q))
        return false;   // the caller says the question cannot be shown
    showMediaOf(q);
    return true;
}

// The media lookup: the reference itself, else in the test's folder.
void frmCreate::showMediaOf(const QuestionView &q)
{
    const QString media = MediaLookup::resolve(q.media(), document().testFolder());
    if (!media.isEmpty())
        ShowMediaPreview(media);
}

void frmCreate::cmdEdit_Click()
{
    bool ok = false;
    if (m_entry->optType[0]->isChecked())
        ok = UpdateMultipleChoice(cboExist->currentIndex());
    else if (m_entry->optType[1]->isChecked())
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
    if (!m_entry->enteredQuestion(QuestionEntryPanel::MultipleChoice, question) || !m_entry->enteredAnswers(answers))
        return false;
    if (position < 0 || position + 1 > TestDocument::MaxQuestions) {
        // No item selected: the list index is -1.
        MsgBox(QStringLiteral("Subscript out of range\nfrmCreate\n9"));
        return false;
    }
    const QString media = m_entry->enteredMedia(QuestionEntryPanel::MultipleChoice);
    const int correct = m_entry->enteredCorrectAnswer();
    m_controller.update(QuestionRecord::multipleChoice(QuestionRecord::kindField(QLatin1Char('m'), position + 1),
                                                       question, answers[0], answers[1], answers[2], answers[3],
                                                       media, correct));
    RefreshList();
    m_entry->txtMQuestion->setFocus();
    return true;
}

bool frmCreate::UpdateTrueFalse(int position)
{
    QString question;
    if (!m_entry->enteredQuestion(QuestionEntryPanel::TrueFalse, question))
        return false;
    if (position < 0 || position + 1 > TestDocument::MaxQuestions)
        return false;
    const QString media = m_entry->enteredMedia(QuestionEntryPanel::TrueFalse);
    const int answer = m_entry->enteredTrueFalseAnswer();
    m_controller.update(QuestionRecord::trueFalse(QuestionRecord::kindField(QLatin1Char('t'), position + 1),
                                                  question, media, answer));
    RefreshList();
    m_entry->txtTFquestion->setFocus();
    return true;
}

void frmCreate::cmdRemove_Click()
{
    const int p = cboExist->currentIndex() + 1;
    const int n = document().nextQuestionNumber() - 1;
    if (p < 1 || p > n) {
        MsgBox(QStringLiteral("Error removing question."), MsgIcon::Critical);
        return;
    }
    m_controller.remove();
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
    else if (m_entry->grpTrueFalse->isVisible())
        m_entry->txtTFquestion->setFocus(Qt::OtherFocusReason);
    else
        m_entry->txtMQuestion->setFocus(Qt::OtherFocusReason);
}

// An undo or redo while a question is being edited leaves edit mode first, as
// the edit-mode label does after OK: the changes typed into it are dropped.
void frmCreate::mnuEditUndo_Click() { undoOrRedo(true); }

void frmCreate::mnuEditRedo_Click() { undoOrRedo(false); }

void frmCreate::undoOrRedo(bool undo)
{
    DocumentEditor &editing = m_controller.editing();
    if (undo ? !editing.canUndo() : !editing.canRedo())
        return;
    if (isEditMode()) {
        SetEditMode(false);
        ClearEntry();
    }
    if (undo ? m_controller.undo() : m_controller.redo())
        showUndoneQuestions();
}

// The list and the number of the next question after an undo or redo; what
// is typed into the entry area stays.
void frmCreate::showUndoneQuestions()
{
    RefreshList();
    lblNumber->setText(EditorLogic::questionLabel(document().nextQuestionNumber()));
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

void frmCreate::PickMediaFile(QLineEdit *mediaBox) { m_mediaChoice->pick(mediaBox); }
void frmCreate::cmdMpic_Click() { PickMediaFile(m_entry->txtMpic); }
void frmCreate::cmdPic_Click() { PickMediaFile(m_entry->txtTFpic); }
void frmCreate::cmdMRemove_Click() { m_mediaChoice->remove(m_entry->txtMpic); }
void frmCreate::cmdTRemove_Click() { m_mediaChoice->remove(m_entry->txtTFpic); }
void frmCreate::txtMpic_Change() { m_mediaChoice->boxChanged(m_entry->txtMpic); }
void frmCreate::txtTFpic_Change() { m_mediaChoice->boxChanged(m_entry->txtTFpic); }
void frmCreate::ShowMediaPreview(const QString &path) { m_media->show(path); }

void frmCreate::ShowThumbnail() { m_media->showThumbnail(); }

void frmCreate::cmdPlaywav_Click() { m_media->replay(); }

QString frmCreate::previewMediaPath() const { return m_media->mediaPath(); }
