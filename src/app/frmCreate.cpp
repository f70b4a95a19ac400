#include "app/frmCreate.h"

#include "app/DefaultButtonKeys.h"
#include "app/EditorLogic.h"
#include "app/EditorMenus.h"
#include "app/FileCommands.h"
#include "app/MediaChoice.h"
#include "app/QuestionExchangeMenu.h"
#include "app/QuestionEntryFlow.h"
#include "app/QuestionEntryPanel.h"
#include "app/UndoKeyRouter.h"
#include "app/QuestionListPanel.h"
#include "app/TestTitlePanel.h"
#include "dialogs/dlgAsk.h"
#include "live/frmLive.h"
#include "paper/dlgAnswerSheets.h"
#include "paper/frmScan.h"
#include "logview/frmLog.h"
#include "media/modSound.h"
#include "platform/MsgBox.h"
#include "preview/frmPreview.h"
#include "webquiz/PlatformExportAction.h"
#include "webquiz/WebQuizExportAction.h"
#include "widgets/Controls.h"
#include "widgets/MediaPreviewPanel.h"
#include "app/dlgTestLanguage.h"
#include "widgets/Twips.h"
#include "widgets/WindowFont.h"

#include <QShortcut>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QLayout>
#include <QPushButton>

namespace {
const QString NoQuestionsYet = QStringLiteral("No questions yet.");

}


frmCreate::frmCreate(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmCreate"));
    setWindowTitle(EditorLogic::windowCaption(m_controller.captionName(), m_controller.hasUnsavedChanges()));
    // The window was drawn with an 8-point sans-serif; fontconfig picks the
    // nearest font on this system.
    setFont(WindowFont::sansSerif(8));

    buildControls();
    buildMenus();
    // What the controller and the document announce, each shown once.
    const DocumentEditor &changes = m_controller.changes();
    connect(&m_controller, &EditorController::commandsChanged, this, &frmCreate::applyCommands);
    connect(&m_controller, &EditorController::entryCleared, this, &frmCreate::ClearEntry);
    connect(&m_controller, &EditorController::captionChanged, this,
            [this] { setWindowTitle(EditorLogic::windowCaption(m_controller.captionName(), m_controller.hasUnsavedChanges())); });
    for (auto signal : {&DocumentEditor::titleChanged, &DocumentEditor::documentReset})
        connect(&changes, signal, this, [this] { m_title->show(document().title(), document().teacher()); });
    // A question more or less: the number of the next one, and the list's line.
    for (auto signal : {&DocumentEditor::questionInserted, &DocumentEditor::questionRemoved})
        connect(&changes, signal, this, [this] {
            Controls::setAnnouncedText(lblNumber, EditorLogic::questionLabel(document().nextQuestionNumber()));
            RefreshList();
        });
    applyCommands();
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    Form_Load();
}

frmCreate::~frmCreate() = default;

