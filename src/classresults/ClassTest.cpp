#include "classresults/ClassTest.h"

#include "document/QuestionView.h"
#include "document/TestFile.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

namespace {
constexpr int kTestsLookedAtPerFolder = 300;
}

ClassTest ClassTest::read(const QString &path, QString *reason)
{
    const TestReadResult r = readTestFile(path);
    if (!r.test) {
        if (reason)
            *reason = r.error;
        return {};
    }
    ClassTest t;
    t.path = path;
    t.title = r.test->title;
    t.id = testIdentity(r.test->title, r.test->teacher, r.test->records);
    for (const QString &record : r.test->records) {
        const QuestionView q(record);
        const bool shown = q.isComplete();
        t.texts << (shown ? q.question() : QString());
        QString right;
        if (shown && q.isTrueFalse())
            right = q.rightAnswer() == 0 ? QStringLiteral("True") : q.rightAnswer() == 1 ? QStringLiteral("False") : QString();
        else if (shown && q.isMultipleChoice() && q.rightAnswer() >= 0 && q.rightAnswer() < 4)
            right = QStringLiteral("%1: %2").arg(QChar(u'A' + q.rightAnswer())).arg(q.answers().value(q.rightAnswer()));
        t.rightTexts << right;
    }
    return t;
}

QStringList ClassTest::foldersAround(const QStringList &logFiles)
{
    QStringList out;
    QSet<QString> seen;
    for (const QString &file : logFiles) {
        const QFileInfo info(file);
        const QString folder = info.isDir() ? info.absoluteFilePath() : info.absolutePath();
        for (const QString &f : {folder, QFileInfo(folder).absolutePath()}) {
            if (!seen.contains(f)) {
                seen.insert(f);
                out << f;
            }
        }
    }
    return out;
}

ClassTest ClassTest::find(const QString &id, const QStringList &folders, const QStringList &files)
{
    if (id.isEmpty())
        return {};
    QStringList candidates = files;
    for (const QString &folder : folders) {
        const QFileInfoList tests = QDir(folder).entryInfoList({QStringLiteral("*.ard"), QStringLiteral("*.ARD")},
                                                               QDir::Files, QDir::Name);
        for (qsizetype i = 0; i < tests.size() && i < kTestsLookedAtPerFolder; ++i)
            candidates << tests[i].absoluteFilePath();
    }
    for (const QString &path : candidates) {
        const ClassTest t = read(path);
        if (t.id == id)
            return t;
    }
    return {};
}

void ClassTest::annotate(ClassFigures &figures) const
{
    for (QuestionFigures &q : figures.questions) {
        q.text = texts.value(q.number - 1);
        q.rightText = rightTexts.value(q.number - 1);
    }
}
