#pragma once
// A typed view of one question record: its kind, question, answers, right
// answer and media reference, read from the record's fields by name rather
// than by position. The view keeps every field of the record as it was, so
// a record of unknown kind, with too few or extra fields, or with a field
// separator typed into a text, is written back byte for byte; a setter
// changes its one field and nothing else.

#include "document/QuestionRecord.h"

#include <QString>
#include <QStringList>

class QuestionView {
public:
    explicit QuestionView(const QString &record = QString());

    // By the record's first character, letter case ignored ("m", "t").
    QuestionKind kind() const;
    bool isMultipleChoice() const { return kind() == QuestionKind::MultipleChoice; }
    bool isTrueFalse() const { return kind() == QuestionKind::TrueFalse; }
    // The record holds at least the fields its kind needs (8 or 4).
    bool isComplete() const;
    int fieldCount() const { return int(m_fields.size()); }

    // Field 0: "m", "t", or "m  3" after an edit at position 3.
    QString kindField() const { return field(0); }
    QString question() const { return field(QuestionRecord::QuestionField); }
    // Answers A to D (index 0 to 3) of a multiple-choice record.
    QString answer(int index) const;
    // All four of a complete multiple-choice record; none for any other.
    QStringList answers() const;
    // The media reference of a complete record of a known kind, which is all
    // the preview, the printout and the web page show; "" for any other.
    QString shownMedia() const { return isComplete() ? media() : QString(); }
    // The media reference; "none" in any letter case means no media.
    QString media() const;
    bool hasMedia() const { return !QuestionRecord::isNoMedia(media()); }
    // The right answer: 0 to 3 for A to D, 0 for True and 1 for False. The
    // numeric value of the field, so " 2" and "2" read alike.
    int rightAnswer() const;

    void setKindField(const QString &kind) { setField(0, kind); }
    void setQuestion(const QString &question) { setField(QuestionRecord::QuestionField, question); }
    void setAnswer(int index, const QString &answer);
    void setMedia(const QString &media);
    void setRightAnswer(int index);

    // The record text: exactly the record read when nothing was set.
    QString record() const { return QuestionRecord::join(m_fields); }

private:
    int mediaField() const;
    int rightAnswerField() const;
    QString field(int index) const { return index >= 0 && index < m_fields.size() ? m_fields.at(index) : QString(); }
    void setField(int index, const QString &text);

    QStringList m_fields;
};
