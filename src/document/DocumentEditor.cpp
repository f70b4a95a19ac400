#include "document/DocumentEditor.h"

#include "document/AddQuestionCommand.h"
#include "document/AddQuestionsCommand.h"
#include "document/RemoveQuestionCommand.h"
#include "document/ReplaceQuestionCommand.h"

DocumentEditor::DocumentEditor(QObject *parent) : QObject(parent)
{
    for (auto signal : {&QUndoStack::canUndoChanged, &QUndoStack::canRedoChanged}) {
        connect(&m_undo, signal, this, &DocumentEditor::undoStateChanged);
    }
    connect(&m_undo, &QUndoStack::undoTextChanged, this, &DocumentEditor::undoStateChanged);
    connect(&m_undo, &QUndoStack::redoTextChanged, this, &DocumentEditor::undoStateChanged);
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
    emit questionsChanged();
}

void DocumentEditor::setClean()
{
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
    emit questionsChanged();
}

QString DocumentEditor::exchangeRecord(int number, const QString &record)
{
    QString old = m_doc.replace(number, record);
    emit questionReplaced(number);
    emit questionsChanged();
    return old;
}

QString DocumentEditor::takeRecord(int number)
{
    QString old = m_doc.remove(number);
    emit questionRemoved(number);
    emit questionsChanged();
    return old;
}
