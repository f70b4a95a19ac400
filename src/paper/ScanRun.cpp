#include "paper/ScanRun.h"

#include "classresults/ResultLogText.h"
#include "paper/SheetLayout.h"
#include "paper/SheetReading.h"
#include "paper/SheetScanner.h"
#include "platform/WorkProgress.h"

#include <QBuffer>
#include <QImageReader>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <unistd.h>

namespace {
// A photo's file is read whole to be decoded: larger is no phone's photo.
constexpr qint64 kLargestPhoto = 80 * 1024 * 1024;

QString sheetName(const SheetCode &code)
{
    return code.name.isEmpty() ? QStringLiteral("Sheet %1").arg(code.sheet) : code.name;
}
}

int ScanOutcome::doubtCount() const
{
    int n = 0;
    for (const ScannedSheet &s : sheets)
        n += int(s.doubts.size());
    return n;
}

ScanRun::ScanRun(const PaperTest &test, SheetScanner &scanner, OutputFolderPtr results)
    : m_test(test), m_scanner(scanner), m_results(std::move(results))
{
}

ScanOutcome ScanRun::run(const QList<OpenFilePtr> &inputs, WorkProgress *progress)
{
    ScanOutcome out;
    if (!m_results || !m_results->isOpen()) {
        out.failure = QStringLiteral("The results folder cannot be used: %1")
                          .arg(m_results ? m_results->errorString() : QStringLiteral("none given"));
        return out;
    }
    if (progress)
        progress->setTotal(qint64(inputs.size()) * 1000);
    for (int i = 0; i < inputs.size(); ++i) {
        if (progress)
            progress->setDone(qint64(i) * 1000);
        readInput(inputs[i], out, progress);
        if (WorkProgress::stopped(progress)) {
            out.cancelled = true;
            out.sheets.clear();
            return out;
        }
    }
    // All or nothing: every log is written whole beside its name first,
    // and only then are they put in place, a log of an earlier scan that one
    // replaces kept aside until all are in place (and put back if one
    // cannot be).
    QList<StagedLog> staged;
    QString failure;
    for (ScannedSheet &sheet : out.sheets) {
        StagedLog log{sheet.logFile, {}, {}};
        QString reason;
        if (!stageLog(sheet, &log.temp, &reason)) {
            failure = QStringLiteral("\"%1\" cannot be written: %2").arg(sheet.logFile, reason);
            break;
        }
        staged << log;
    }
    QString failed, reason;
    if (failure.isEmpty() && !placeLogs(staged, &failed, &reason))
        failure = QStringLiteral("\"%1\" cannot be written: %2").arg(failed, reason);
    if (!failure.isEmpty()) {
        for (const StagedLog &log : std::as_const(staged))
            if (!log.temp.isEmpty())
                m_results->remove(log.temp);
        out.failure = failure;
        out.sheets.clear();
        return out;
    }
    if (progress)
        progress->setDone(progress->total());
    return out;
}

void ScanRun::readInput(const OpenFilePtr &input, ScanOutcome &out, WorkProgress *progress)
{
    const QString name = input->name().section(QLatin1Char('/'), -1);
    const QByteArray head = input->read(0, 8);
    if (head.startsWith("%PDF")) {
        QString error;
        if (!m_scanner.openPdf(input->handle(), &error)) {
            out.notRead << QStringLiteral("%1: %2").arg(name, error);
            return;
        }
        const int pages = m_scanner.pageCount();
        if (pages > MostPages) {
            out.notRead << QStringLiteral("%1: it has %2 pages; a scan reads at most %3 at a time")
                               .arg(name)
                               .arg(pages)
                               .arg(MostPages);
            return;
        }
        const qint64 start = progress ? progress->done() : 0;
        for (int p = 0; p < pages; ++p) {
            if (WorkProgress::stopped(progress))
                return;
            const QString source = QStringLiteral("%1, page %2").arg(name).arg(p + 1);
            const QImage page = m_scanner.page(p, LongestSide, &error);
            if (page.isNull())
                out.notRead << QStringLiteral("%1: %2").arg(source, error);
            else
                readPage(page, source, out);
            if (progress)
                progress->setDone(start + qint64(p + 1) * 1000 / pages);
        }
        return;
    }
    if (!head.startsWith("\xFF\xD8\xFF") && !head.startsWith("\x89PNG")) {
        out.notRead << QStringLiteral("%1: it is neither a PDF nor a JPEG or PNG picture").arg(name);
        return;
    }
    QString reason;
    QByteArray bytes = input->readAll(kLargestPhoto, &reason);
    if (!reason.isEmpty()) {
        out.notRead << QStringLiteral("%1: %2").arg(name, reason);
        return;
    }
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    if (size.isEmpty()) {
        out.notRead << QStringLiteral("%1: the picture cannot be read").arg(name);
        return;
    }
    // A huge photo is decoded straight at a size the scan needs.
    if (qMax(size.width(), size.height()) > LongestSide)
        reader.setScaledSize(size.scaled(LongestSide, LongestSide, Qt::KeepAspectRatio));
    const QImage picture = reader.read();
    bytes.clear();
    if (picture.isNull()) {
        out.notRead << QStringLiteral("%1: the picture cannot be read (%2)").arg(name, reader.errorString());
        return;
    }
    readPage(picture.convertToFormat(QImage::Format_Grayscale8), name, out);
}

