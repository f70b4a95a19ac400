#include "classresults/ItemAnalysis.h"

#include <QHash>
#include <algorithm>
#include <cmath>

namespace {
const QStringList &optionOrder()
{
    static const QStringList order = {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"),
                                      QStringLiteral("D"), QStringLiteral("True"), QStringLiteral("False")};
    return order;
}

Spread spreadOf(QList<int> values)
{
    Spread s;
    if (values.isEmpty())
        return s;
    std::sort(values.begin(), values.end());
    double sum = 0;
    for (int v : values)
        sum += v;
    const qsizetype n = values.size();
    s.mean = sum / double(n);
    s.median = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
    s.lowest = values.first();
    s.highest = values.last();
    return s;
}

QString percentText(double share)
{
    return QStringLiteral("%1%").arg(qRound(share * 100));
}
}

namespace ItemAnalysis {
int groupSize(int students)
{
    return std::max(1, int(std::lround(0.27 * students)));
}

int bandOf(int percent)
{
    return std::clamp(percent / 10, 0, 9);
}

ClassFigures analyse(const QList<const StudentResult *> &results, int questions)
{
    ClassFigures f;
    f.students = int(results.size());
    f.bands.fill(0, 10);
    if (results.isEmpty())
        return f;
    QList<int> scores, percents, times;
    for (const StudentResult *r : results) {
        scores << r->score;
        percents << r->percent;
        times << r->seconds;
        ++f.bands[bandOf(r->percent)];
    }
    f.score = spreadOf(scores);
    {
        const double n = double(scores.size());
        double squares = 0;
        for (int v : scores)
            squares += (v - f.score.mean) * (v - f.score.mean);
        f.sd = n > 1 ? std::sqrt(squares / (n - 1)) : std::nan("");
        const double variance = squares / n;   // over n, as KR-20 takes it
        double pq = 0;
        for (int q = 0; q < questions; ++q) {
            int right = 0;
            for (const StudentResult *r : results)
                right += r->isRight(q);
            const double p = right / n;
            pq += p * (1 - p);
        }
        f.kr20 = questions > 1 && n > 1 && variance > 0 ? (questions / (questions - 1.0)) * (1 - pq / variance)
                                                        : std::nan("");
        f.sem = std::isnan(f.kr20) || std::isnan(f.sd) ? std::nan("") : f.sd * std::sqrt(std::max(0.0, 1 - f.kr20));
    }
    f.percent = spreadOf(percents);
    f.time = spreadOf(times);

    // The top and bottom groups, fair to ties and whatever the order the
    // logs were opened in: students tied with the group's last place share
    // the places left, each counting with the weight (places left / students
    // tied).
    f.groupSize = groupSize(f.students);
    using Weighted = QList<QPair<const StudentResult *, double>>;
    const auto group = [&results, g = f.groupSize](bool top) {
        QList<int> scores;
        for (const StudentResult *r : results)
            scores << r->score;
        std::sort(scores.begin(), scores.end());
        if (top)
            std::reverse(scores.begin(), scores.end());
        const int boundary = scores[g - 1];
        const auto inside = [top, boundary](int score) { return top ? score > boundary : score < boundary; };
        int above = 0, tied = 0;
        for (const int s : scores) {
            above += inside(s);
            tied += s == boundary;
        }
        Weighted out;
        for (const StudentResult *r : results) {
            if (inside(r->score))
                out.append({r, 1.0});
            else if (r->score == boundary)
                out.append({r, double(g - above) / double(tied)});
        }
        return out;
    };
    const Weighted top = group(true), bottom = group(false);
    f.topGroup.clear();
    f.bottomGroup.clear();
    for (const auto &[r, w] : top)
        f.topGroup << r->name;
    for (const auto &[r, w] : bottom)
        f.bottomGroup << r->name;
    const auto shareRight = [g = f.groupSize](const Weighted &members, int q) {
        double right = 0;
        for (const auto &[r, w] : members)
            right += r->isRight(q) ? w : 0;
        return right / double(g);
    };

    for (int q = 0; q < questions; ++q) {
        QuestionFigures figures;
        figures.number = q + 1;
        int right = 0;
        QHash<QString, int> wrong;
        for (const StudentResult *r : results) {
            const QString given = r->given.value(q, QStringLiteral("-"));
            if (given == QLatin1String("-"))
                ++figures.unanswered;
            else if (r->isRight(q))
                ++right;
            else
                ++wrong[given];
        }
        figures.facility = double(right) / double(f.students);
        QHash<QString, int> chosen;
        for (const StudentResult *r : results)
            ++chosen[r->given.value(q, QStringLiteral("-"))];
        // The options a question of its kind has, and those given besides.
        const bool trueFalse = chosen.contains(QStringLiteral("True")) || chosen.contains(QStringLiteral("False"))
                               || results.first()->right.value(q) == QLatin1String("True")
                               || results.first()->right.value(q) == QLatin1String("False");
        for (const QString &option : optionOrder()) {
            const bool ofKind = trueFalse ? option == QLatin1String("True") || option == QLatin1String("False")
                                          : option.size() == 1;
            if (ofKind || chosen.contains(option))
                figures.options.append({option, chosen.value(option)});
        }
        figures.options.append({QStringLiteral("unanswered"), chosen.value(QStringLiteral("-"))});
        int most = 0;
        for (const QString &option : optionOrder()) {
            if (wrong.value(option) > most) {
                most = wrong.value(option);
                figures.mostChosenWrong = option;
            }
        }
        figures.mostChosenWrongShare = double(most) / double(f.students);
        // Weighted shares of equal groups differ by rounding alone (1e-16):
        // that is no discrimination at all.
        const double d = shareRight(top, q) - shareRight(bottom, q);
        figures.discrimination = std::abs(d) < 1e-9 ? 0.0 : d;

        QStringList concern;
        if (figures.facility < kLowFacility) {
            QString c = QStringLiteral("few right (%1)").arg(percentText(figures.facility));
            if (!figures.mostChosenWrong.isEmpty())
                c += QStringLiteral("; most chose %1").arg(figures.mostChosenWrong);
            concern << c;
        }
        // A small negative figure is noise, not a finding.
        if (figures.discrimination < kNegativeDiscrimination)
            concern << QStringLiteral("the weaker students did better (%1)").arg(figures.discrimination, 0, 'f', 2);
        figures.concern = concern.join(QStringLiteral("; "));
        f.questions << figures;
    }
    return f;
}
}
