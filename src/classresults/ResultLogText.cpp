#include "classresults/ResultLogText.h"

#include "document/LineCodec.h"
#include "document/ScoreLog.h"
#include "document/Windows1252.h"
#include "platform/OutputFolder.h"

#include <QHash>
#include <QRegularExpression>
#include <QUrl>

namespace {
const QHash<QChar, QString> &latinLetters()
{
    static const QHash<QChar, QString> table = [] {
        QHash<QChar, QString> t;
        const char16_t *from[] = {
            u"а", u"б", u"в", u"г", u"д", u"е", u"ё", u"ж", u"з", u"и", u"й", u"к", u"л", u"м", u"н", u"о",
            u"п", u"р", u"с", u"т", u"у", u"ф", u"х", u"ц", u"ч", u"ш", u"щ", u"ъ", u"ы", u"ь", u"э", u"ю",
            u"я", u"є", u"і", u"ї", u"ґ", u"ў", u"ђ", u"ј", u"љ", u"њ", u"ћ", u"џ", u"ѓ", u"ќ", u"ѕ",
            u"α", u"β", u"γ", u"δ", u"ε", u"ζ", u"η", u"θ", u"ι", u"κ", u"λ", u"μ", u"ν", u"ξ", u"ο", u"π",
            u"ρ", u"σ", u"ς", u"τ", u"υ", u"φ", u"χ", u"ψ", u"ω", u"ł", u"đ", u"ħ", u"ı", u"ŋ", u"ə", u"ĸ", u"ŀ"};
        const char *to[] = {
            "a", "b", "v", "g", "d", "e", "e", "zh", "z", "i", "j", "k", "l", "m", "n", "o",
            "p", "r", "s", "t", "u", "f", "kh", "ts", "ch", "sh", "shch", "", "y", "", "e", "yu",
            "ya", "ye", "i", "yi", "g", "u", "dj", "j", "lj", "nj", "c", "dz", "gj", "kj", "dz",
            "a", "v", "g", "d", "e", "z", "i", "th", "i", "k", "l", "m", "n", "x", "o", "p",
            "r", "s", "s", "t", "y", "f", "ch", "ps", "o", "l", "d", "h", "i", "ng", "e", "k", "l"};
        static_assert(std::size(from) == std::size(to));
        for (size_t i = 0; i < std::size(from); ++i)
            t.insert(QChar(from[i][0]), QString::fromLatin1(to[i]));
        return t;
    }();
    return table;
}

bool inLog(const QString &s)
{
    return Windows1252::unencodable(s).isEmpty();
}

// One line scrambled; the two characters whose scrambled byte would be a
// line end ("»" and "¼") become '?', and so do line breaks' neighbours'
// worth: a CR or LF inside a text is a blank.
QByteArray scrambled(QString text)
{
    text.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    QByteArray raw = Windows1252::encode(text);
    for (char &c : raw) {
        const unsigned char s = static_cast<unsigned char>(c) ^ LineCodec::ScoreLogKey;
        if (s == '\r' || s == '\n')
            c = '?';
    }
    return LineCodec::logLine(raw);
}

QString two(int n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); }

constexpr int kFileNameBytes = 200;

qsizetype utf8Size(const QString &s) { return s.toUtf8().size(); }

// What a file name may hold of a text: no character a file system refuses,
// no full stop, single blanks.
QString fileNamePart(QString text)
{
    static const QRegularExpression refused(QStringLiteral("[\\\\/:*?\"<>|\\x00-\\x1F]"));
    static const QRegularExpression blanks(QStringLiteral(" {2,}"));
    text.replace(refused, QStringLiteral("_")).replace(QLatin1Char('.'), QLatin1Char(' '));
    return text.replace(blanks, QStringLiteral(" "));
}
}

