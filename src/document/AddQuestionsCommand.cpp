#include "document/AddQuestionsCommand.h"

#include "document/QuestionEdits.h"

AddQuestionsCommand::AddQuestionsCommand(QuestionEdits &editor, const QList<StoredQuestion> &questions,
                                         const QString &text)
    : m_editor(editor), m_first(editor.nextQuestionNumber()), m_questions(questions)
{
    setText(text);
}

void AddQuestionsCommand::redo()
{
    for (qsizetype i = 0; i < m_questions.size(); ++i)
        m_editor.insertQuestion(m_first + int(i), m_questions[i]);
}

void AddQuestionsCommand::undo()
{
    for (qsizetype i = m_questions.size() - 1; i >= 0; --i)
        m_questions[i] = m_editor.takeQuestion(m_first + int(i));
}
