#include "app/frmCreate.h"

#include "app/DefaultButtonKeys.h"
#include "app/EditorLogic.h"
#include "app/EditorMenus.h"
#include "app/FileCommands.h"
#include "app/MediaChoice.h"
#include "app/QuestionExchangeMenu.h"
#include "app/UndoKeyRouter.h"
#include "app/QuestionList.h"
#include "app/QuestionListPanel.h"
#include "app/TestTitlePanel.h"
#include "dialogs/dlgAsk.h"
#include "document/MediaLookup.h"
#include "document/QuestionRecord.h"
#include "logview/frmLog.h"
#include "media/modSound.h"
#include "platform/MsgBox.h"
#include "preview/frmPreview.h"
#include "webquiz/WebQuizExportAction.h"
#include "widgets/Controls.h"
#include "widgets/FrameBox.h"
#include "widgets/MediaPreviewPanel.h"
#include "widgets/Twips.h"
#include "widgets/WindowFont.h"

#include <QAction>
#include <QApplication>
#include <QPointer>
#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {
const QString NoQuestionsYet = QStringLiteral("No questions yet.");
const QString ExistingQuestions = QStringLiteral("Existing Questions");

}


frmCreate::frmCreate(QWidget *parent) : QMainWindow(parent)
{
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

    // Made in the order the window was drawn, which is the order of Tab.
    m_title = new TestTitlePanel(client, this);
    m_entry = new QuestionEntryPanel(client, this);
    lblNumber = Controls::fittedLabel(client, QStringLiteral("lblNumber"), QStringLiteral("Question #1"),
                                      Twips::rect(3840, 960, 1815, 360));
    lblNumber->setToolTip(QStringLiteral("Current question."));
    lblNumber->setFont(WindowFont::sansSerif(12));
    cmdAdd = Controls::button(client, QStringLiteral("cmdAdd"), QStringLiteral("Add This Question"),
                              Twips::rect(3840, 1440, 1815, 375), QStringLiteral("Add the current question"));
    // The window's default button: Enter presses it.
    m_keys = new DefaultButtonKeys(cmdAdd, this);
    m_entry->buildTypeChoice(client);
    cmdOkay = Controls::button(client, QStringLiteral("cmdOkay"), QStringLiteral("Save Test"), Twips::rect(5880, 960, 1815, 375));
    cmdPreview = Controls::button(client, QStringLiteral("cmdPreview"), QStringLiteral("Preview Test"), Twips::rect(5880, 1440, 1815, 375));
    cmdCancel = Controls::button(client, QStringLiteral("cmdCancel"), QStringLiteral("Cancel and Exit"), Twips::rect(5880, 1920, 1815, 375));
    m_list = new QuestionListPanel(client, m_controller.editing(), this);
    m_media = new MediaPreviewPanel(client, {Twips::rect(3840, 3120, 1275, 195), Twips::rect(3840, 3360, 1815, 1815),
                                             Twips::rect(3840, 3360, 1815, 375), Twips::rect(7080, 0, 735, 495)},
                                    this);
    m_mediaChoice = new MediaChoice(*m_media, this);

    connect(cmdOkay, &QPushButton::clicked, this, &frmCreate::cmdOkay_Click);
    connect(cmdPreview, &QPushButton::clicked, this, &frmCreate::cmdPreview_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmCreate::cmdCancel_Click);
    connect(cmdAdd, &QPushButton::clicked, this, &frmCreate::cmdAdd_Click);
    for (int i = 0; i < 2; ++i)
        connect(m_entry->optType[i], &QRadioButton::clicked, this, [this, i] { optType_Click(i); });
    connect(m_entry, &QuestionEntryPanel::typeChosen, &m_controller, &EditorController::setQuestionType);
    connect(m_list->cboExist, qOverload<int>(&QComboBox::activated), this, &frmCreate::cboExist_Click);
    connect(m_list->cmdEdit, &QPushButton::clicked, this, &frmCreate::cmdEdit_Click);
    connect(m_list->cmdRemove, &QPushButton::clicked, this, &frmCreate::cmdRemove_Click);
    connect(m_list, &QuestionListPanel::editModeLabelClicked, this, &frmCreate::lblEditMode_Click);
    connect(m_entry->cmdMpic, &QPushButton::clicked, this, &frmCreate::cmdMpic_Click);
    connect(m_entry->cmdPic, &QPushButton::clicked, this, &frmCreate::cmdPic_Click);
    connect(m_entry->cmdMRemove, &QPushButton::clicked, this, &frmCreate::cmdMRemove_Click);
    connect(m_entry->cmdTRemove, &QPushButton::clicked, this, &frmCreate::cmdTRemove_Click);
    connect(m_entry->txtMpic, &QLineEdit::textChanged, this, &frmCreate::txtMpic_Change);
    connect(m_entry->txtTFpic, &QLineEdit::textChanged, this, &frmCreate::txtTFpic_Change);
    connect(m_media->playButton(), &QPushButton::clicked, this, &frmCreate::cmdPlaywav_Click);
    m_keys->watch(m_entry->txtMQuestion);
    m_keys->watch(m_entry->txtTFquestion);

    setTabOrder(m_title->txtTitle, m_title->txtTeacher);
    setTabOrder(m_title->txtTeacher, m_entry->txtMQuestion);
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
    new UndoKeyRouter(this, m_menus->mnuEditUndo, m_menus->mnuEditRedo);
    connect(m_menus->mnuEditRedo, &QAction::triggered, this, &frmCreate::mnuEditRedo_Click);
    m_exchange = new QuestionExchangeMenu(
        this, m_menus->mnuFile, m_menus->mnuFileSaveas,
        {[this] { return document().questionCount(); },
         [this] {
             return ExportSource{m_title->title(), m_title->teacher(), document().records(), document().testFolder()};
         },
         [this](const QStringList &records) { appendImportedQuestions(records); },
         [this] { return document().currentFile(); },
         [this](QString *error) { return m_controller.heldMedia().folder(error); },
         [](const QString &path, const ExportSource &test) {
             WebQuizExportAction::exportTo(path, test.title, test.teacher, test.records, test.mediaFolder);
         }});
    WebQuizExportAction::addToMenu(m_menus->mnuFile, m_exchange->exportAction(), [this] {
        WebQuizExportAction::run(m_title->title(), m_title->teacher(), document().records(),
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
    m_list->setEnabled(c.edit, c.remove, c.list);
    cmdAdd->setEnabled(c.add);
    m_entry->grpType->setEnabled(c.typeSwitch);
    m_entry->optType[0]->setEnabled(c.typeSwitch);
    m_entry->optType[1]->setEnabled(c.typeSwitch);
    for (QWidget *w : {static_cast<QWidget *>(cmdPreview), static_cast<QWidget *>(cmdOkay)})
        w->setEnabled(c.testCommands);
    if (m_exchange)
        m_exchange->setImportEnabled(c.add);
    m_menus->applyCommands(c, m_controller.editing().undoText(), m_controller.editing().redoText());
}

void frmCreate::setListText(const QString &text) { m_list->cboExist->setListText(text); }

void frmCreate::keyPressEvent(QKeyEvent *event)
{
    if (!m_keys->windowKeyPress(event))
        QMainWindow::keyPressEvent(event);
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
    m_title->show(QString(), QString());
    applyCommands();
    setListText(NoQuestionsYet);
}

void frmCreate::ShowLoadedTest(const QString &title, const QString &teacher)
{
    m_title->show(title, teacher);
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
    setListText(document().caption(1));
    update();
    ClearMedia();
}

void frmCreate::SetEditMode(bool on)
{
    m_controller.setEditMode(on);
    m_list->showEditMode(on);
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
    m_entry->showFrame(QuestionType::MultipleChoice);
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
void frmCreate::mnuFileSaveas_Click() { m_files->saveAs(m_title->title(), m_title->teacher()); }
void frmCreate::cmdOkay_Click() { mnuFileSaveas_Click(); }
void frmCreate::mnuFileExit_Click() { close(); }
void frmCreate::cmdCancel_Click() { close(); }
void frmCreate::mnuFilePrint_Click() { m_files->print(m_title->title(), m_title->teacher()); }
void frmCreate::mnuFilePrintPdf_Click() { m_files->printToPdf(m_title->title(), m_title->teacher()); }

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
    frmPreview::showPreview(document(), m_title->title(), m_title->teacher(), this);
}

// -------------------------------------------------------- question entry

void frmCreate::optType_Click(int index)
{
    showQuestionFrame(QuestionType(index));
    ClearMedia();
}

// One question frame is on screen; the other is parked off-screen, keeping
// what was typed into it.
void frmCreate::showQuestionFrame(QuestionType type) { m_entry->showFrame(type); }

void frmCreate::cmdAdd_Click()
{
    if (document().nextQuestionNumber() > TestDocument::MaxQuestions) {
        MsgBox(QStringLiteral("Tests are limited to 100 questions."), MsgIcon::Critical);
        return;
    }
    if (m_controller.questionType() == QuestionType::MultipleChoice ? AddMultipleChoice() : AddTrueFalse())
        EnableQuestionCommands(true);
}

bool frmCreate::AddMultipleChoice() { return addEnteredQuestion(QuestionType::MultipleChoice); }
bool frmCreate::AddTrueFalse() { return addEnteredQuestion(QuestionType::TrueFalse); }

// The list shows the question as it was typed. A full test refuses it with
// the message of its type.
bool frmCreate::addEnteredQuestion(QuestionType type)
{
    const bool multiple = type == QuestionType::MultipleChoice;
    QString question;
    const std::optional<QString> record =
        m_entry->enteredRecord(type, multiple ? QStringLiteral("m") : QStringLiteral("t"), &question);
    if (!record)
        return false;
    if (!m_controller.add(*record)) {
        if (multiple)
            MsgBox(QStringLiteral("There was an error adding this question.  Please fill in all blanks and try again."),
                   MsgIcon::Critical);
        else
            MsgBox(QStringLiteral("Subscript out of range\nfrmCreate\n9"));   // description, source, number
        return false;
    }
    setListText(question);
    m_entry->questionBox(type)->setFocus();
    return true;
}

// ------------------------------------------------ question list, edit mode

void frmCreate::cboExist_Click(int listIndex)
{
    if (!isEditMode() && !m_entry->questionBox(m_controller.questionType())->toPlainText().isEmpty()) {
        const MsgResult answer = MsgBox(
            QStringLiteral("Going to edit mode will result in the loss of information in the current question, "
                           "which has not yet been added to the quiz.  Would you like to add this question to the quiz?"),
            MsgIcon::Question, MsgButtons::YesNo);
        if (answer == MsgResult::Yes) {
            cmdAdd_Click();
            return;
        }
    }
    SetEditMode(true);
    m_controller.pick(listIndex + 1);
    CloseAll();
    bool shown = false;
    const QString record = QuestionRecord::withoutEdgeBlanks(document().record(listIndex + 1));
    switch (QuestionRecord::kindOf(record)) {
    case QuestionRecord::Kind::MultipleChoice: shown = LoadMultipleChoice(record); break;
    case QuestionRecord::Kind::TrueFalse: shown = LoadTrueFalse(record); break;
    case QuestionRecord::Kind::Unknown: break;
    }
    if (!shown) {
        MsgBox(QStringLiteral("Unable to display this question.  Question appears to be corrupted."), MsgIcon::Critical);
        return;
    }
    lblNumber->setText(EditorLogic::questionLabel(listIndex + 1));
    m_list->cboExist->lineEdit()->setCursorPosition(0);
}

bool frmCreate::LoadMultipleChoice(const QString &record) { return loadQuestion(QuestionType::MultipleChoice, record); }
bool frmCreate::LoadTrueFalse(const QString &record) { return loadQuestion(QuestionType::TrueFalse, record); }

// A record too short for its kind is named in a message; a right answer that
// is none of the options is named only for multiple choice (the caller then
// says the question cannot be shown).
bool frmCreate::loadQuestion(QuestionType type, const QString &record)
{
    const bool multiple = type == QuestionType::MultipleChoice;
    if (m_entry->selectType(type))
        optType_Click(int(type));
    showQuestionFrame(type);
    if (record.isEmpty())
        return false;
    const QuestionView q(record);
    const int fieldsNeeded = multiple ? QuestionRecord::MultipleChoiceFields : QuestionRecord::TrueFalseFields;
    const bool complete = q.fieldCount() >= fieldsNeeded;
    if (!complete || !(multiple ? m_entry->showMultipleChoice(q) : m_entry->showTrueFalse(q))) {
        if (!complete || multiple)
            MsgBox(QStringLiteral("An error has occured.  Unable to process question ") + q.kindField());
        return false;
    }
    // The media lookup: the reference itself, else in the test's folder.
    const QString media = MediaLookup::resolve(q.media(), document().testFolder());
    if (!media.isEmpty())
        ShowMediaPreview(media);
    return true;
}

void frmCreate::cmdEdit_Click()
{
    const int position = m_controller.editedNumber() - 1;   // -1 when none is picked
    if (!(m_controller.questionType() == QuestionType::MultipleChoice ? UpdateMultipleChoice(position)
                                                                 : UpdateTrueFalse(position))) {
        MsgBox(QStringLiteral("There has been an error in editing this question."), MsgIcon::Critical);
        return;
    }
    SetEditMode(false);
    ClearEntry();
}

bool frmCreate::UpdateMultipleChoice(int position) { return updateEditedQuestion(QuestionType::MultipleChoice, position); }
bool frmCreate::UpdateTrueFalse(int position) { return updateEditedQuestion(QuestionType::TrueFalse, position); }

// `position` counts from 0: -1 when no question is picked.
bool frmCreate::updateEditedQuestion(QuestionType type, int position)
{
    const bool multiple = type == QuestionType::MultipleChoice;
    const QString kind = QuestionRecord::kindField(QLatin1Char(multiple ? 'm' : 't'), position + 1);
    const std::optional<QString> record = m_entry->enteredRecord(type, kind);
    if (!record)
        return false;
    if (position < 0 || position + 1 > TestDocument::MaxQuestions) {
        if (multiple)
            MsgBox(QStringLiteral("Subscript out of range\nfrmCreate\n9"));
        return false;
    }
    m_controller.update(*record);
    RefreshList();
    m_entry->questionBox(type)->setFocus();
    return true;
}

void frmCreate::cmdRemove_Click()
{
    const int p = m_controller.editedNumber();
    if (p < 1 || p > document().questionCount()) {
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
    if (m_list->cboExist->isEnabled() && m_list->cboExist->count() > 0)
        m_list->cboExist->setFocus(Qt::OtherFocusReason);
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
    // Focus goes back where it was (the menu took it), unless leaving edit
    // mode moves it.
    const QPointer<QWidget> focus = QApplication::focusWidget();
    if (isEditMode()) {
        SetEditMode(false);
        ClearEntry();
    } else if (focus && focus->isEnabled() && focus->isVisible()) {
        focus->setFocus(Qt::OtherFocusReason);
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


void frmCreate::cmdPlaywav_Click() { m_media->replay(); }

