#include "app/EditorController.h"

#include "document/MediaLookup.h"

#include <functional>
#include <QAction>
#include <QDir>
#include <QFileInfo>

namespace {
const QString Untitled = QStringLiteral("untitled.ard");
}

// One operation of the editor: what it changed is announced once, when the
// outermost one ends (an undo inside an import inside a restore is one).
class EditorController::Operation {
public:
    explicit Operation(EditorController &c) : m_c(c) { ++m_c.m_depth; }
    ~Operation()
    {
        if (--m_c.m_depth > 0)
            return;
        if (std::exchange(m_c.m_entryToClear, false))
            emit m_c.entryCleared();
        if (std::exchange(m_c.m_captionToAnnounce, false))
            emit m_c.captionChanged();
        if (std::exchange(m_c.m_commandsToAnnounce, false))
            emit m_c.commandsChanged();
    }
    Operation(const Operation &) = delete;
    Operation &operator=(const Operation &) = delete;

private:
    EditorController &m_c;
};

EditorController::EditorController(QObject *parent) : QObject(parent), m_captionName(Untitled)
{
    m_editing.setHeldMediaRoot(m_held.root());
    connect(&m_editing, &DocumentEditor::undoStateChanged, this, [this] {
        Operation op(*this);
        m_commandsToAnnounce = true;
        // The title bar's unsaved-changes mark follows every step.
        m_captionToAnnounce = true;
    });
}

EditorController::~EditorController() = default;

EditorController::Commands EditorController::commands() const
{
    Commands c;
    c.add = !isEditing();
    c.typeSwitch = !isEditing();
    c.edit = isEditing();
    c.remove = isEditing();
    c.testCommands = m_testCommands;
    c.list = m_list;
    c.undo = m_editing.canUndo();
    c.redo = m_editing.canRedo();
    return c;
}

// Edit mode disables adding and the test commands; leaving it enables the
// test commands again.
void EditorController::setEditMode(bool on)
{
    m_mode = on ? Mode::Editing : Mode::Adding;
    if (!on)
        m_editedNumber = 0;
    m_testCommands = !on;
    m_commandsToAnnounce = true;
}

void EditorController::setCaptionName(const QString &name)
{
    if (name == m_captionName)
        return;
    m_captionName = name;
    m_captionToAnnounce = true;
}

// Every replacement of the test ends edit mode and the history and empties
// the entry area.
void EditorController::replaceDocument(const TestDocument &doc, DocumentEditor::Saved saved)
{
    setEditMode(false);
    m_list = false;
    m_restoredFile.clear();
    m_commandLineFile.clear();
    m_ownFile.clear();
    m_captionToAnnounce = true;
    m_editing.resetDocument(doc, saved);
    clearEntry();
}

void EditorController::newTest()
{
    Operation op(*this);
    TestDocument empty;
    empty.setCurrentFile(document().currentFile());
    empty.setTestFolder(document().testFolder());
    // Leaving edit mode as the test is emptied turns the test commands on,
    // as the quiz player's editor does; the list goes off.
    replaceDocument(empty, DocumentEditor::Saved::Yes);
    setCaptionName(Untitled);
}

void EditorController::chooseFileToOpen(const QString &path)
{
    m_editing.setCurrentFile(path);
}

QString EditorController::open(const QString &path, OpenOrigin origin, QString *notice)
{
    TestReadResult read = readTestFile(path);
    if (!read.test)
        return read.error;
    if (notice)
        *notice = read.companionNotice;
    Operation op(*this);
    TestDocument doc;
    doc.setCurrentFile(origin == OpenOrigin::CommandLine ? document().currentFile() : path);
    applyLoadedTest(doc, *read.test);
    // Bare media names in the test belong to its folder, however it was opened.
    doc.setTestFolder(MediaLookup::testFolderOf(path));
    replaceDocument(doc, DocumentEditor::Saved::Yes);
    m_testCommands = m_list = true;
    if (origin == OpenOrigin::CommandLine)
        m_commandLineFile = path;
    // The title bar names the file however it was opened.
    setCaptionName(QFileInfo(path).fileName());
    m_ownFile = QFileInfo(path).absoluteFilePath();
    m_lastFolder = QFileInfo(path).absolutePath();
    return QString();
}

void EditorController::restoreUnsaved(const EditorSnapshot &work)
{
    Operation op(*this);
    TestDocument doc;
    // The restored test's bare media names belong where they did.
    doc.setTestFolder(!work.testFolder.isEmpty()   ? work.testFolder
                      : !work.originalPath.isEmpty() ? MediaLookup::testFolderOf(work.originalPath)
                                                     : document().testFolder());
    doc.setTitle(work.title);
    doc.setTeacher(work.teacher);
    doc.setRecords(work.records);
    doc.setCompanion(work.companion);
    doc.setCurrentFile(work.originalPath);
    replaceDocument(doc, DocumentEditor::Saved::No);
    m_list = !work.records.isEmpty();
    m_restoredFile = work.originalPath;
    m_ownFile = work.originalPath;
    setCaptionName(work.originalPath.isEmpty() ? Untitled : QFileInfo(work.originalPath).fileName());
}

void EditorController::setTitle(const QString &title)
{
    Operation op(*this);
    m_editing.setTitleLine(TitleLine::Title, title);
}