void ScanRun::readPage(const QImage &page, const QString &source, ScanOutcome &out)
{
    const SheetReading reading = SheetImage::read(m_scanner, page, m_test);
    if (!reading.isRead()) {
        out.notRead << QStringLiteral("%1: %2").arg(source, reading.problem);
        return;
    }
    for (const ScannedSheet &seen : std::as_const(out.sheets)) {
        if (seen.code.sheet == reading.code.sheet && seen.code.name == reading.code.name) {
            out.notRead << QStringLiteral("%1: the same sheet as %2, read once").arg(source, seen.source);
            return;
        }
    }
    ScannedSheet sheet;
    sheet.source = source;
    sheet.code = reading.code;
    sheet.student = sheetName(reading.code);
    const TestVersion &version = m_test.version(reading.code.version);
    const SheetLayout layout(reading.code.paper);
    for (int q = 0; q < m_test.questionCount(); ++q)
        sheet.given << QStringLiteral("-");
    for (int place = 0; place < reading.marks.size(); ++place) {
        const int question = version.questionAt(place);
        const MarkReading &mark = reading.marks[place];
        if (mark.chosen >= 0)
            sheet.given[question] = m_test.optionWord(question, version.optionAt(place, mark.chosen));
        if (!mark.isDoubtful())
            continue;
        ScanDoubt doubt;
        doubt.question = question + 1;
        doubt.reason = mark.reason();
        doubt.reasonWord = MarkReading::reasonWord(mark.doubt);
        const QList<double> &printed = reading.darkness[place];
        doubt.darkness = QList<double>(printed.size(), 0.0);
        for (int option = 0; option < printed.size(); ++option)
            doubt.darkness[qBound(0, version.optionAt(place, option), int(printed.size()) - 1)] = printed[option];
        doubt.row = SheetImage::rowPicture(reading.straight, layout, place);
        sheet.doubts << doubt;
    }
    std::sort(sheet.doubts.begin(), sheet.doubts.end(),
              [](const ScanDoubt &a, const ScanDoubt &b) { return a.question < b.question; });
    sheet.logFile = logName(sheet.student);
    m_taken << sheet.logFile;
    out.sheets << sheet;
}

QString ScanRun::logName(const QString &student) const
{
    // Two sheets of one name in a scan each get a log: "... - Anna (2).log".
    // A sheet scanned again later replaces its own log.
    const QString first = ResultLogText::fileName(m_test.title(), student);
    for (int number = 1;; ++number) {
        QString name = first;
        if (number > 1)
            name.insert(name.size() - 4, QStringLiteral(" (%1)").arg(number));
        if (!m_taken.contains(name))
            return name;
    }
}

bool ScanRun::stageLog(ScannedSheet &sheet, QString *temp, QString *reason)
{
    StudentResult r;
    r.name = sheet.student;
    r.title = m_test.title();
    r.teacher = m_test.teacher();
    r.testId = m_test.identity();
    r.date = sheet.date.isValid() ? sheet.date : QDateTime::currentDateTime();
    r.total = m_test.questionCount();
    r.given = sheet.given;
    for (int q = 0; q < r.total; ++q) {
        r.right << m_test.rightWord(q);
        r.score += r.isRight(q) ? 1 : 0;
    }
    r.percent = r.total ? r.score * 100 / r.total : 0;
    const QByteArray bytes = ResultLogText::bytes(r);
    const int fd = m_results->createTemporary(sheet.logFile, 0600, temp, reason);
    if (fd < 0)
        return false;
    const bool ok = OutputFolder::writeAll(fd, bytes.constData(), bytes.size()) && ::fdatasync(fd) == 0;
    if (!ok)
        *reason = qt_error_string(errno);
    ::close(fd);
    if (!ok) {
        m_results->remove(*temp);
        return false;
    }
    sheet.date = r.date;
    return true;
}

