#include "webquiz/LiveAnswerKey.h"

#include <QJsonArray>

bool LiveQuestionKey::accepts(const QString &answer) const
{
    static const QStringList choices = {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("D")};
    static const QStringList truths = {QStringLiteral("True"), QStringLiteral("False")};
    return (trueFalse ? truths : choices).contains(answer);
}

namespace LiveAnswerKey {
QList<LiveQuestionKey> takeFrom(QJsonObject &quiz)
{
    QList<LiveQuestionKey> key;
    QJsonArray questions = quiz.value(QStringLiteral("questions")).toArray();
    // The page starts on the multiple-choice frame with the second option
    // right; a question it cannot show keeps what the one before set.
    bool trueFalse = false;
    int correct = 1;
    for (qsizetype i = 0; i < questions.size(); ++i) {
        QJsonObject q = questions[i].toObject();
        const QString kind = q.value(QStringLiteral("kind")).toString();
        if (kind == QLatin1String("m") || kind == QLatin1String("t")) {
            trueFalse = kind == QLatin1String("t");
            if (!q.value(QStringLiteral("tooFew")).toBool())
                correct = q.value(QStringLiteral("correct")).toInt();
        }
        const int options = trueFalse ? 2 : 4;
        LiveQuestionKey k;
        k.trueFalse = trueFalse;
        if (correct < 0 || correct >= options)
            k.right = QStringLiteral("?");
        else
            k.right = trueFalse ? (correct == 0 ? QStringLiteral("True") : QStringLiteral("False"))
                                : QString(QLatin1Char(char('A' + correct)));
        key << k;
        q.remove(QStringLiteral("correct"));
        questions[i] = q;
    }
    quiz[QStringLiteral("questions")] = questions;
    return key;
}
}
