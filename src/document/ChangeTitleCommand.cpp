#include "document/ChangeTitleCommand.h"

#include <QCoreApplication>

namespace {
// Distinct from -1 (no merging), one per line.
constexpr int kTitleId = 1;
constexpr int kTeacherId = 2;
constexpr int kLanguageId = 3;
constexpr int kShuffleId = 4;
}

ChangeTitleCommand::ChangeTitleCommand(QuestionEdits &editor, TitleLine line, const QString &text)
    : m_editor(editor), m_line(line), m_text(text)
{
    switch (line) {
    case TitleLine::Title: setText(QCoreApplication::translate("DocumentEditor", "Change Title")); break;
    case TitleLine::Teacher: setText(QCoreApplication::translate("DocumentEditor", "Change Class/Teacher")); break;
    case TitleLine::Language: setText(QCoreApplication::translate("DocumentEditor", "Change Test Language")); break;
    case TitleLine::Shuffle: setText(QCoreApplication::translate("DocumentEditor", "Change Shuffle for Each Student")); break;
    }
}

int ChangeTitleCommand::id() const
{
    switch (m_line) {
    case TitleLine::Title: return kTitleId;
    case TitleLine::Teacher: return kTeacherId;
    case TitleLine::Shuffle: return kShuffleId;
    case TitleLine::Language: break;
    }
    return kLanguageId;
}

void ChangeTitleCommand::swap()
{
    m_text = m_editor.exchangeTitleLine(m_line, m_text);
}

// Called for a step on top of the stack, done, after `other` was done: this
// one still holds the text from before the run, and the document holds the
// run's latest text, so the merged step undoes to the first and redoes to
// the last by the same swap.
bool ChangeTitleCommand::mergeWith(const QUndoCommand *other)
{
    if (other->id() != id())
        return false;
    setObsolete(m_editor.titleLine(m_line) == m_text);
    return true;
}
