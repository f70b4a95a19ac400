#include "app/QuestionEntryFlow.h"

#include "widgets/Controls.h"

#include "app/EditorController.h"
#include "app/EditorLogic.h"
#include "app/QuestionEntryPanel.h"
#include "app/QuestionListPanel.h"
#include "document/MediaLookup.h"
#include "document/QuestionRecord.h"
#include "media/modSound.h"
#include "platform/MsgBox.h"
#include "widgets/MediaPreviewPanel.h"

#include <QLabel>

namespace {
const QString SubscriptOutOfRange = QStringLiteral("Subscript out of range\nfrmCreate\n9");   // description, source, number
}

QuestionEntryFlow::QuestionEntryFlow(EditorController &controller, QuestionEntryPanel &entry, QuestionListPanel &list,
                                     MediaPreviewPanel &media, QLabel &number, QObject *parent)
    : QObject(parent), m_controller(controller), m_entry(entry), m_list(list), m_media(media), m_number(number)
{
}

void QuestionEntryFlow::showType(QuestionKind type)
{
    m_entry.showFrame(type);
    m_media.clear();
}

void QuestionEntryFlow::add()
{
    if (m_controller.document().isFull()) {
        MsgBox(QStringLiteral("Tests are limited to 100 questions."), MsgIcon::Critical);
        return;
    }
    m_controller.questionType() == QuestionKind::MultipleChoice ? AddMultipleChoice() : AddTrueFalse();
}

// A full test refuses the question with the message of its type.
bool QuestionEntryFlow::addEntered(QuestionKind type)
{
    const bool multiple = type == QuestionKind::MultipleChoice;
    const std::optional<QString> record =
        m_entry.enteredRecord(type, multiple ? QStringLiteral("m") : QStringLiteral("t"));
    if (!record)
        return false;
    if (!m_controller.add(*record, m_entry.description(type))) {
        if (multiple)
            MsgBox(QStringLiteral("There was an error adding this question.  Please fill in all blanks and try again."),
                   MsgIcon::Critical);
        else
            MsgBox(SubscriptOutOfRange);
        return false;
    }
    m_entry.focusQuestion(type);
    return true;
}

void QuestionEntryFlow::pick(int listIndex)
{
    if (!m_controller.isEditing() && !m_entry.questionText(m_controller.questionType()).isEmpty()) {
        const MsgResult answer = MsgBox(
            QStringLiteral("Going to edit mode will result in the loss of information in the current question, "
                           "which has not yet been added to the quiz.  Would you like to add this question to the quiz?"),
            MsgIcon::Question, MsgButtons::YesNo);
        if (answer == MsgResult::Yes) {
            add();
            return;
        }
    }
    m_controller.pick(listIndex + 1);
    CloseAll();
    bool shown = false;
    const QString record = QuestionRecord::withoutEdgeBlanks(m_controller.document().record(listIndex + 1));
    switch (QuestionRecord::kindOf(record)) {
    case QuestionKind::MultipleChoice: shown = LoadMultipleChoice(record); break;
    case QuestionKind::TrueFalse: shown = LoadTrueFalse(record); break;
    case QuestionKind::Unknown: break;
    }
    if (!shown) {
        MsgBox(QStringLiteral("Unable to display this question.  Question appears to be corrupted."), MsgIcon::Critical);
        return;
    }
    Controls::setAnnouncedText(&m_number, EditorLogic::questionLabel(listIndex + 1));
    m_list.showPicked(listIndex);
}

// A record too short for its kind is named in a message; a right answer that
// is none of the options is named only for multiple choice (the caller then
// says the question cannot be shown).
bool QuestionEntryFlow::load(QuestionKind type, const QString &record)
{
    const bool multiple = type == QuestionKind::MultipleChoice;
    if (m_entry.selectType(type))
        m_media.clear();   // as a click on the type option does
    m_entry.showFrame(type);
    if (record.isEmpty())
        return false;
    const QuestionView q(record);
    const int fieldsNeeded = multiple ? QuestionRecord::MultipleChoiceFields : QuestionRecord::TrueFalseFields;
    const bool complete = q.fieldCount() >= fieldsNeeded;
    if (!complete || !(multiple ? m_entry.showMultipleChoice(q) : m_entry.showTrueFalse(q))) {
        if (!complete || multiple)
            MsgBox(QStringLiteral("An error has occured.  Unable to process question ") + q.kindField());
        return false;
    }
    // The media lookup: the reference itself, else in the test's folder.
    m_entry.setDescription(type, m_controller.document().description(m_controller.editedNumber()));
    const QString media = MediaLookup::resolve(q.media(), m_controller.document().testFolder());
    if (!media.isEmpty())
        m_media.show(media);
    return true;
}

void QuestionEntryFlow::update()
{
    const int position = m_controller.editedNumber() - 1;   // -1 when none is picked
    if (!(m_controller.questionType() == QuestionKind::MultipleChoice ? UpdateMultipleChoice(position)
                                                                      : UpdateTrueFalse(position)))
        MsgBox(QStringLiteral("There has been an error in editing this question."), MsgIcon::Critical);
}

bool QuestionEntryFlow::updateEdited(QuestionKind type, int position)
{
    const bool multiple = type == QuestionKind::MultipleChoice;
    const QString kind = QuestionRecord::kindField(QLatin1Char(multiple ? 'm' : 't'), position + 1);
    const std::optional<QString> record = m_entry.enteredRecord(type, kind);
    if (!record)
        return false;
    if (position < 0 || position + 1 > TestDocument::MaxQuestions) {
        if (multiple)
            MsgBox(SubscriptOutOfRange);
        return false;
    }
    m_controller.update(*record, m_entry.description(type));
    m_entry.focusQuestion(type);
    return true;
}

void QuestionEntryFlow::remove()
{
    const int p = m_controller.editedNumber();
    if (p < 1 || p > m_controller.document().questionCount()) {
        MsgBox(QStringLiteral("Error removing question."), MsgIcon::Critical);
        return;
    }
    // The focus moves before Remove is disabled: otherwise Qt passes it on
    // like a Tab to Test Title, whose whole text the next keystroke replaces.
    focusQuestionPicker();
    m_controller.remove();
}

// The list, or the question box when the list will be empty.
void QuestionEntryFlow::focusQuestionPicker()
{
    if (m_controller.document().questionCount() <= 1 || !m_list.focusList())
        m_entry.focusQuestion(m_controller.questionType());
}
