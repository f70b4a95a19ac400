#include "classresults/ClassExport.h"

#include "classresults/ItemAnalysisModel.h"
#include "document/SpreadsheetText.h"
#include "platform/CheckedFileStream.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>

namespace ClassExport {
QString csvField(const QString &text)
{
    // A name or text a spreadsheet would take for a formula is guarded; a
    // plain number ("-0.33", a figure of ours) stays a number, and a lone
    // "-" (no answer) a dash.
    return SpreadsheetText::cell(text);
}

namespace {
// A figure as the JSON gives it: four decimals, no float noise
// (0.6667, not 0.6666666666666666); a figure the class cannot give (NaN) is
// null.
QJsonValue figure(double v)
{
    return std::isnan(v) ? QJsonValue() : QJsonValue(std::round(v * 10000) / 10000);
}

// A log named by its file's name: what is made of a class names no folder
// of this computer.
QString logName(const QString &path)
{
    return QFileInfo(path).fileName();
}

QString line(const QStringList &fields)
{
    QStringList quoted;
    for (const QString &f : fields)
        quoted << csvField(f);
    return quoted.join(QLatin1Char(',')) + QStringLiteral("\r\n");
}

int indexOf(const ClassResults &results, const StudentResult *r)
{
    return int(r - results.results().constData());
}
}

bool writeCsv(const QString &path, const ClassResults &results, const QList<const StudentResult *> &rows,
              const ClassFigures &figures, QString *reason)
{
    CheckedFileStream out(path);
    const bool opened = out.open();
    if (opened && results.holdsPrivateLogs())
        out.makeOwnerOnly();
    if (!opened || !out.write(csv(results, rows, figures)) || !out.commit()) {
        *reason = out.errorString();
        return false;
    }
    return true;
}

QByteArray csv(const ClassResults &results, const QList<const StudentResult *> &rows, const ClassFigures &figures)
{
    int questions = 0;
    for (const StudentResult *r : rows)
        questions = std::max(questions, r->total);
    QStringList head = {QStringLiteral("Student"), QStringLiteral("Score"), QStringLiteral("Questions"),
                        QStringLiteral("Percent"), QStringLiteral("Seconds"), QStringLiteral("Date"),
                        QStringLiteral("Notes"), QStringLiteral("File")};
    for (int q = 1; q <= questions; ++q)
        head << QStringLiteral("Q%1").arg(q);
    QString out = line(head);
    // The key first, then each answer marked right (✓) or wrong (✗) by its
    // own test's key; an unanswered question stays "-".
    QStringList key = {QStringLiteral("Right answer"), QString(), QString::number(questions), QString(), QString(),
                       QString(), QString(), QString()};
    const StudentResult *reference = nullptr;
    for (int i = 0; i < results.results().size() && !reference; ++i)
        if (!results.isOtherTest(i))
            reference = &results.results()[i];
    for (int q = 0; q < questions; ++q)
        key << (reference ? reference->right.value(q) : QString());
    out += line(key);
    for (const StudentResult *r : rows) {
        QStringList fields = {r->name,
                              QString::number(r->score),
                              QString::number(r->total),
                              QString::number(r->percent),
                              QString::number(r->seconds),
                              r->date.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                              results.flags(indexOf(results, r)).join(QStringLiteral(", ")),
                              logName(r->file)};
        for (int q = 0; q < questions; ++q) {
            const QString given = q < r->total ? r->given.value(q) : QString();
            fields << (given.isEmpty() || given == QLatin1String("-")
                           ? given
                           : given + (r->isRight(q) ? QStringLiteral(" \u2713") : QStringLiteral(" \u2717")));
        }
        out += line(fields);
    }
    out += QStringLiteral("\r\n");
    out += line(ItemAnalysisModel::headers());
    for (const QuestionFigures &q : figures.questions)
        out += line(ItemAnalysisModel::rowTexts(q));
    return QByteArray("\xEF\xBB\xBF") + out.toUtf8();
}

QJsonObject json(const ClassResults &results, const ClassFigures &figures)
{
    QJsonArray students, others, unreadable;
    for (int i = 0; i < results.results().size(); ++i) {
        const StudentResult &r = results.results()[i];
        if (results.isOtherTest(i)) {
            others << logName(r.file);
            continue;
        }
        QJsonObject o;
        o[QStringLiteral("file")] = logName(r.file);
        o[QStringLiteral("name")] = r.name;
        o[QStringLiteral("score")] = r.score;
        o[QStringLiteral("total")] = r.total;
        o[QStringLiteral("percent")] = r.percent;
        o[QStringLiteral("seconds")] = r.seconds;
        o[QStringLiteral("date")] = r.date.toString(Qt::ISODate);
        o[QStringLiteral("answers")] = QJsonArray::fromStringList(r.given);
        o[QStringLiteral("flags")] = QJsonArray::fromStringList(results.flags(i));
        students << o;
    }
    QJsonArray questions;
    for (const QuestionFigures &q : figures.questions) {
        QJsonObject o;
        o[QStringLiteral("number")] = q.number;
        if (!q.text.isEmpty() || !q.rightText.isEmpty()) {
            o[QStringLiteral("text")] = q.text;
            o[QStringLiteral("right_text")] = q.rightText;
        }
        o[QStringLiteral("facility")] = figure(q.facility);
        o[QStringLiteral("most_chosen_wrong")] = q.mostChosenWrong.isEmpty() ? QJsonValue() : QJsonValue(q.mostChosenWrong);
        o[QStringLiteral("most_chosen_wrong_share")] = figure(q.mostChosenWrongShare);
        o[QStringLiteral("unanswered")] = q.unanswered;
        o[QStringLiteral("discrimination")] = figure(q.discrimination);
        QJsonObject options;
        for (const auto &[option, count] : q.options)
            options[option] = count;
        o[QStringLiteral("options")] = options;
        o[QStringLiteral("concern")] = q.concern;
        questions << o;
    }
    for (const QString &file : results.notResults())
        unreadable << QJsonObject{{QStringLiteral("file"), logName(file)}, {QStringLiteral("reason"), QStringLiteral("not a web quiz result")}};
    for (const ResultNotice &n : results.unreadable())
        unreadable << QJsonObject{{QStringLiteral("file"), logName(n.file)}, {QStringLiteral("reason"), n.reason}};
    QString id;
    for (int i : results.counted(ClassResults::Filter()))
        id = results.results()[i].testId;
    const QJsonObject test{{QStringLiteral("title"), results.testTitle()},
                           {QStringLiteral("id"), id},
                           {QStringLiteral("students"), figures.students},
                           {QStringLiteral("mean"), figure(figures.score.mean)},
                           {QStringLiteral("median"), figure(figures.score.median)},
                           {QStringLiteral("sd"), figure(figures.sd)},
                           {QStringLiteral("kr20"), figure(figures.kr20)},
                           {QStringLiteral("sem"), figure(figures.sem)}};
    return {{QStringLiteral("test"), test},
            {QStringLiteral("students"), students},
            {QStringLiteral("questions"), questions},
            {QStringLiteral("unreadable"), unreadable},
            {QStringLiteral("other_tests"), others}};
}
}
