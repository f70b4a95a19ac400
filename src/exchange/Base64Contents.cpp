#include "exchange/Base64Contents.h"

#include <algorithm>
#include <cstring>

namespace {
bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// 0-63 for the base64 alphabet, 64 for '=', 255 for anything else.
struct DecodeTable {
    uchar value[256];
    constexpr DecodeTable() : value()
    {
        for (int i = 0; i < 256; ++i)
            value[i] = 255;
        const char *alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
        for (int i = 0; i < 64; ++i)
            value[uchar(alphabet[i])] = uchar(i);
        value[uchar('=')] = 64;
    }
};
constexpr DecodeTable kTable;

// Decodes as QByteArray::fromBase64 does (characters outside the alphabet
// are passed over, '=' ends the data), four characters at a time where
// nothing needs passing over.
QByteArray decodeBase64(QByteArrayView text)
{
    QByteArray out(text.size() / 4 * 3 + 3, Qt::Uninitialized);
    uchar *o = reinterpret_cast<uchar *>(out.data());
    const uchar *p = reinterpret_cast<const uchar *>(text.data());
    const uchar *end = p + text.size();
    quint32 bits = 0;
    int count = 0;
    while (p < end) {
        if (count == 0 && end - p >= 4) {
            const uchar a = kTable.value[p[0]], b = kTable.value[p[1]], c = kTable.value[p[2]], d = kTable.value[p[3]];
            if ((a | b | c | d) < 64) {
                const quint32 v = (quint32(a) << 18) | (quint32(b) << 12) | (quint32(c) << 6) | d;
                o[0] = uchar(v >> 16);
                o[1] = uchar(v >> 8);
                o[2] = uchar(v);
                o += 3;
                p += 4;
                continue;
            }
        }
        const uchar v = kTable.value[*p++];
        if (v == 64)
            break;
        if (v == 255)
            continue;
        bits = (bits << 6) | v;
        if (++count == 4) {
            o[0] = uchar(bits >> 16);
            o[1] = uchar(bits >> 8);
            o[2] = uchar(bits);
            o += 3;
            count = 0;
            bits = 0;
        }
    }
    // A last group of 2 or 3 characters holds 1 or 2 bytes.
    if (count == 2) {
        *o++ = uchar(bits >> 4);
    } else if (count == 3) {
        *o++ = uchar(bits >> 10);
        *o++ = uchar(bits >> 2);
    }
    out.truncate(qsizetype(o - reinterpret_cast<uchar *>(out.data())));
    return out;
}
}

Base64Contents::Base64Contents(const QByteArray &xml) : m_source(xml)
{
    static const QByteArray open("<file");
    static const QByteArray close("</file>");
    const char *data = m_source.constData();
    const qsizetype n = m_source.size();
    qsizetype copied = 0;   // m_source up to here is in the skeleton
    qsizetype from = 0;
    while (true) {
        const qsizetype start = m_source.indexOf(open, from);
        if (start < 0)
            break;
        from = start + open.size();
        if (from >= n || !(isSpace(data[from]) || data[from] == '>'))
            continue;
        // The end of the start tag; a '<' first means it is no tag after all.
        qsizetype gt = from;
        while (gt < n && data[gt] != '>' && data[gt] != '<')
            ++gt;
        if (gt >= n || data[gt] != '>' || data[gt - 1] == '/')
            continue;
        // The contents are taken out only when they are plain characters up
        // to "</file>": no markup, no entity, no CDATA section, which the
        // XML reader would have to resolve.
        const qsizetype contentStart = gt + 1;
        const void *nextTag = std::memchr(data + contentStart, '<', size_t(n - contentStart));
        if (!nextTag)
            continue;
        const qsizetype contentEnd = static_cast<const char *>(nextTag) - data;
        if (contentEnd + close.size() > n || QByteArrayView(data + contentEnd, close.size()) != close
            || std::memchr(data + contentStart, '&', size_t(contentEnd - contentStart)))
            continue;
        // Start tag with the index attribute, then the contents' line breaks.
        m_skeleton.append(data + copied, start + open.size() - copied);
        m_skeleton.append(' ').append(IndexAttribute).append("=\"").append(QByteArray::number(m_contents.size()))
            .append('"');
        m_skeleton.append(data + from, contentStart - from);
        // Counted in one pass (a call per line would cost more than the
        // decoding on files of short base64 lines).
        m_skeleton.append(QByteArray(std::count(data + contentStart, data + contentEnd, '\n'), '\n'));
        m_contents << QByteArrayView(data + contentStart, contentEnd - contentStart);
        copied = contentEnd;
        from = contentEnd + close.size();
    }
    if (m_contents.isEmpty()) {
        m_skeleton = m_source;
        return;
    }
    m_skeleton.append(data + copied, n - copied);
}

QByteArray Base64Contents::decoded(int index) const
{
    if (index < 0 || index >= m_contents.size())
        return QByteArray();
    return decodeBase64(m_contents[index]);
}
