#include "webquiz/WebQuizPage.h"

#include "media/modSound.h"

#include <QCryptographicHash>
#include <QFile>
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
    const QByteArray style = resource(QStringLiteral("quiz.css"));
    const QByteArray script = resource(QStringLiteral("quiz.js"));
    QByteArray page = resource(QStringLiteral("page.html"));

    QByteArray key(32, Qt::Uninitialized);
    for (char &c : key)
        c = char(QRandomGenerator::global()->bounded(256));
    const QByteArray encoded = encodeQuiz(QJsonDocument(quiz).toJson(QJsonDocument::Compact), key);

    // Base64 holds no '<', so none of these blocks can end its element early.
    QByteArray blocks;
    blocks += "<script type=\"text/plain\" id=\"quiz-data\" data-key=\"" + key.toBase64() + "\">" + encoded
              + "</script>\n";
    blocks += "<script type=\"text/plain\" id=\"sound-right\">"
              + dataUri(resourceSoundData(101), QStringLiteral("audio/wav")) + "</script>\n";
    blocks += "<script type=\"text/plain\" id=\"sound-wrong\">"
              + dataUri(resourceSoundData(102), QStringLiteral("audio/wav")) + "</script>\n";
    for (qsizetype i = 0; i < media.size(); ++i)
        blocks += "<script type=\"text/plain\" id=\"media-" + QByteArray::number(i) + "\">"
                  + dataUri(media[i].bytes, media[i].mimeType) + "</script>\n";

    const QByteArray csp = "default-src 'none'; script-src " + hashSource(script) + "; style-src " + hashSource(style)
                           + "; img-src data: blob:; media-src data: blob:; base-uri 'none'; form-action 'none'";
    // Placeholders are replaced in one pass in this order; none of the
    // inserted texts is searched again, so a title holding "{{SCRIPT}}"
    // stays text.
    const QList<QPair<QByteArray, QByteArray>> fill = {
        {"{{CSP}}", csp},
        {"{{TITLE}}", title.toHtmlEscaped().toUtf8()},
        {"{{STYLE}}", style},
        {"{{DATA}}", blocks},
        {"{{SCRIPT}}", script},
    };
    QByteArray out;
    qsizetype from = 0;
    for (const auto &[mark, text] : fill) {
        const qsizetype at = page.indexOf(mark, from);
        if (at < 0)
            continue;
        out += page.mid(from, at - from);
        out += text;
        from = at + mark.size();
    }
    out += page.mid(from);
    return out;
}
}
