#include "app/frmCreate.h"

#include "app/EditorLogic.h"
#include "app/QuestionEntryPanel.h"
#include "app/QuestionExchangeMenu.h"
#include "widgets/FrameBox.h"
#include "dialogs/FileDialogs.h"
#include "document/MediaLookup.h"
#include "platform/MsgBox.h"
#include "platform/Platform.h"
#include "widgets/PictureBox.h"
#include "pictures/PictureLoader.h"
#include "app/QuestionListWidth.h"
#include "document/QuestionRecord.h"
#include "document/TestFile.h"
#include "app/toolshelp/ToolsHelpMenus.h"
#include "dialogs/dlgAsk.h"
#include "media/modSound.h"
#include "widgets/Controls.h"
#include "widgets/MediaPreviewPanel.h"
#include "widgets/Twips.h"
#include "widgets/WindowFont.h"

#include "preview/frmPreview.h"
#include "print/PrintCommands.h"
#include "logview/frmLog.h"
#include "webquiz/WebQuizExportAction.h"

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
    // The window's default button: Enter presses it (see keyPressEvent).
    cmdAdd->setDefault(true);
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
    m_media = new MediaPreviewPanel(client, {Twips::rect(3840, 3120, 1275, 195), Twips::rect(3840, 3360, 1815, 1815),
                                             Twips::rect(3840, 3360, 1815, 375), Twips::rect(7080, 0, 735, 495)},
                                    this);

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
    m_entry->txtMQuestion->installEventFilter(this);
    m_entry->txtTFquestion->installEventFilter(this);

    setTabOrder(txtTitle, txtTeacher);
    setTabOrder(txtTeacher, m_entry->txtMQuestion);
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
    m_exchange = new QuestionExchangeMenu(
        this, mnuFile, mnuFileSaveas,
        {[this] { return document().questionCount(); },
         [this] {
             return ExportSource{txtTitle->text(), txtTeacher->text(), document().records(), document().testFolder()};
         },
         [this](const QStringList &records) { appendImportedQuestions(records); },
         [this] { return document().currentFile(); }});
    WebQuizExportAction::addToMenu(mnuFile, m_exchange->exportAction(), [this] {
        WebQuizExportAction::run(txtTitle->text(), txtTeacher->text(), document().records(),
                                 document().testFolder(), document().currentFile());
    });

    // Edit menu, between File and Tools. In the title and class/teacher boxes
    // the keys undo the typing there (the boxes take them first).
    mnuEdit = menuBar()->addMenu(tr("&Edit"));
    mnuEdit->setObjectName(QStringLiteral("mnuEdit"));
    mnuEditUndo = mnuEdit->addAction(tr("&Undo"));
    mnuEditUndo->setObjectName(QStringLiteral("mnuEditUndo"));
    mnuEditUndo->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Z)});
    mnuEditRedo = mnuEdit->addAction(tr("&Redo"));
    mnuEditRedo->setObjectName(QStringLiteral("mnuEditRedo"));
    mnuEditRedo->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    connect(mnuEditUndo, &QAction::triggered, this, &frmCreate::mnuEditUndo_Click);
    connect(mnuEditRedo, &QAction::triggered, this, &frmCreate::mnuEditRedo_Click);

    // File managers open where the test is.
    installToolsAndHelpMenus(menuBar(), this, [this] {
        if (!document().currentFile().isEmpty())
            return QFileInfo(document().currentFile()).absolutePath();
        return document().testFolder();
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

bool frmCreate::isEditMode() const { return m_controller.isEditing(); }

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
    for (QAction *a : {mnuFileSaveas, mnuFilePrint, mnuFilePrintPdf})
        a->setEnabled(c.testCommands);
    cboExist->setEnabled(c.list);
    if (m_exchange)
        m_exchange->setImportEnabled(c.add);
    mnuEditUndo->setEnabled(c.undo);
    mnuEditRedo->setEnabled(c.redo);
    const QString undoText = m_controller.editing().undoText();
    const QString redoText = m_controller.editing().redoText();
    mnuEditUndo->setText(undoText.isEmpty() ? tr("&Undo") : tr("&Undo %1").arg(undoText));
    mnuEditRedo->setText(redoText.isEmpty() ? tr("&Redo") : tr("&Redo %1").arg(redoText));
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
    if ((watched == m_entry->txtMQuestion || watched == m_entry->txtTFquestion) && event->type() == QEvent::KeyPress) {
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
    {
        const QSignalBlocker block(cboExist);
        cboExist->clear();
    }
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
    {
        const QSignalBlocker block(cboExist);
        cboExist->clear();
        // Filled in one step, so the list is sized once.
        cboExist->addItems(document().captions().mid(0, n));
    }
    cboExist->update();
    setListText(document().caption(1));
}

void frmCreate::ClearMedia()
{
    m_media->clear();
}

// ------------------------------------------------------------ start, end

void frmCreate::Form_Load()
{
    m_recent.load(Platform::settings());
    showRecentEntries();
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
    QString error;
    const std::optional<LoadedTest> test = m_controller.open(path, EditorController::OpenOrigin::CommandLine, &error);
    if (!test) {
        MsgBox(error, MsgIcon::Critical);
        return;
    }
    showClearedTest();
    ShowLoadedTest(test->title, test->teacher);
}

// ------------------------------------------------------------ File menu

void frmCreate::mnuFileNew_Click()
{
    EnableQuestionCommands(false);
    lblNumber->setText(EditorLogic::questionLabel(1));
    setWindowTitle(EditorLogic::windowCaption(QStringLiteral("untitled.ard")));
}

void frmCreate::mnuFileOpen_Click()
{
    const QString path = ShowOpenDialog(this, ardenoTestFilter(), QDir::currentPath());
    m_controller.editing().setCurrentFile(path);
    if (path.isEmpty() || !MediaLookup::fileExists(path))
        return;
    if (!hasFileKind(path, QStringLiteral("ard"))) {
        MsgBox(QStringLiteral("File does not appear to be a valid Ardeno test."), MsgIcon::Critical);
        return;
    }
    // A file that cannot be read leaves the test on screen as it was.
    QString error;
    const std::optional<LoadedTest> test = m_controller.open(path, EditorController::OpenOrigin::Menu, &error);
    if (!test) {
        MsgBox(error, MsgIcon::Critical);
        return;
    }
    showClearedTest();
    ShowLoadedTest(test->title, test->teacher);
    EnableQuestionCommands(true);
    lblNumber->setText(EditorLogic::questionLabel(document().nextQuestionNumber()));
    setWindowTitle(EditorLogic::windowCaptionForPath(path));
    AddToRecentFiles(path.toLower());
}

void frmCreate::mnuFileSaveas_Click()
{
    const EditorController::SaveProposal proposal = m_controller.saveProposal(QDir::currentPath());
    const QString path = ShowSaveDialog(this, ardenoTestFilter(), proposal.folder, QStringLiteral("ard"), proposal.name);
    if (path.isEmpty())
        return;
    QString description;
    try {
        CloseAll();
        const SaveResult result = m_controller.save(path, txtTitle->text(), txtTeacher->text(),
                                                    [] { QCoreApplication::processEvents(); });
        if (result.status == SaveResult::Status::Refused)
            return;
        if (result.saved() && MediaLookup::fileExists(path)) {
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
void frmCreate::mnuFileExit_Click() { close(); }

void frmCreate::cmdCancel_Click() { close(); }

void frmCreate::cmdPreview_Click()
{
    frmPreview::showPreview(document(), txtTitle->text(), txtTeacher->text(), this);
}

void frmCreate::mnuFilePrint_Click()
{
    PrintCommands::printTest(this, document(), txtTitle->text(), txtTeacher->text());
}

void frmCreate::mnuFilePrintPdf_Click()
{
    PrintCommands::printTestToPdf(this, document(), txtTitle->text(), txtTeacher->text());
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
    QString error;
    const std::optional<LoadedTest> test = m_controller.open(path, EditorController::OpenOrigin::RecentList, &error);
    if (!test) {
        MsgBox(error, MsgIcon::Critical);
        return;
    }
    showClearedTest();
    ShowLoadedTest(test->title, test->teacher);
    EnableQuestionCommands(true);
    lblNumber->setText(EditorLogic::questionLabel(document().nextQuestionNumber()));
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

void frmCreate::cmdMpic_Click() { PickMediaFile(m_entry->txtMpic); }
void frmCreate::cmdPic_Click() { PickMediaFile(m_entry->txtTFpic); }

void frmCreate::cmdMRemove_Click()
{
    m_entry->txtMpic->setText(QStringLiteral("None"));
    ClearMedia();
}

void frmCreate::cmdTRemove_Click()
{
    m_entry->txtTFpic->setText(QStringLiteral("None"));
    ClearMedia();
}

void frmCreate::txtMpic_Change()
{
    if (m_entry->txtMpic->text().isEmpty()) {
        m_entry->txtMpic->setText(QStringLiteral("none"));
        m_media->picture()->clear();
    }
}

void frmCreate::txtTFpic_Change()
{
    if (m_entry->txtTFpic->text().isEmpty()) {
        m_entry->txtTFpic->setText(QStringLiteral("none"));
        m_media->picture()->clear();
    }
}

void frmCreate::ShowMediaPreview(const QString &path) { m_media->show(path); }

void frmCreate::ShowThumbnail() { m_media->showThumbnail(); }

void frmCreate::cmdPlaywav_Click() { m_media->replay(); }

QString frmCreate::previewMediaPath() const { return m_media->mediaPath(); }
