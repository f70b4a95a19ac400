#pragma once
// One student's result of a web quiz, as its result log states it.

#include <QDateTime>
#include <QString>
#include <QStringList>

struct StudentResult {
    QString file;          // the log it was read from
    QString name;
    QString title;         // the test's title and class/teacher line
    QString teacher;
    QString testId;        // "" in logs written before results named their test
    QDateTime date;
    int score = 0;         // right answers
    int total = 0;         // questions
    int percent = 0;       // as the report rounds it (down)
    int seconds = 0;
    // Per question: the option chosen ("A".."D", "True", "False"; "-" none)
    // and the right one ("?" where a damaged question names none).
    QStringList given;
    QStringList right;

    bool isRight(int question) const
    {
        return question < given.size() && given[question] != QLatin1String("-") && given[question] == right.value(question);
    }
};
