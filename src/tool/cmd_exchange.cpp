// ardeno-tool commands for question exchange:
//   import IN OUT.ard [--format F] [--title T] [--teacher T]
//          [--pick 1-20,35 | --random N [--seed S]]
//   export IN.ard OUT [--format F] [--pass-mark PERCENT|none]
// The format comes from --format, else from the name of the file that is not
// the test. The report goes to stderr; exit 0 when everything went across,
// 3 when something stayed behind, 1 on failure (nothing written), 2 on bad
// arguments.

#include "platform/OutputFolder.h"
#include "tool/ToolCommand.h"

#include "exchange/QuestionExport.h"
#include "exchange/QuestionImport.h"

#include "document/MediaLookup.h"
#include "document/TestFile.h"

#include <QFile>
#include <QDateTime>
#include <QFileInfo>
#include <cstdio>

namespace {
void printReport(const ExchangeReport &report)
{
    std::fprintf(stderr, "%s\n", report.text().toLocal8Bit().constData());
}

struct ExchangeArguments {
    QStringList files;
    QString format, title, teacher, passMark, pick, random, seed;
    bool hasTitle = false, hasTeacher = false;
    bool shuffle = false;
};

// Two file names and the options; false on anything else.
bool parse(const QStringList &args, bool titles, ExchangeArguments *out)
{
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        QString *value = nullptr;
        QString option = a;
        QString inlineValue;
        const qsizetype eq = a.indexOf(QLatin1Char('='));
        if (a.startsWith(QLatin1String("--")) && eq > 0) {
            option = a.left(eq);
            inlineValue = a.mid(eq + 1);
        }
        if (option == QLatin1String("--format"))
            value = &out->format;
        else if (titles && option == QLatin1String("--title"))
            value = &out->title, out->hasTitle = true;
        else if (titles && option == QLatin1String("--teacher"))
            value = &out->teacher, out->hasTeacher = true;
        else if (titles && option == QLatin1String("--pick"))
            value = &out->pick;
        else if (titles && option == QLatin1String("--random"))
            value = &out->random;
        else if (titles && option == QLatin1String("--seed"))
            value = &out->seed;
        else if (!titles && a == QLatin1String("--shuffle")) {
            out->shuffle = true;
            continue;
        } else if (!titles && option == QLatin1String("--pass-mark"))
            value = &out->passMark;
        else if (a.startsWith(QLatin1String("--")))
            return false;
        if (!value) {
            out->files << a;
            continue;
        }
        if (eq > 0 && a.startsWith(QLatin1String("--"))) {
            *value = inlineValue;
        } else {
            if (i + 1 >= args.size())
                return false;
            *value = args[++i];
        }
    }
    return out->files.size() == 2;
}

// The named format, or nullptr after saying that it is unknown.
bool namedFormat(const QString &name, QuestionFormat::Capability wanted, const QuestionFormat **format)
{
    *format = nullptr;
    if (name.isEmpty())
        return true;
    const QuestionFormatRegistry &registry = QuestionFormatRegistry::instance();
    const QuestionFormat *f = registry.byShortName(name);
    if (!f || !f->hasCapabilities(wanted)) {
        std::fprintf(stderr, "Unknown format \"%s\"; the formats are: %s.\n", name.toLocal8Bit().constData(),
                     registry.shortNames(wanted).join(QStringLiteral(", ")).toLocal8Bit().constData());
        return false;
    }
    *format = f;
    return true;
}

