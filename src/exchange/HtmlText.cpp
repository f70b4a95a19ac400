#include "exchange/HtmlText.h"

#include <QSet>

#include <QHash>
#include <QRegularExpression>
#include <vector>

namespace {
struct NamedEntity {
    const char16_t *name;
    char16_t code;
};
// The entities of the Latin-1 range and of the Windows-1252 extras.
constexpr NamedEntity kEntities[] = {
    {u"quot", 0x22}, {u"amp", 0x26}, {u"lt", 0x3C}, {u"gt", 0x3E}, {u"nbsp", 0xA0},
    {u"iexcl", 0xA1}, {u"cent", 0xA2}, {u"pound", 0xA3}, {u"curren", 0xA4}, {u"yen", 0xA5},
    {u"brvbar", 0xA6}, {u"sect", 0xA7}, {u"uml", 0xA8}, {u"copy", 0xA9}, {u"ordf", 0xAA},
    {u"laquo", 0xAB}, {u"not", 0xAC}, {u"shy", 0xAD}, {u"reg", 0xAE}, {u"macr", 0xAF},
    {u"deg", 0xB0}, {u"plusmn", 0xB1}, {u"sup2", 0xB2}, {u"sup3", 0xB3}, {u"acute", 0xB4},
    {u"micro", 0xB5}, {u"para", 0xB6}, {u"middot", 0xB7}, {u"cedil", 0xB8}, {u"sup1", 0xB9},
    {u"ordm", 0xBA}, {u"raquo", 0xBB}, {u"frac14", 0xBC}, {u"frac12", 0xBD}, {u"frac34", 0xBE},
    {u"iquest", 0xBF}, {u"Agrave", 0xC0}, {u"Aacute", 0xC1}, {u"Acirc", 0xC2}, {u"Atilde", 0xC3},
    {u"Auml", 0xC4}, {u"Aring", 0xC5}, {u"AElig", 0xC6}, {u"Ccedil", 0xC7}, {u"Egrave", 0xC8},
    {u"Eacute", 0xC9}, {u"Ecirc", 0xCA}, {u"Euml", 0xCB}, {u"Igrave", 0xCC}, {u"Iacute", 0xCD},
    {u"Icirc", 0xCE}, {u"Iuml", 0xCF}, {u"ETH", 0xD0}, {u"Ntilde", 0xD1}, {u"Ograve", 0xD2},
    {u"Oacute", 0xD3}, {u"Ocirc", 0xD4}, {u"Otilde", 0xD5}, {u"Ouml", 0xD6}, {u"times", 0xD7},
    {u"Oslash", 0xD8}, {u"Ugrave", 0xD9}, {u"Uacute", 0xDA}, {u"Ucirc", 0xDB}, {u"Uuml", 0xDC},
    {u"Yacute", 0xDD}, {u"THORN", 0xDE}, {u"szlig", 0xDF}, {u"agrave", 0xE0}, {u"aacute", 0xE1},
    {u"acirc", 0xE2}, {u"atilde", 0xE3}, {u"auml", 0xE4}, {u"aring", 0xE5}, {u"aelig", 0xE6},
    {u"ccedil", 0xE7}, {u"egrave", 0xE8}, {u"eacute", 0xE9}, {u"ecirc", 0xEA}, {u"euml", 0xEB},
    {u"igrave", 0xEC}, {u"iacute", 0xED}, {u"icirc", 0xEE}, {u"iuml", 0xEF}, {u"eth", 0xF0},
    {u"ntilde", 0xF1}, {u"ograve", 0xF2}, {u"oacute", 0xF3}, {u"ocirc", 0xF4}, {u"otilde", 0xF5},
    {u"ouml", 0xF6}, {u"divide", 0xF7}, {u"oslash", 0xF8}, {u"ugrave", 0xF9}, {u"uacute", 0xFA},
    {u"ucirc", 0xFB}, {u"uuml", 0xFC}, {u"yacute", 0xFD}, {u"thorn", 0xFE}, {u"yuml", 0xFF},
    {u"OElig", 0x152}, {u"oelig", 0x153}, {u"Scaron", 0x160}, {u"scaron", 0x161}, {u"Yuml", 0x178},
    {u"fnof", 0x192}, {u"circ", 0x2C6}, {u"tilde", 0x2DC}, {u"ndash", 0x2013}, {u"mdash", 0x2014},
    {u"lsquo", 0x2018}, {u"rsquo", 0x2019}, {u"sbquo", 0x201A}, {u"ldquo", 0x201C},
    {u"rdquo", 0x201D}, {u"bdquo", 0x201E}, {u"dagger", 0x2020}, {u"Dagger", 0x2021},
    {u"bull", 0x2022}, {u"hellip", 0x2026}, {u"permil", 0x2030}, {u"lsaquo", 0x2039},
    {u"rsaquo", 0x203A}, {u"euro", 0x20AC}, {u"trade", 0x2122},
    {u"apos", 0x27},
};

char32_t namedEntity(QStringView name)
{
    static const QHash<QString, char32_t> table = [] {
        QHash<QString, char32_t> t;
        for (const NamedEntity &e : kEntities)
            t.insert(QString::fromUtf16(e.name), e.code);
        return t;
    }();
    return table.value(name.toString(), 0);
}

bool isBlockTag(const QString &name)
{
    static const QStringList blocks = {
        QStringLiteral("p"), QStringLiteral("div"), QStringLiteral("li"), QStringLiteral("ul"),
        QStringLiteral("ol"), QStringLiteral("tr"), QStringLiteral("table"), QStringLiteral("h1"),
        QStringLiteral("h2"), QStringLiteral("h3"), QStringLiteral("h4"), QStringLiteral("h5"),
        QStringLiteral("h6"), QStringLiteral("blockquote"), QStringLiteral("pre"), QStringLiteral("hr"),
        QStringLiteral("dd"), QStringLiteral("dt")};
    return blocks.contains(name);
}

// Plain lines built from HTML: collapsible white space, line ends, and
// paragraph ends that never stack up into empty lines.
class LineBuilder {
public:
    void text(QStringView t)
    {
        for (const QChar c : t) {
            if (c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n')
                || c == QLatin1Char('\r') || c == QLatin1Char('\f')) {
                m_pendingSpace = !m_current.isEmpty();
            } else {
                if (m_pendingSpace)
                    m_current += QLatin1Char(' ');
                m_pendingSpace = false;
                m_current += c;
            }
        }
    }
    void lineBreak()
    {
        m_lines << m_current;
        m_current.clear();
        m_pendingSpace = false;
    }
    void paragraphEnd()
    {
        if (!m_current.isEmpty())
            lineBreak();
    }
    QString result()
    {
        paragraphEnd();
        while (!m_lines.isEmpty() && m_lines.first().isEmpty())
            m_lines.removeFirst();
        while (!m_lines.isEmpty() && m_lines.last().isEmpty())
            m_lines.removeLast();
        QString all = m_lines.join(QStringLiteral("\r\n"));
        // A no-break space is how HTML keeps blanks that would collapse.
        return all.replace(QChar(0xA0), QLatin1Char(' '));
    }

private:
    QStringList m_lines;
    QString m_current;
    bool m_pendingSpace = false;
};

// Where each tag that starts at a '<' ends (the index of its '>', quotes
// respected), -1 when it is not closed; worked out for the whole text in one
// pass from its end, so a text full of lone '<' is read in linear time.
class TagEnds {
public:
    explicit TagEnds(const QString &html) : m_end(html.size() + 1, -1)
    {
        // m_end[j]: the closing '>' when a tag's inside is read from j on,
        // outside quotes.
        qsizetype nextDouble = -1, nextSingle = -1;
        std::vector<qsizetype> afterQuote(html.size(), -1);   // the index after the closing quote
        for (qsizetype j = html.size() - 1; j >= 0; --j) {
            const QChar c = html[j];
            if (c == QLatin1Char('"')) {
                afterQuote[j] = nextDouble < 0 ? -1 : nextDouble + 1;
                nextDouble = j;
            } else if (c == QLatin1Char('\'')) {
                afterQuote[j] = nextSingle < 0 ? -1 : nextSingle + 1;
                nextSingle = j;
            }
        }
        for (qsizetype j = html.size() - 1; j >= 0; --j) {
            const QChar c = html[j];
            if (c == QLatin1Char('>'))
                m_end[j] = j;
            else if (c == QLatin1Char('"') || c == QLatin1Char('\''))
                m_end[j] = afterQuote[j] < 0 ? -1 : m_end[afterQuote[j]];
            else
                m_end[j] = m_end[j + 1];
        }
    }
    // The end of the tag whose '<' is at i.
    qsizetype at(qsizetype i) const { return m_end[i + 1]; }

private:
    std::vector<qsizetype> m_end;
};

// The index of the first ';' within an entity's reach of the '&' at i.
qsizetype entityEnd(const QString &text, qsizetype i)
{
    constexpr qsizetype kLongestEntity = 12;
    for (qsizetype j = i + 1; j < text.size() && j - i <= kLongestEntity; ++j)
        if (text[j] == QLatin1Char(';'))
            return j;
    return -1;
}
}

