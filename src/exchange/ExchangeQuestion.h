#pragma once
// A question as the exchange formats see it: multiple choice with four
// answers and one right answer, or true/false; its text, its media file.
// Built from a record of exactly 8 or 4 fields, and written back as one.

#include "document/QuestionKind.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

class ExchangeReport;

struct ExchangeQuestion {
    QuestionKind kind = QuestionKind::MultipleChoice;   // never Unknown
    QString question;      // line breaks as CR LF
    QStringList answers;   // A to D for multiple choice; empty for true/false
    int right = 0;         // 0-3 for A-D; 0 true, 1 false
    QString media;         // a file reference; "" for none
    QString description;   // of the media, for those who cannot see or hear it; "" for none
    int number = 0;        // its number in the test it was read from; 0 when it comes from elsewhere

    bool isMultipleChoice() const { return kind == QuestionKind::MultipleChoice; }
    bool rightIsTrue() const { return right == 0; }

    // A record the formats can carry, or nullopt with *why saying what is
    // wrong with it (unknown kind, damaged, no right answer).
    static std::optional<ExchangeQuestion> fromRecord(const QString &record, QString *why);
    // The records 1 to N that the formats can carry, each with its number;
    // every other one is named in the report ("Question 3: ...; skipped.").
    static QList<ExchangeQuestion> fromRecords(const QStringList &records, ExchangeReport &report);

    // The record: kind "m"/"t", "none" for no media. The field separator
    // cannot stand inside a field, so one in a text becomes "(c)" and
    // *separatorReplaced is set.
    QString toRecord(bool *separatorReplaced = nullptr) const;
    // A text as a test can hold it: the field separator, which would split
    // it, written "(c)".
    static QString storableText(const QString &text, bool *separatorReplaced = nullptr);
};
