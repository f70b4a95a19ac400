#pragma once
// The class's figures: per question its facility (the share of students
// who answered it right), the wrong answer most chosen and its share,
// how many left it unanswered, and its discrimination index (the share
// right among the top 27% of the class by score minus the share right
// among the bottom 27%); for the class, the spread of scores and times and
// the score distribution in 10-percent bands.

#include "classresults/StudentResult.h"

#include <QList>
#include <QString>

struct QuestionFigures {
    int number = 0;               // 1-based
    double facility = 0;          // 0..1
    QString mostChosenWrong;      // "" when nobody answered wrong
    double mostChosenWrongShare = 0;   // of all students
    int unanswered = 0;
    double discrimination = 0;    // -1..1
    // How many chose each option ("A".."D", "True", "False") and
    // "unanswered": the distractor a third of the class chose shows here.
    QList<QPair<QString, int>> options;
    // Why the question deserves a look ("few right (20%); most chose C"),
    // "" when it does not.
    QString concern;
    // From the test, when it is known (see ClassTest): the question's text
    // and the right answer's ("C: Nile").
    QString text;
    QString rightText;
};

struct Spread {
    double mean = 0, median = 0;
    int highest = 0, lowest = 0;
};

struct ClassFigures {
    int students = 0;
    int groupSize = 0;            // of the top and bottom groups
    // Who formed them (students tied at a group's last place share it).
    QStringList topGroup, bottomGroup;
    QList<QuestionFigures> questions;
    Spread score, percent, time;  // right answers; percent; seconds
    QList<int> bands;             // students per 10-percent band (0-9, ..., 90-100)
    // The test as a measure: the scores' standard deviation (n - 1), the
    // reliability (Kuder-Richardson 20, with the scores' variance over n and
    // each question's facility as p) and the standard error of measurement
    // (sd x sqrt(1 - KR-20)); NaN where the class cannot give them (fewer
    // than two students, one question, or every score the same).
    double sd = 0, kr20 = 0, sem = 0;
};

namespace ItemAnalysis {
constexpr double kLowFacility = 0.3;
// Below this a question is flagged as one the weaker students did better
// on; between it and 0 the figure is noise, not a finding.
constexpr double kNegativeDiscrimination = -0.1;

// `questions`: the class's number of questions; results with fewer answers
// count the missing ones as unanswered.
ClassFigures analyse(const QList<const StudentResult *> &results, int questions);

// Students in each of the top and bottom groups: 27% of the class, at least one.
int groupSize(int students);
// The 10-percent band a percent falls in (100 in the last).
int bandOf(int percent);
}