namespace HtmlText {
QString decodeEntities(const QString &text)
{
    if (!text.contains(QLatin1Char('&')))
        return text;
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const qsizetype semi = c == QLatin1Char('&') ? entityEnd(text, i) : -1;
        if (semi < 0) {
            out += c;
            continue;
        }
        const QStringView name = QStringView(text).mid(i + 1, semi - i - 1);
        char32_t code = 0;
        if (name.startsWith(QLatin1Char('#'))) {
            bool ok = false;
            const bool hex = name.size() > 1 && (name[1] == QLatin1Char('x') || name[1] == QLatin1Char('X'));
            code = name.mid(hex ? 2 : 1).toUInt(&ok, hex ? 16 : 10);
            if (!ok || code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
                code = 0;
        } else {
            code = namedEntity(name);
        }
        if (code == 0) {
            out += c;
            continue;
        }
        out += QString::fromUcs4(&code, 1);
        i = semi;
    }
    return out;
}

QString toPlain(const QString &html)
{
    LineBuilder lines;
    const TagEnds tagEnds(html);
    qsizetype i = 0;
    const qsizetype n = html.size();
    while (i < n) {
        const qsizetype lt = html.indexOf(QLatin1Char('<'), i);
        const qsizetype textEnd = lt < 0 ? n : lt;
        if (textEnd > i)
            lines.text(decodeEntities(html.mid(i, textEnd - i)));
        if (lt < 0)
            break;
        if (QStringView(html).mid(lt).startsWith(QLatin1String("<!--"))) {
            const qsizetype close = html.indexOf(QLatin1String("-->"), lt + 4);
            i = close < 0 ? n : close + 3;
            continue;
        }
        const qsizetype gt = tagEnds.at(lt);
        if (gt < 0) {   // a lone '<' is text
            lines.text(QStringLiteral("<"));
            i = lt + 1;
            continue;
        }
        const QString tag = html.mid(lt + 1, gt - lt - 1);
        const bool closing = tag.startsWith(QLatin1Char('/'));
        qsizetype nameEnd = closing ? 1 : 0;
        while (nameEnd < tag.size() && (tag[nameEnd].isLetterOrNumber()))
            ++nameEnd;
        const QString name = tag.mid(closing ? 1 : 0, nameEnd - (closing ? 1 : 0)).toLower();
        i = gt + 1;
        if (name.isEmpty() && !closing && !tag.startsWith(QLatin1Char('!')) && !tag.startsWith(QLatin1Char('?'))) {
            lines.text(decodeEntities(html.mid(lt, gt - lt + 1)));   // "a < b >" is text
            continue;
        }
        if (!closing && (name == QLatin1String("script") || name == QLatin1String("style"))) {
            const qsizetype close = html.indexOf(QStringLiteral("</") + name, i, Qt::CaseInsensitive);
            const qsizetype closeEnd = close < 0 ? -1 : html.indexOf(QLatin1Char('>'), close);
            i = closeEnd < 0 ? n : closeEnd + 1;
            continue;
        }
        if (!closing && name == QLatin1String("a") && tag.contains(QLatin1String("@@PLUGINFILE@@"))) {
            const qsizetype close = html.indexOf(QLatin1String("</a"), i, Qt::CaseInsensitive);
            const qsizetype closeEnd = close < 0 ? -1 : html.indexOf(QLatin1Char('>'), close);
            i = closeEnd < 0 ? n : closeEnd + 1;
            continue;
        }
        if (name == QLatin1String("br"))
            lines.lineBreak();
        else if (isBlockTag(name))
            lines.paragraphEnd();
        else if (name == QLatin1String("td") || name == QLatin1String("th"))
            lines.text(QStringLiteral(" "));
    }
    return lines.result();
}

QStringList mediaLinks(const QString &html)
{
    static const QRegularExpression mediaName(
        QStringLiteral("\\.(?:mp3|wav|ogg|oga|m4a|aac|flac|mid|midi|mp4|m4v|webm|ogv|avi|mpg|mpeg|mov|wmv)(?:[?#].*)?$"),
        QRegularExpression::CaseInsensitiveOption);
    QStringList links;
    QSet<QString> seen;   // each once, without comparing every pair
    // Tag by tag, as toPlain reads them (linear in the text's length).
    const TagEnds tagEnds(html);
    for (qsizetype lt = html.indexOf(QLatin1Char('<')); lt >= 0; lt = html.indexOf(QLatin1Char('<'), lt + 1)) {
        const qsizetype gt = tagEnds.at(lt);
        if (gt < 0)
            continue;
        const QString tag = html.mid(lt + 1, gt - lt - 1);
        qsizetype nameEnd = 0;
        while (nameEnd < tag.size() && tag[nameEnd].isLetterOrNumber())
            ++nameEnd;
        const QString name = tag.left(nameEnd).toLower();
        const bool link = name == QLatin1String("a");
        const bool embedded = name == QLatin1String("audio") || name == QLatin1String("video")
                              || name == QLatin1String("source") || name == QLatin1String("embed");
        if (link || embedded) {
            static const QRegularExpression href(
                QStringLiteral("\\shref\\s*=\\s*(?:\"([^\"]*)\"|'([^']*)'|([^\\s\"']+))"),
                QRegularExpression::CaseInsensitiveOption);
            static const QRegularExpression src(
                QStringLiteral("\\ssrc\\s*=\\s*(?:\"([^\"]*)\"|'([^']*)'|([^\\s\"']+))"),
                QRegularExpression::CaseInsensitiveOption);
            const QRegularExpressionMatch m = (link ? href : src).match(tag, nameEnd);
            const QString address = decodeEntities(
                (m.captured(1) + m.captured(2) + m.captured(3)).trimmed());
            if (m.hasMatch() && !address.isEmpty() && !address.contains(QLatin1String("@@PLUGINFILE@@"))
                && (embedded || mediaName.match(address).hasMatch()) && !seen.contains(address)) {
                seen.insert(address);
                links << address;
            }
        }
        lt = gt;
    }
    return links;
}

QString escaped(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '&': out += QLatin1String("&amp;"); break;
        case '<': out += QLatin1String("&lt;"); break;
        case '>': out += QLatin1String("&gt;"); break;
        case '"': out += QLatin1String("&quot;"); break;
        default: out += c;
        }
    }
    return out;
}

QString fromPlain(const QString &text)
{
    QString out = QStringLiteral("<p>");
    bool lineStart = true;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        switch (c.unicode()) {
        case '&':
        case '<':
        case '>':
        case '"': out += escaped(QString(c)); break;
        case '\r':
        case '\n':
            if (c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
                ++i;
            out += QLatin1String("<br>");
            lineStart = true;
            continue;
        case ' ': {
            // A blank that HTML would drop or merge is written as a no-break space.
            const bool lineEnd = i + 1 == text.size() || text[i + 1] == QLatin1Char('\r')
                                 || text[i + 1] == QLatin1Char('\n');
            const bool afterBlank = i > 0 && text[i - 1] == QLatin1Char(' ');
            out += (lineStart || lineEnd || afterBlank) ? QLatin1String("&nbsp;") : QLatin1String(" ");
            break;
        }
        default:
            out += c;
        }
        lineStart = false;
    }
    return out + QStringLiteral("</p>");
}
}