void frmCreate::buildControls()
{
    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("clientArea"));
    client->setFixedSize(Twips::toPixels(7860), Twips::toPixels(5685));
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
    m_list = new QuestionListPanel(client, m_controller.changes(), this);
    m_media = new MediaPreviewPanel(client, {Twips::rect(3840, 3120, 1275, 195), Twips::rect(3840, 3360, 1815, 1815),
                                             Twips::rect(3840, 3360, 1815, 375), Twips::rect(7080, 0, 735, 495)},
                                    this);
    m_mediaChoice = new MediaChoice(*m_entry, *m_media, this);
    m_flow = new QuestionEntryFlow(m_controller, *m_entry, *m_list, *m_media, *lblNumber, this);

    connect(m_title, &TestTitlePanel::titleTyped, &m_controller, &EditorController::setTitle);
    connect(m_title, &TestTitlePanel::teacherTyped, &m_controller, &EditorController::setTeacher);
    connect(cmdOkay, &QPushButton::clicked, this, &frmCreate::cmdOkay_Click);
    connect(cmdPreview, &QPushButton::clicked, this, &frmCreate::cmdPreview_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmCreate::cmdCancel_Click);
    connect(cmdAdd, &QPushButton::clicked, this, &frmCreate::cmdAdd_Click);
    connect(m_entry, &QuestionEntryPanel::typeClicked, this, [this](QuestionKind type) { optType_Click(int(type)); });
    connect(m_entry, &QuestionEntryPanel::typeChosen, &m_controller, &EditorController::setQuestionType);
    connect(m_entry, &QuestionEntryPanel::draftChanged, this, &frmCreate::entryEdited);
    connect(m_list, &QuestionListPanel::questionChosen, this, &frmCreate::cboExist_Click);
    connect(m_list, &QuestionListPanel::saveClicked, this, &frmCreate::cmdEdit_Click);
    connect(m_list, &QuestionListPanel::removeClicked, this, &frmCreate::cmdRemove_Click);
    connect(m_list, &QuestionListPanel::editModeLabelClicked, this, &frmCreate::lblEditMode_Click);
    // Escape leaves edit mode as a click on the label does (the undo keys
    // would also undo the last change).
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setObjectName(QStringLiteral("EscapeLeavesEditMode"));
    connect(escape, &QShortcut::activated, this, [this] {
        if (isEditMode())
            lblEditMode_Click();
    });
    const auto byFrame = [](void (frmCreate::*multiple)(), void (frmCreate::*trueFalse)()) {
        return [=](frmCreate *w, QuestionKind type) { (w->*(type == QuestionKind::TrueFalse ? trueFalse : multiple))(); };
    };
    const auto browse = byFrame(&frmCreate::cmdMpic_Click, &frmCreate::cmdPic_Click);
    const auto remove = byFrame(&frmCreate::cmdMRemove_Click, &frmCreate::cmdTRemove_Click);
    const auto edited = byFrame(&frmCreate::txtMpic_Change, &frmCreate::txtTFpic_Change);
    connect(m_entry, &QuestionEntryPanel::mediaBrowseClicked, this, [=](QuestionKind t) { browse(this, t); });
    connect(m_entry, &QuestionEntryPanel::mediaRemoveClicked, this, [=](QuestionKind t) { remove(this, t); });
    connect(m_entry, &QuestionEntryPanel::mediaEdited, this, [=](QuestionKind t) { edited(this, t); });
    connect(m_media->playButton(), &QPushButton::clicked, this, &frmCreate::cmdPlaywav_Click);
    m_entry->sendEnterTo(*m_keys);
    setTabOrder(m_title->tabEnd(), m_entry->tabStart());
}

