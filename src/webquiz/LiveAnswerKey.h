#pragma once
// What the teacher's computer keeps back from a live class's page: each
// question's frame (multiple choice or true/false) and its right option.
// The page runs as the web quiz does, but holds no right answer; the
// computer gives it with the feedback, once the student has answered.

#include <QJsonObject>
#include <QList>
#include <QString>

struct LiveQuestionKey {
    bool trueFalse = false;
    QString right;   // "A".."D", "True", "False", or "?" when the question names no option

    // The options a student may give on this question.
    bool accepts(const QString &answer) const;
};

namespace LiveAnswerKey {
// Reads the key out of the web quiz's test block (as the page's script reads
// it, damaged questions keeping the frame and right answer of the one
// before, as the preview does) and removes every right answer from the block.
QList<LiveQuestionKey> takeFrom(QJsonObject &quiz);
}
