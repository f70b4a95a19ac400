#include "webquiz/WebQuizPage.h"

#include "media/modSound.h"
#include "platform/CheckedFileStream.h"
#include "platform/RegularFile.h"

#include <QCryptographicHash>
#include <QFile>
#include <algorithm>
#include <QFileInfo>
#include <QHash>
#include <QJsonDocument>
#include <QRandomGenerator>

static void initTemplates()
{
    // The templates live in a static library: their resource data must be
    // registered by hand (outside any namespace).
    static const bool done = [] {
        Q_INIT_RESOURCE(webquiz);
        return true;
    }();
    Q_UNUSED(done);
}

namespace {
QByteArray resource(const QString &name)
{
    initTemplates();
    QFile f(QStringLiteral(":/webquiz/") + name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray dataUri(const QByteArray &bytes, const QString &mime)
{
    return "data:" + mime.toLatin1() + ";base64," + bytes.toBase64();
}

QByteArray hashSource(const QByteArray &text)
{
    return "'sha256-" + QCryptographicHash::hash(text, QCryptographicHash::Sha256).toBase64() + "'";
}

QByteArray keyStream(const QByteArray &key, qsizetype n)
{
    // Each byte of the key used in turn, mixed with the position, so that a
    // run of equal characters does not show through.
    QByteArray out(n, Qt::Uninitialized);
    for (qsizetype i = 0; i < n; ++i)
        out[i] = char(quint8(key[i % key.size()]) ^ quint8((i * 131 + 7) & 0xFF));
    return out;
}
}

namespace WebQuizPage {
QByteArray encodeQuiz(const QByteArray &json, const QByteArray &key)
{
    const QByteArray ks = keyStream(key, json.size());
    QByteArray out = json;
    for (qsizetype i = 0; i < out.size(); ++i)
        out[i] = char(out[i] ^ ks[i]);
    return out.toBase64();
}

QByteArray decodeQuiz(const QByteArray &encoded, const QByteArray &key)
{
    QByteArray out = QByteArray::fromBase64(encoded);
    const QByteArray ks = keyStream(key, out.size());
    for (qsizetype i = 0; i < out.size(); ++i)
        out[i] = char(out[i] ^ ks[i]);
    return out;
}

QByteArray build(const QString &title, const QJsonObject &quiz, const QList<PageMedia> &media)
{
    return PageParts(title, quiz, media).bytes();
}
}

qint64 PageMedia::size() const { return file ? file->size() : bytes.size(); }

QString PageMedia::suffix() const
{
    static const QHash<QString, QString> suffixes = {
        {QStringLiteral("image/jpeg"), QStringLiteral("jpg")},   {QStringLiteral("image/png"), QStringLiteral("png")},
        {QStringLiteral("image/bmp"), QStringLiteral("bmp")},    {QStringLiteral("image/svg+xml"), QStringLiteral("svg")},
        {QStringLiteral("audio/wav"), QStringLiteral("wav")},    {QStringLiteral("audio/mpeg"), QStringLiteral("mp3")},
        {QStringLiteral("audio/ogg"), QStringLiteral("ogg")},    {QStringLiteral("video/mp4"), QStringLiteral("mp4")},
        {QStringLiteral("video/webm"), QStringLiteral("webm")},
    };
    return suffixes.value(mimeType, QStringLiteral("bin"));
}

PageParts::PageParts(const QString &title, const QJsonObject &quiz, QList<PageMedia> media) : m_media(std::move(media))
{
    const QByteArray style = resource(QStringLiteral("quiz.css"));
    // The script's modules, joined in the order they build on one another
    // (quiz.js, the page's own, last).
    QByteArray script;
    for (const char *module : {"scorelog.js", "attempt.js", "order.js", "media.js", "platform.js", "live.js", "quiz.js"})
        script += resource(QString::fromLatin1(module)) + '\n';
    const QByteArray page = resource(QStringLiteral("page.html"));

    QByteArray key(32, Qt::Uninitialized);
    for (char &c : key)
        c = char(QRandomGenerator::global()->bounded(256));
    const QByteArray encoded = WebQuizPage::encodeQuiz(QJsonDocument(quiz).toJson(QJsonDocument::Compact), key);

    // Base64 holds no '<', so none of these blocks can end its element early.
    QList<Piece> blocks;
    blocks << Piece{"<script type=\"text/plain\" id=\"quiz-data\" data-key=\"" + key.toBase64() + "\">" + encoded
                        + "</script>\n"
                        + "<script type=\"text/plain\" id=\"sound-right\">"
                        + dataUri(resourceSoundData(101), QStringLiteral("audio/wav")) + "</script>\n"
                        + "<script type=\"text/plain\" id=\"sound-wrong\">"
                        + dataUri(resourceSoundData(102), QStringLiteral("audio/wav")) + "</script>\n"};
    bool mediaBeside = false;
    for (qsizetype i = 0; i < m_media.size(); ++i) {
        if (!m_media[i].packagedName.isEmpty()) {
            // A name of our own making ("media/3.jpg"): nothing to escape.
            blocks << Piece{"<script type=\"text/plain\" id=\"media-" + QByteArray::number(i) + "\">"
                            + m_media[i].packagedName.toUtf8() + "</script>\n"};
            mediaBeside = true;
            continue;
        }
        blocks << Piece{"<script type=\"text/plain\" id=\"media-" + QByteArray::number(i) + "\">data:"
                            + m_media[i].mimeType.toLatin1() + ";base64,"};
        blocks << Piece{QByteArray(), int(i)};
        blocks << Piece{"</script>\n"};
    }

    // Media beside the page come from its own site; nothing else is ever
    // fetched.
    const QByteArray mediaSources = mediaBeside ? "'self' data: blob:" : "data: blob:";
    // A live class's page talks to the computer it came from, and to nothing else.
    const QByteArray connect = quiz.value(QStringLiteral("live")).toBool() ? "; connect-src 'self'" : "";
    const QByteArray csp = "default-src 'none'; script-src " + hashSource(script) + "; style-src " + hashSource(style)
                           + "; img-src " + mediaSources + "; media-src " + mediaSources + connect
                           + "; base-uri 'none'; form-action 'none'";
    // Placeholders are replaced in one pass in this order; none of the
    // inserted texts is searched again, so a title holding "{{SCRIPT}}"
    // stays text.
    const QList<QPair<QByteArray, QList<Piece>>> fill = {
        {"{{CSP}}", {Piece{csp}}},
        {"{{TITLE}}", {Piece{title.toHtmlEscaped().toUtf8()}}},
        {"{{STYLE}}", {Piece{style}}},
        {"{{DATA}}", blocks},
        {"{{SCRIPT}}", {Piece{script}}},
    };
    qsizetype from = 0;
    for (const auto &[mark, pieces] : fill) {
        const qsizetype at = page.indexOf(mark, from);
        if (at < 0)
            continue;
        m_pieces << Piece{page.mid(from, at - from)} << pieces;
        from = at + mark.size();
    }
    m_pieces << Piece{page.mid(from)};
}

qint64 PageParts::size() const
{
    qint64 total = 0;
    for (const Piece &p : m_pieces)
        total += p.media < 0 ? p.text.size() : base64Size(m_media[p.media].size());
    return total;
}

// Hands the page to `sink` piece by piece; a media file is read and encoded
// in blocks of a multiple of three bytes, so the Base64 joins up.
template <typename Sink> bool PageParts::stream(Sink &&sink, QString *reason) const
{
    constexpr qint64 Block = 3 * 64 * 1024;
    for (const Piece &p : m_pieces) {
        if (p.media < 0) {
            if (!sink(p.text))
                return false;
            continue;
        }
        const PageMedia &m = m_media[p.media];
        if (!m.file) {
            for (qint64 at = 0; at < m.bytes.size(); at += Block)
                if (!sink(m.bytes.mid(at, Block).toBase64()))
                    return false;
            continue;
        }
        const auto reader = m.file->reader();
        QIODevice &file = *reader;
        const qint64 expected = m.size();
        qint64 read = 0;
        for (;;) {
            const QByteArray block = file.read(Block);
            if (block.isEmpty())
                break;
            read += block.size();
            if (!sink(block.toBase64()))
                return false;
        }
        if (read != expected) {
            *reason = QStringLiteral("%1 changed while the page was written").arg(QFileInfo(m.file->name()).fileName());
            return false;
        }
    }
    return true;
}

QByteArray PageParts::bytes() const
{
    QByteArray out;
    out.reserve(size());
    QString ignored;
    stream([&out](const QByteArray &piece) {
        out += piece;
        return true;
    }, &ignored);
    return out;
}

bool PageParts::carriesPrivateFile() const
{
    return std::any_of(m_media.cbegin(), m_media.cend(), [](const PageMedia &m) { return m.privateSource; });
}

bool PageParts::write(const QString &path, QString *reason, WorkProgress *progress) const
{
    CheckedFileStream out(path);
    if (!out.open()) {
        *reason = out.errorString();
        return false;
    }
    if (carriesPrivateFile())
        out.makeOwnerOnly();
    if (progress)
        progress->setTotal(size());
    const bool whole = stream([&out, progress, reason](const QByteArray &piece) {
        if (WorkProgress::stopped(progress)) {
            *reason = QStringLiteral("cancelled");
            return false;
        }
        if (progress)
            progress->advance(piece.size());
        return out.write(piece);
    }, reason);
    if (!whole || !out.commit()) {
        if (reason->isEmpty())
            *reason = out.errorString();
        out.discard();
        return false;
    }
    return true;
}