bool ScanRun::placeLogs(QList<StagedLog> &logs, QString *failed, QString *why)
{
    QString &reason = *why;
    int placed = 0;
    for (StagedLog &log : logs) {
        // A log already there is renamed aside, over an empty temporary
        // file made for the purpose, so that it can come back.
        if (m_results->entry(log.name) != OutputFolder::Entry::None) {
            const int fd = m_results->createTemporary(log.name, 0600, &log.aside, &reason);
            if (fd < 0)
                break;
            ::close(fd);
            if (!m_results->rename(log.name, log.aside, false, &reason)) {
                m_results->remove(log.aside);
                log.aside.clear();
                break;
            }
        }
        if (!m_results->rename(log.temp, log.name, true, &reason))
            break;
        log.temp.clear();
        ++placed;
    }
    bool whole = placed == logs.size();
    if (whole && !m_results->sync()) {
        reason = qt_error_string(errno);
        whole = false;
    }
    for (int i = 0; i < logs.size(); ++i) {
        StagedLog &log = logs[i];
        if (!whole && i < placed)
            m_results->remove(log.name);
        QString ignored;
        if (!log.aside.isEmpty() && (whole || !m_results->rename(log.aside, log.name, true, &ignored)))
            m_results->remove(log.aside);
    }
    if (!whole)
        m_results->sync();
    if (!whole)
        *failed = placed < logs.size() ? logs[placed].name : logs.value(0).name;
    return whole;
}

bool ScanRun::writeLog(ScannedSheet &sheet, QString *reason)
{
    QList<StagedLog> log{{sheet.logFile, {}, {}}};
    if (!stageLog(sheet, &log[0].temp, reason))
        return false;
    QString failed;
    if (placeLogs(log, &failed, reason))
        return true;
    if (!log[0].temp.isEmpty())
        m_results->remove(log[0].temp);
    return false;
}

bool ScanRun::decide(ScannedSheet &sheet, int question, const QString &answer, QString *reason)
{
    const QString before = sheet.given.value(question - 1);
    sheet.given[question - 1] = answer;
    if (!writeLog(sheet, reason)) {
        sheet.given[question - 1] = before;
        return false;
    }
    sheet.doubts.erase(std::remove_if(sheet.doubts.begin(), sheet.doubts.end(),
                                      [question](const ScanDoubt &d) { return d.question == question; }),
                       sheet.doubts.end());
    return true;
}

QByteArray ScanRun::json(const ScanOutcome &outcome)
{
    QJsonArray sheets, doubtful, notRead;
    for (const ScannedSheet &s : outcome.sheets) {
        QJsonArray doubts;
        for (const ScanDoubt &d : s.doubts) {
            const QJsonObject doubt{{QStringLiteral("student"), s.student},
                                    {QStringLiteral("question"), d.question},
                                    {QStringLiteral("reason"), d.reasonWord},
                                    {QStringLiteral("why"), d.reason},
                                    {QStringLiteral("source"), s.source},
                                    {QStringLiteral("sheet"), s.code.sheet},
                                    {QStringLiteral("log"), s.logFile}};
            doubts << d.question;
            doubtful << doubt;
        }
        sheets << QJsonObject{{QStringLiteral("source"), s.source},
                              {QStringLiteral("sheet"), s.code.sheet},
                              {QStringLiteral("version"), s.code.version},
                              {QStringLiteral("student"), s.student},
                              {QStringLiteral("log"), s.logFile},
                              {QStringLiteral("answers"), QJsonArray::fromStringList(s.given)},
                              {QStringLiteral("doubtful"), doubts}};
    }
    for (const QString &n : outcome.notRead)
        notRead << n;
    QJsonObject root{{QStringLiteral("sheets"), sheets},
                     {QStringLiteral("doubtful"), doubtful},
                     {QStringLiteral("not_read"), notRead}};
    if (!outcome.failure.isEmpty())
        root.insert(QStringLiteral("failure"), outcome.failure);
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}