int importCommand(const QStringList &args)
{
    ExchangeArguments a;
    const QuestionFormat *format = nullptr;
    if (!parse(args, true, &a))
        return toolUsageError();
    if (!namedFormat(a.format, QuestionFormat::Read, &format))
        return 2;
    const QString in = a.files[0], out = a.files[1];

    ImportRequest request;
    request.path = in;
    request.format = format;
    request.mediaFolder = QFileInfo(out).absolutePath();
    // From a bank: the questions named (--pick 1-20,35) or drawn (--random N
    // --seed S), numbered as the editor's chooser numbers them.
    if (!a.pick.isEmpty() || !a.random.isEmpty()) {
        if (!a.pick.isEmpty() && !a.random.isEmpty())
            return toolUsageError();
        const BankListing bank = listBank(request);
        if (bank.report.failed()) {
            printReport(bank.report);
            return 1;
        }
        const int count = int(bank.entries.size());
        if (!a.pick.isEmpty()) {
            const std::optional<QList<int>> picked = parsePick(a.pick, count);
            if (!picked) {
                std::fprintf(stderr, "--pick %s: the file holds questions 1 to %d; name them as 1-20,35.\n",
                             a.pick.toLocal8Bit().constData(), count);
                return 2;
            }
            request.pick = *picked;
        } else {
            bool countOk = false, seedOk = a.seed.isEmpty();
            const int n = a.random.toInt(&countOk);
            const quint32 seed = a.seed.isEmpty() ? quint32(QDateTime::currentMSecsSinceEpoch()) : a.seed.toUInt(&seedOk);
            if (!countOk || n < 1 || !seedOk)
                return toolUsageError();
            request.pick = drawAtRandom(n, count, seed);
            std::fprintf(stderr, "Drawn with seed %u.\n", seed);
        }
        if (request.pick.isEmpty())
            return toolUsageError();
        request.source = bank.source;   // the file listed, not whatever has its name now
    }
    ImportOutcome imported = importQuestions(request);
    if (imported.report.failed()) {
        printReport(imported.report);
        return 1;
    }
    // The test's title and class/teacher line: the options, else the file's
    // own, else made from the file's name.
    ExportRequest save;
    save.path = out;
    save.format = QuestionFormatRegistry::instance().byShortName(QStringLiteral("ard"));
    save.source.title = a.hasTitle ? a.title : !imported.title.isEmpty() ? imported.title
                                                                       : QFileInfo(in).completeBaseName();
    save.source.teacher = a.hasTeacher ? a.teacher : !imported.teacher.isEmpty()
                                                         ? imported.teacher
                                                         : QStringLiteral("Imported from %1").arg(MediaLookup::nameOf(in));
    save.source.records = imported.records;
    save.source.companion.descriptions = imported.descriptions;
    save.source.mediaFolder = request.mediaFolder + QLatin1Char('/');
    const ExchangeReport written = exportQuestions(save);
    if (written.failed()) {
        const OutputFolderPtr mediaFolder = OutputFolder::open(request.mediaFolder);
        for (const QString &media : imported.createdMedia)
            mediaFolder->remove(QFileInfo(media).fileName());
        printReport(written);
        return 1;
    }
    // The import has said what stayed behind; the save of the same records
    // would only say each missing media file a second time.
    printReport(imported.report);
    return imported.report.exitStatus();
}

int exportCommand(const QStringList &args)
{
    ExchangeArguments a;
    const QuestionFormat *format = nullptr;
    if (!parse(args, false, &a))
        return toolUsageError();
    if (!namedFormat(a.format, QuestionFormat::Write, &format))
        return 2;
    // The pass mark of a learning-platform package: a whole percent, or
    // "none" (the platform gets the score alone).
    bool passMarkOk = true;
    const bool none = a.passMark == QLatin1String("none");
    const int passPercent = none ? ExportSource::NoPassMark : a.passMark.isEmpty() ? 50 : a.passMark.toInt(&passMarkOk);
    if (!passMarkOk || (!none && (passPercent < 0 || passPercent > 100))) {
        std::fprintf(stderr, "The pass mark is a percent from 0 to 100, or none, not \"%s\".\n",
                     a.passMark.toLocal8Bit().constData());
        return 2;
    }
    const TestReadResult test = readTestFile(a.files[0]);
    if (!test.test) {
        std::fprintf(stderr, "%s\n", test.error.toLocal8Bit().constData());
        return 1;
    }
    ExportRequest request;
    request.path = a.files[1];
    request.format = format;
    request.source.title = test.test->title;
    request.source.teacher = test.test->teacher;
    request.source.records = test.test->records;
    request.source.companion = test.test->companion;
    // Each student's own order, whatever the test's companion says.
    request.source.companion.shuffle = request.source.companion.shuffle || a.shuffle;
    request.source.mediaFolder = QFileInfo(a.files[0]).absolutePath() + QLatin1Char('/');
    request.source.passPercent = passPercent;
    const ExchangeReport report = exportQuestions(request);
    printReport(report);
    return report.exitStatus();
}

ToolCommandRegistration importRegistration(
    {"import", "import IN OUT.ard [--format F] [--title T] [--teacher T] [--pick 1-20,35 | --random N [--seed S]]",
     importCommand});
ToolCommandRegistration exportRegistration({"export", "export IN.ard OUT [--format F] [--pass-mark PERCENT|none] [--shuffle]",
                                            exportCommand});
}