namespace ResultLogText {
QString latinName(const QString &name)
{
    QString out;
    const auto &table = latinLetters();
    for (qsizetype i = 0; i < name.size(); ++i) {
        // A surrogate pair stays together.
        const qsizetype len = name[i].isHighSurrogate() && i + 1 < name.size() ? 2 : 1;
        const QString ch = name.mid(i, len);
        i += len - 1;
        if (inLog(ch)) {
            out += ch;
            continue;
        }
        // The letter itself first ("й" is "j", not "i" with a mark).
        QString bare = ch;
        if (!table.contains(ch.toLower().at(0))) {
            bare = ch.normalized(QString::NormalizationForm_D);
            bare.remove(QRegularExpression(QStringLiteral("[\\x{0300}-\\x{036f}]")));
        }
        const QString lower = bare.toLower();
        const auto mapped = lower.size() == 1 ? table.constFind(lower.at(0)) : table.constEnd();
        if (mapped != table.constEnd())
            out += bare == lower || mapped->isEmpty() ? *mapped : mapped->left(1).toUpper() + mapped->mid(1);
        else if (!bare.isEmpty() && inLog(bare))
            out += bare;
        else
            out += ch;
    }
    return out;
}

QByteArray bytes(const StudentResult &r)
{
    const QDate d = r.date.date();
    const QTime t = r.date.time();
    QStringList lines = {
        QStringLiteral("Ardeno web quiz result"),
        QStringLiteral("Test: ") + r.title,
        QStringLiteral("Test id: ") + r.testId,
        QStringLiteral("Class/Teacher: ") + r.teacher,
        QStringLiteral("Student: ") + latinName(r.name),
        QStringLiteral("Date: %1-%2-%3 %4:%5:%6").arg(d.year()).arg(two(d.month()), two(d.day()), two(t.hour()),
                                                       two(t.minute()), two(t.second())),
        QStringLiteral("Score: %1 correct of %2 total questions.").arg(r.score).arg(r.total),
        QStringLiteral("Percent: %1").arg(r.percent),
        QStringLiteral("Time spent: ") + ScoreLog::timeText(r.seconds),
    };
    for (int i = 0; i < r.total; ++i)
        lines << QStringLiteral("Question %1: answered %2, right answer %3")
                     .arg(i + 1)
                     .arg(r.given.value(i, QStringLiteral("-")), r.right.value(i, QStringLiteral("-")));
    if (const QString typed = nameAsTypedLine(r.name); !typed.isEmpty())
        lines << typed;
    QByteArray out;
    for (const QString &line : lines)
        out += scrambled(line) + "\r\n";
    return out;
}

QString fileName(const QString &title, const QString &name)
{
    QString base = fileNamePart(title + QStringLiteral(" - ") + name).trimmed();
    if (utf8Size(base) > kFileNameBytes) {
        // The title gives way first: the name is what tells results apart.
        const QString tail = fileNamePart(QStringLiteral(" - ") + name).trimmed();
        const qsizetype room = kFileNameBytes - utf8Size(tail) - 1;
        base = room > 0 ? fileNamePart(OutputFolder::cutToBytes(fileNamePart(title).trimmed(), room).trimmed() + QLatin1Char(' ') + tail)
                              .trimmed()
                        : OutputFolder::cutToBytes(base, kFileNameBytes).trimmed();
    }
    return base + QStringLiteral(".log");
}

QString nameAsTypedLine(const QString &name)
{
    if (latinName(name) == name && inLog(name))
        return {};
    // As the page's encodeURIComponent writes it.
    return QLatin1String(NameAsTypedKey) + QString::fromLatin1(QUrl::toPercentEncoding(name, "!*'()"));
}

QString nameFromLine(const QString &value)
{
    const QByteArray bytes = QByteArray::fromPercentEncoding(value.toLatin1());
    const QString name = QString::fromUtf8(bytes);
    if (name.isEmpty() || name.toUtf8() != bytes || utf8Size(name) > MaxNameBytes)
        return {};
    for (QChar c : name)
        if (c.category() == QChar::Other_Control || c.category() == QChar::Other_Format)
            return {};
    return name;
}
}
