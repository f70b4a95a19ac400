#pragma once
// A question lives as one string of fields joined by the field separator
// (code 169). Multiple choice: kind, question, answers A-D, media reference,
// correct index (8 fields). True/false: kind, question, media reference,
// answer index (4 fields). These helpers build and read such records.

#include "document/QuestionKind.h"

#include <QString>
#include <QStringList>

namespace QuestionRecord {
inline constexpr QChar FieldSeparator = QChar(0xA9);
constexpr int MultipleChoiceFields = 8;
constexpr int TrueFalseFields = 4;
constexpr int QuestionField = 1;
constexpr int FirstAnswerField = 2;           // answers A to D: fields 2 to 5
constexpr int MultipleChoiceMediaField = 6;
constexpr int MultipleChoiceAnswerField = 7;  // the right answer, 0 to 3
constexpr int TrueFalseMediaField = 2;
constexpr int TrueFalseAnswerField = 3;       // 0 true, 1 false

// What the editor's boxes take: every way a question comes in keeps to it,
// so nothing the program writes is too large for it to read back.
constexpr int MaxQuestionText = 256;
constexpr int MaxAnswerText = 90;
// Longer than any path a system accepts: not a file name.
constexpr int MaxMediaReference = 4096;


// A number as records, labels and device commands write it: a blank before a
// zero or positive number (" 2"), a minus sign before a negative one.
QString withSignPosition(long long n);

// The numeric value of a field: leading blanks skipped, an optional sign and
// digits (and decimals) read up to the first other character, rounded to the
// nearest whole number (halves to even). No leading number reads as 0.
int numericValue(const QString &field);

// The kind field: "m"/"t" when added, "m  3" after an edit at position 3.
QString kindField(QChar letter, int editedPosition = 0);

QString multipleChoice(const QString &kind, const QString &question, const QString &answerA,
                       const QString &answerB, const QString &answerC, const QString &answerD,
                       const QString &media, int correctIndex);
QString trueFalse(const QString &kind, const QString &question, const QString &media,
                  int answerIndex);

// Split at every separator, no limit on the number of pieces.
QStringList fields(const QString &record);
QString join(const QStringList &fields);

// By the first character, letter case ignored. The editor's list trims
// blanks from the record first (withoutEdgeBlanks); the runner and printing
// do not.
QuestionKind kindOf(const QString &record);
// The record without the blanks at either end, as the editor's list reads
// it. Blanks only: a record that begins with another white-space character
// is of no known kind there, as for the quiz player.
QString withoutEdgeBlanks(const QString &record);

// Index of the media field for a record of exactly 8 or exactly 4 fields,
// else -1 (saving and the answer key look only at such records).
int exactMediaFieldIndex(const QStringList &fields);

// "none" in any letter case means no media.
bool isNoMedia(const QString &reference);
// What a record holds for no media: "none".
QString noMedia();
}
