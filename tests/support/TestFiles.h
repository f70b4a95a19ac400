#pragma once
// Files the tests put on disk: bytes written whole (a test that cannot write
// its own fixture stops at once, naming the file), read back whole, the
// suite's own data files, a record made of its fields, and a test file as
// the editor's Save writes it.

#include "document/QuestionRecord.h"
#include "document/TestFile.h"

#include <QFile>
#include <QStringList>

inline QString writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

inline QByteArray readBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A file of tests/data, by its path there.
inline QString testData(const QString &relative)
{
    return qEnvironmentVariable("ARDENO_TEST_DATA") + QLatin1Char('/') + relative;
}

inline QString record(const QStringList &fields) { return fields.join(QuestionRecord::FieldSeparator); }

inline QString writeTest(const QString &path, const QString &title, const QString &teacher, const QStringList &records)
{
    return writeBytes(path, testFileBytes(title, teacher, records));
}
