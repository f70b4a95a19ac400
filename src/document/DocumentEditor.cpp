#include "document/DocumentEditor.h"

#include "document/AddQuestionCommand.h"
#include "document/AddQuestionsCommand.h"
#include "document/ChangeTitleCommand.h"
#include "document/MediaLookup.h"
#include "document/DuplicateQuestionCommand.h"
#include "document/MoveQuestionCommand.h"
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

bool DocumentEditor::addQuestion(const QString &record, const QString &description)
{
    if (m_doc.isFull())
        return false;
    m_undo.push(new AddQuestionCommand(*this, {record, description}));
    return true;
}

bool DocumentEditor::addQuestions(const QStringList &records, const QString &text, const QStringList &descriptions)
{
    if (records.isEmpty() || m_doc.questionCount() + records.size() > TestDocument::MaxQuestions)
        return false;
    QList<StoredQuestion> questions;
    for (qsizetype i = 0; i < records.size(); ++i)
        questions.append({records[i], descriptions.value(i)});
    m_undo.push(new AddQuestionsCommand(*this, questions, text));
    return true;
}

void DocumentEditor::setTitleLine(TitleLine line, const QString &text)
{
    if (titleLine(line) != text)
        m_undo.push(new ChangeTitleCommand(*this, line, text));
}

bool DocumentEditor::replaceQuestion(int number, const QString &record, const QString &description)
{
    if (number < 1 || number > m_doc.questionCount())
        return false;
    m_undo.push(new ReplaceQuestionCommand(*this, number, {record, description}));
    return true;
}

bool DocumentEditor::moveQuestion(int from, int to)
{
    const int count = m_doc.questionCount();
    if (from < 1 || from > count || to < 1 || to > count || from == to)
        return false;
    m_undo.push(new MoveQuestionCommand(*this, from, to));
    return true;
}

bool DocumentEditor::duplicateQuestion(int number)
{
    if (number < 1 || number > m_doc.questionCount() || m_doc.isFull())
        return false;
    m_undo.push(new DuplicateQuestionCommand(*this, number));
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

void DocumentEditor::insertQuestion(int number, const StoredQuestion &question)
{
    if (!m_doc.insert(number, question.record, question.description))
        return;
    emit questionInserted(number);
    emit testChanged();
}

StoredQuestion DocumentEditor::exchangeQuestion(int number, const StoredQuestion &question)
{
    StoredQuestion old;
    old.record = m_doc.replace(number, question.record);
    old.description = m_doc.replaceDescription(number, question.description);
    emit questionReplaced(number);
    emit testChanged();
    return old;
}

StoredQuestion DocumentEditor::takeQuestion(int number)
{
    StoredQuestion old;
    old.record = m_doc.remove(number, &old.description);
    emit questionRemoved(number);
    emit testChanged();
    return old;
}

QString DocumentEditor::titleLine(TitleLine line) const
{
    switch (line) {
    case TitleLine::Title: return m_doc.title();
    case TitleLine::Teacher: return m_doc.teacher();
    case TitleLine::Shuffle: return m_doc.shuffle() ? QStringLiteral("shuffle") : QString();
    case TitleLine::Language: break;
    }
    return m_doc.language();
}

QString DocumentEditor::exchangeTitleLine(TitleLine line, const QString &text)
{
    QString old = titleLine(line);
    switch (line) {
    case TitleLine::Title: m_doc.setTitle(text); break;
    case TitleLine::Teacher: m_doc.setTeacher(text); break;
    case TitleLine::Language: m_doc.setLanguage(text); break;
    case TitleLine::Shuffle: m_doc.setShuffle(!text.isEmpty()); break;
    }
    emit titleChanged();
    emit testChanged();
    return old;
}
