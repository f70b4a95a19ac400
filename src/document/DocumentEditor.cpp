#include "document/DocumentEditor.h"

#include "document/AddQuestionCommand.h"
#include "document/AddQuestionsCommand.h"
#include "document/ChangeTitleCommand.h"
#include "document/MediaLookup.h"
#include "document/RemoveQuestionCommand.h"
#include "document/ReplaceQuestionCommand.h"

DocumentEditor::DocumentEditor(QObject *parent) : QObject(parent)
{
    // Every step done, undone or redone moves the index, and so does the end
    // of the history; the stack's four text and availability signals would
    // announce one step up to four times.
    connect(&m_undo, &QUndoStack::indexChanged, this, &DocumentEditor::undoStateChanged);
}

DocumentEditor::~DocumentEditor() = default;

bool DocumentEditor::addQuestion(const QString &record)
{
    if (m_doc.isFull())
        return false;
    m_undo.push(new AddQuestionCommand(*this, record));
    return true;
}

bool DocumentEditor::addQuestions(const QStringList &records, const QString &text)
{
    if (records.isEmpty() || m_doc.questionCount() + records.size() > TestDocument::MaxQuestions)
        return false;
    m_undo.push(new AddQuestionsCommand(*this, records, text));
    return true;
}

void DocumentEditor::setTitleLine(TitleLine line, const QString &text)
{
    if (titleLine(line) != text)
        m_undo.push(new ChangeTitleCommand(*this, line, text));
}

bool DocumentEditor::replaceQuestion(int number, const QString &record)
{
    if (number < 1 || number > m_doc.questionCount())
        return false;
    m_undo.push(new ReplaceQuestionCommand(*this, number, record));
    return true;
}

bool DocumentEditor::removeQuestion(int number)
{
    if (number < 1 || number > m_doc.questionCount())
        return false;
    m_undo.push(new RemoveQuestionCommand(*this, number));
    return true;
}

void DocumentEditor::resetDocument(const TestDocument &doc, Saved saved)
{
    emit aboutToReset();
    m_undo.clear();
    // Where held media wait belongs to the editor, not to one test.
    const QString heldMediaRoot = m_doc.heldMediaRoot();
    m_doc = doc;
    if (m_doc.heldMediaRoot().isEmpty())
        m_doc.setHeldMediaRoot(heldMediaRoot);
    if (saved == Saved::No)
        m_undo.resetClean();
    emit documentReset();
    emit testChanged();
}

void DocumentEditor::markSaved(const QString &path, const QStringList &records)
{
    bool renamed = false;
    for (int i = 0; i < records.size() && i < m_doc.questionCount(); ++i)
        if (records[i] != m_doc.record(i + 1)) {
            m_doc.replace(i + 1, records[i]);
            emit questionReplaced(i + 1);
            renamed = true;
        }
    if (renamed)
        emit testChanged();
    m_doc.setCurrentFile(path);
    m_doc.setTestFolder(MediaLookup::testFolderOf(path));   // the records now name files there
    m_undo.setClean();
    emit cleanStateSet();
}

void DocumentEditor::setCurrentFile(const QString &path)
{
    m_doc.setCurrentFile(path);
}

void DocumentEditor::setTestFolder(const QString &folder)
{
    m_doc.setTestFolder(folder);
}

void DocumentEditor::insertRecord(int number, const QString &record)
{
    if (!m_doc.insert(number, record))
        return;
    emit questionInserted(number);
    emit testChanged();
}

QString DocumentEditor::exchangeRecord(int number, const QString &record)
{
    QString old = m_doc.replace(number, record);
    emit questionReplaced(number);
    emit testChanged();
    return old;
}

QString DocumentEditor::takeRecord(int number)
{
    QString old = m_doc.remove(number);
    emit questionRemoved(number);
    emit testChanged();
    return old;
}

QString DocumentEditor::titleLine(TitleLine line) const
{
    return line == TitleLine::Title ? m_doc.title() : m_doc.teacher();
}

QString DocumentEditor::exchangeTitleLine(TitleLine line, const QString &text)
{
    QString old = titleLine(line);
    if (line == TitleLine::Title)
        m_doc.setTitle(text);
    else
        m_doc.setTeacher(text);
    emit titleChanged();
    emit testChanged();
    return old;
}
