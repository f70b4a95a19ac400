#include "app/EditorController.h"

#include "document/MediaLookup.h"

#include <QDir>
#include <QFileInfo>

EditorController::EditorController(QObject *parent) : QObject(parent)
{
    m_editing.documentForSave().setHeldMediaRoot(m_held.root());
    connect(&m_editing, &DocumentEditor::undoStateChanged, this, &EditorController::commandsChanged);
}

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

void EditorController::changed()
{
    emit commandsChanged();
}

void EditorController::setTestCommands(bool on)
{
    m_testCommands = on;
    m_list = on;
    changed();
}

void EditorController::setEditMode(bool on)
{
    m_mode = on ? Mode::Editing : Mode::Adding;
    if (!on)
        m_editedNumber = 0;
    m_testCommands = !on;
    changed();
}

void EditorController::clearTest()
{
    TestDocument empty;
    empty.setCurrentFile(document().currentFile());
    empty.setTestFolder(document().testFolder());
    replaceDocument(empty, DocumentEditor::Saved::Yes);
}

// One reset per replacement: the old test is announced once, while it is
// still the document.
void EditorController::replaceDocument(const TestDocument &doc, DocumentEditor::Saved saved)
{
    setEditMode(false);
    m_list = false;
    m_restoredFile.clear();
    m_commandLineFile.clear();
    m_editing.resetDocument(doc, saved);
    changed();
}

QString EditorController::workFile() const
{
    return !document().currentFile().isEmpty() ? document().currentFile() : m_commandLineFile;
}

void EditorController::restoreUnsaved(const QStringList &records, const QString &file, const QString &testFolder)
{
    TestDocument doc;
    // The restored test's bare media names belong where they did.
    doc.setTestFolder(!testFolder.isEmpty() ? testFolder
                      : !file.isEmpty()     ? MediaLookup::testFolderOf(file)
                                            : document().testFolder());
    doc.setRecords(records);
    doc.setCurrentFile(file);
    replaceDocument(doc, DocumentEditor::Saved::No);
    m_restoredFile = file;
}

EditorController::SaveProposal EditorController::saveProposal(const QString &workingFolder) const
{
    if (m_restoredFile.isEmpty())
        return {workingFolder, QString()};
    const QFileInfo file(m_restoredFile);
    return {file.absoluteDir().exists() ? file.absolutePath() : workingFolder, file.fileName()};
}

bool EditorController::add(const QString &record)
{
    return m_editing.addQuestion(record);
}

void EditorController::pick(int number)
{
    m_editedNumber = number;
    setEditMode(true);
    m_editedNumber = number;
}

bool EditorController::update(const QString &record)
{
    return isEditing() && m_editing.replaceQuestion(m_editedNumber, record);
}

bool EditorController::remove()
{
    return isEditing() && m_editing.removeQuestion(m_editedNumber);
}

std::optional<LoadedTest> EditorController::open(const QString &path, OpenOrigin origin, QString *error)
{
    TestReadResult read = readTestFile(path);
    if (!read.test) {
        if (error)
            *error = read.error;
        return std::nullopt;
    }
    TestDocument doc;
    doc.setCurrentFile(document().currentFile());
    doc.setTestFolder(document().testFolder());
    applyLoadedTest(doc, *read.test);
    // Bare media names in the test belong to its folder, however it was opened.
    doc.setTestFolder(MediaLookup::testFolderOf(path));
    if (origin != OpenOrigin::CommandLine)
        doc.setCurrentFile(path);
    replaceDocument(doc, DocumentEditor::Saved::Yes);
    if (origin == OpenOrigin::CommandLine)
        m_commandLineFile = path;
    return read.test;
}

SaveResult EditorController::save(const QString &path, const QString &title, const QString &teacher,
                                  const std::function<void()> &pumpEvents)
{
    SaveResult result = SaveTest(m_editing.documentForSave(), path, title, teacher, pumpEvents);
    if (result.saved() && MediaLookup::fileExists(path)) {
        m_editing.setCurrentFile(path);
        m_editing.setTestFolder(MediaLookup::testFolderOf(path));   // the records now name files there
        m_restoredFile.clear();
        m_editing.setClean();
    }
    return result;
}

bool EditorController::undo() { return undoOrRedo(true); }

bool EditorController::redo() { return undoOrRedo(false); }

bool EditorController::undoOrRedo(bool undo)
{
    if (undo ? !m_editing.canUndo() : !m_editing.canRedo())
        return false;
    leaveEditMode();
    if (undo)
        m_editing.undo();
    else
        m_editing.redo();
    return true;
}