void EditorController::setTeacher(const QString &teacher)
{
    Operation op(*this);
    m_editing.setTitleLine(TitleLine::Teacher, teacher);
}

void EditorController::setShuffle(bool shuffle)
{
    if (shuffle == document().shuffle())
        return;
    Operation op(*this);
    m_editing.setTitleLine(TitleLine::Shuffle, shuffle ? QStringLiteral("shuffle") : QString());
}

void EditorController::setLanguage(const QString &language)
{
    Operation op(*this);
    m_editing.setTitleLine(TitleLine::Language, TestCompanion::cleanLanguage(language));
}

bool EditorController::add(const QString &record, const QString &description)
{
    Operation op(*this);
    if (!m_editing.addQuestion(record, description))
        return false;
    m_testCommands = m_list = true;
    clearEntry();
    return true;
}

bool EditorController::importQuestions(const QStringList &records, const QStringList &descriptions)
{
    Operation op(*this);
    const QString step = records.size() == 1 ? tr("Import 1 Question") : tr("Import %1 Questions").arg(records.size());
    if (!m_editing.addQuestions(records, step, descriptions))
        return false;
    m_testCommands = m_list = true;
    return true;
}

void EditorController::pick(int number)
{
    Operation op(*this);
    setEditMode(true);
    m_editedNumber = number;
}

bool EditorController::update(const QString &record, const QString &description)
{
    Operation op(*this);
    if (!isEditing() || !m_editing.replaceQuestion(m_editedNumber, record, description))
        return false;
    leaveEditMode();
    return true;
}

// A change to the question being edited; edit mode ends after it.
bool EditorController::changeEdited(const std::function<bool(int number)> &change)
{
    Operation op(*this);
    if (!isEditing() || !change(m_editedNumber))
        return false;
    leaveEditMode();
    return true;
}

bool EditorController::move(int steps)
{
    return changeEdited([this, steps](int n) { return m_editing.moveQuestion(n, n + steps); });
}

bool EditorController::duplicate()
{
    return changeEdited([this](int n) { return m_editing.duplicateQuestion(n); });
}

bool EditorController::remove()
{
    return changeEdited([this](int n) { return m_editing.removeQuestion(n); });
}

void EditorController::leaveEditMode()
{
    Operation op(*this);
    setEditMode(false);
    clearEntry();
}

bool EditorController::undo() { return undoOrRedo(true); }

bool EditorController::redo() { return undoOrRedo(false); }

bool EditorController::undoOrRedo(bool undo)
{
    if (undo ? !m_editing.canUndo() : !m_editing.canRedo())
        return false;
    Operation op(*this);
    if (isEditing())
        leaveEditMode();
    if (undo)
        m_editing.undo();
    else
        m_editing.redo();
    return true;
}

QAction *EditorController::createUndoAction(QObject *parent) { return createStepAction(parent, true); }

QAction *EditorController::createRedoAction(QObject *parent) { return createStepAction(parent, false); }

QAction *EditorController::createStepAction(QObject *parent, bool undo)
{
    auto *action = new QAction(parent);
    const auto follow = [this, action, undo] {
        const QString step = undo ? undoText() : redoText();
        if (undo)
            action->setText(step.isEmpty() ? tr("&Undo") : tr("&Undo %1").arg(step));
        else
            action->setText(step.isEmpty() ? tr("&Redo") : tr("&Redo %1").arg(step));
        action->setEnabled(undo ? m_editing.canUndo() : m_editing.canRedo());
    };
    follow();
    connect(this, &EditorController::commandsChanged, action, follow);
    connect(action, &QAction::triggered, this, [this, undo] { undoOrRedo(undo); });
    return action;
}

QString EditorController::workFile() const
{
    return !document().currentFile().isEmpty() ? document().currentFile() : m_commandLineFile;
}

EditorSnapshot EditorController::snapshot(const EntryArea &entry) const
{
    EditorSnapshot s;
    s.title = document().title();
    s.teacher = document().teacher();
    s.records = document().records();
    s.companion = document().companion();
    s.originalPath = workFile();
    s.testFolder = document().testFolder();
    s.entry = entry;
    s.entry.editing = editedNumber();
    return s;
}

EditorController::SaveProposal EditorController::saveProposal(const QString &workingFolder) const
{
    const QString fallback = !m_lastFolder.isEmpty() && QFileInfo(m_lastFolder).isDir() ? m_lastFolder : workingFolder;
    if (m_ownFile.isEmpty())
        return {fallback, QString()};
    const QFileInfo file(m_ownFile);
    return {file.absoluteDir().exists() ? file.absolutePath() : fallback, file.fileName()};
}

SaveResult EditorController::save(const QString &path, const SaveOptions &options)
{
    SaveResult result = SaveTest(document(), path, options);
    if (result.saved() && MediaLookup::fileExists(path)) {
        Operation op(*this);
        m_editing.markSaved(path, result.records);
        m_restoredFile.clear();
        m_ownFile = QFileInfo(path).absoluteFilePath();
        m_lastFolder = QFileInfo(path).absolutePath();
        setCaptionName(QFileInfo(path).fileName());
        m_captionToAnnounce = true;   // the unsaved-changes mark goes
    }
    return result;
}