void frmCreate::buildMenus()
{
    // File managers open where the test is.
    m_menus = new EditorMenus(
        this,
        [this] {
            if (!document().currentFile().isEmpty())
                return QFileInfo(document().currentFile()).absolutePath();
            return document().testFolder();
        },
        m_controller.createUndoAction(this), m_controller.createRedoAction(this));
    connect(m_menus->mnuFileNew, &QAction::triggered, this, &frmCreate::mnuFileNew_Click);
    connect(m_menus->mnuFileOpen, &QAction::triggered, this, &frmCreate::mnuFileOpen_Click);
    connect(m_menus->mnuFileSaveas, &QAction::triggered, this, &frmCreate::mnuFileSaveas_Click);
    connect(m_menus->mnuFileSave, &QAction::triggered, this, [this] { m_files->save(); });
    connect(m_menus->mnuEditMoveUp, &QAction::triggered, this, [this] { m_controller.move(-1); });
    connect(m_menus->mnuEditMoveDown, &QAction::triggered, this, [this] { m_controller.move(1); });
    connect(m_menus->mnuEditDuplicate, &QAction::triggered, this, [this] { m_controller.duplicate(); });
    connect(m_menus->mnuFilePrint, &QAction::triggered, this, &frmCreate::mnuFilePrint_Click);
    connect(m_menus->mnuFilePrintPdf, &QAction::triggered, this, &frmCreate::mnuFilePrintPdf_Click);
    connect(m_menus->mnuFileExit, &QAction::triggered, this, &frmCreate::mnuFileExit_Click);
    connect(m_menus->mnuEditShuffle, &QAction::triggered, this, [this](bool on) { m_controller.setShuffle(on); });
    // The mark follows the test: an undo, an open or New sets it too.
    connect(&m_controller.changes(), &DocumentEditor::testChanged, m_menus->mnuEditShuffle,
            [this] { m_menus->mnuEditShuffle->setChecked(document().shuffle()); });
    connect(m_menus->mnuEditLanguage, &QAction::triggered, this, [this] {
        if (const std::optional<QString> tag = dlgTestLanguage::choose(document().language(), this))
            m_controller.setLanguage(*tag);
    });
    connect(m_menus, &EditorMenus::recentChosen, this, &frmCreate::mnuRecent_Click);
    new UndoKeyRouter(this, m_menus->mnuEdit, m_menus->mnuEditUndo, m_menus->mnuEditRedo);
    const auto test = [this] {
        return ExportSource{document().title(), document().teacher(), document().records(), document().testFolder(),
                            document().companion()};
    };
    m_exchange = new QuestionExchangeMenu(
        this, m_menus->mnuFile, m_menus->mnuFileSaveas,
        {[this] { return document().questionCount(); }, test,
         [this](const QStringList &records, const QStringList &descriptions) {
             m_controller.importQuestions(records, descriptions);
         },
         [this] { return document().currentFile(); },
         [this](QString *error) { return m_controller.heldMedia().folder(error); },
         &PlatformExportAction::handlesExportAs});
    QAction *exportWeb = WebQuizExportAction::addToMenu(m_menus->mnuFile, m_exchange->exportAction(), [this, test] {
        WebQuizExportAction::run(test(), document().currentFile());
    });
    PlatformExportAction::addToMenu(m_menus->mnuFile, exportWeb,
                                    [this, test] { PlatformExportAction::run(test(), document().currentFile()); });

    // Tools > "Live Class...", after "Class Results...".
    if (auto *results = menuBar()->findChild<QAction *>(QStringLiteral("mnuToolClass")))
        if (auto *tools = menuBar()->findChild<QMenu *>(QStringLiteral("mnuToolS")))
            frmLive::addToMenu(tools, results, this, [this] {
                return frmLive::EditorTest{document().currentFile(), document().title(), document().teacher(),
                                           document().records(), document().companion()};
            });

    // File > "Print Answer Sheets..." after the printouts; Tools > "Read
    // Scanned Sheets..." after the live class.
    const QList<QAction *> fileActions = m_menus->mnuFile->actions();
    QAction *sheets = dlgAnswerSheets::addToMenu(
        m_menus->mnuFile, fileActions.value(fileActions.indexOf(m_menus->mnuFilePrintPdf) + 1), this, [this] {
            return dlgAnswerSheets::Test{document().currentFile(), document().title(), document().teacher(),
                                         document().records()};
        });
    sheets->setEnabled(m_menus->mnuFilePrint->isEnabled());
    connect(m_menus->mnuFilePrint, &QAction::changed, sheets, [this, sheets] { sheets->setEnabled(m_menus->mnuFilePrint->isEnabled()); });
    if (auto *live = menuBar()->findChild<QAction *>(QStringLiteral("mnuToolLive")))
        if (auto *tools = menuBar()->findChild<QMenu *>(QStringLiteral("mnuToolS")))
            frmScan::addToMenu(tools, live, this, [this] {
                return frmScan::Test{document().currentFile(), document().title(), document().teacher(),
                                     document().records()};
            });

    m_files = new FileCommands(m_controller, this);
    connect(m_files, &FileCommands::recentFilesChanged, this,
            [this](bool added) { m_menus->showRecentEntries(m_files->recentFiles(), added); });
}

// ---------------------------------------------------------------- helpers

const RecentFiles &frmCreate::recentFiles() const { return m_files->recentFiles(); }

// The one place the controller's command table reaches the controls.
void frmCreate::applyCommands()
{
    const EditorController::Commands c = m_controller.commands();
    m_list->setEnabled(c.edit, c.remove, c.list);
    m_list->showEditMode(c.edit);
    cmdAdd->setEnabled(c.add);
    m_entry->setTypeEnabled(c.typeSwitch);
    for (QWidget *w : {static_cast<QWidget *>(cmdPreview), static_cast<QWidget *>(cmdOkay)})
        w->setEnabled(c.testCommands);
    if (m_exchange)
        m_exchange->setImportEnabled(c.add);
    m_menus->applyCommands(c);
}

void frmCreate::setListText(const QString &text) { m_list->setListText(text); }

void frmCreate::keyPressEvent(QKeyEvent *event)
{
    if (!m_keys->windowKeyPress(event))
        QMainWindow::keyPressEvent(event);
}

EditorSnapshot frmCreate::unsavedWork() const { return m_controller.snapshot(m_entry->draft()); }

void frmCreate::restoreUnsavedWork(const EditorSnapshot &work)
{
    m_controller.restoreUnsaved(work);
    const EntryArea &e = work.entry;
    if (e.editing >= 1 && e.editing <= work.records.size()) {
        m_list->showPicked(e.editing - 1);
        cboExist_Click(e.editing - 1);
    } else if (e.type == 1 && m_entry->selectType(QuestionKind::TrueFalse)) {
        optType_Click(1);
    }
    m_entry->showDraft(e);
    // Work without questions lands in an editor that has just started: its
    // list reads as at start, not as after File > New.
    if (work.records.isEmpty())
        setListText(QStringLiteral("No Questions Yet"));
}

// ------------------------------------------------------- state on screen

// The entry area emptied for the next question, its number, and the list's
// line showing the first question.
void frmCreate::ClearEntry()
{
    CloseAll();
    m_media->forgetMedia();
    m_entry->clearFields();
    lblNumber->setText(EditorLogic::questionLabel(document().nextQuestionNumber()));
    RefreshList();
    update();
    ClearMedia();
}

void frmCreate::RefreshList()
{
    const int n = document().questionCount();
    if (n < 0 || n > TestDocument::MaxQuestions) {
        MsgBox(QStringLiteral("This test has become corrupted.  Please start a new test, or open an existing test."));
        return;
    }
    // A test left without questions (the last removed, or its adding
    // undone) reads as at start, never as a blank line.
    setListText(n == 0 ? QStringLiteral("No Questions Yet") : document().caption(1));
}

void frmCreate::ClearMedia() { m_media->clear(); }

// ------------------------------------------------------------ start, end

void frmCreate::Form_Load()
{
    m_files->loadRecentFiles();
    m_entry->showFrame(QuestionKind::MultipleChoice);
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

// ------------------------------------------------------------ File menu

void frmCreate::mnuFileNew_Click()
{
    m_controller.newTest();
    setListText(NoQuestionsYet);
}

void frmCreate::mnuFileOpen_Click() { m_files->open(); }
void frmCreate::mnuRecent_Click(int index) { m_files->openRecent(index); }
void frmCreate::mnuFileSaveas_Click() { m_files->saveAs(); }
void frmCreate::cmdOkay_Click() { mnuFileSaveas_Click(); }
void frmCreate::mnuFileExit_Click() { close(); }
void frmCreate::cmdCancel_Click() { close(); }
void frmCreate::mnuFilePrint_Click() { m_files->print(); }
void frmCreate::mnuFilePrintPdf_Click() { m_files->printToPdf(); }
void frmCreate::cmdPreview_Click() { frmPreview::showPreview(document(), document().title(), document().teacher(), this); }

// -------------------------------------------------------- question entry

void frmCreate::optType_Click(int index) { m_flow->showType(QuestionKind(index)); }
void frmCreate::cmdAdd_Click() { m_flow->add(); }

// ------------------------------------------------ question list, edit mode

void frmCreate::cboExist_Click(int listIndex) { m_flow->pick(listIndex); }
void frmCreate::cmdEdit_Click() { m_flow->update(); }
void frmCreate::cmdRemove_Click() { m_flow->remove(); }

void frmCreate::lblEditMode_Click()
{
    if (!dlgAsk::DontAskAgain)
        dlgAsk::ask(this);
    if (dlgAsk::LeaveConfirmed)
        m_controller.leaveEditMode();
}

// ------------------------------------------------------------ media panel

void frmCreate::PickMediaFile(QuestionKind frame) { m_mediaChoice->pick(frame); }
void frmCreate::cmdMpic_Click() { PickMediaFile(QuestionKind::MultipleChoice); }
void frmCreate::cmdPic_Click() { PickMediaFile(QuestionKind::TrueFalse); }
void frmCreate::cmdMRemove_Click() { m_mediaChoice->remove(QuestionKind::MultipleChoice); }
void frmCreate::cmdTRemove_Click() { m_mediaChoice->remove(QuestionKind::TrueFalse); }
void frmCreate::txtMpic_Change() { m_mediaChoice->boxChanged(QuestionKind::MultipleChoice); }
void frmCreate::txtTFpic_Change() { m_mediaChoice->boxChanged(QuestionKind::TrueFalse); }
void frmCreate::ShowMediaPreview(const QString &path) { m_media->show(path); }
void frmCreate::cmdPlaywav_Click() { m_media->replay(); }
