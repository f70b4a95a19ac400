#pragma once
// Fills the web quiz templates (page.html, quiz.css, quiz.js, compiled in as
// resources) into one self-contained page: the script and styles inline and
// allowed by their hashes in the page's Content-Security-Policy, the answer
// sounds and media as data: URIs (or, in a package, media as files beside
// the page), and the questions as an encoded block so that the right
// answers cannot be read in the page's source.

#include "platform/OpenFile.h"
#include "platform/WorkProgress.h"

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>

struct PageMedia {
    QByteArray bytes;
    QString mimeType;
    // When set, the bytes are this admitted file's, read through its handle
    // only as the page is written (a sound of hundreds of megabytes is never
    // held in memory).
    OpenFilePtr file;
    // In a package: the name the file has beside the page ("media/3.jpg");
    // the page then names it instead of holding it.
    QString packagedName;
    // Made from a file only its owner may read.
    bool privateSource = false;
    qint64 size() const;
    // The name ending a file of this type gets ("jpg" for image/jpeg).
    QString suffix() const;
};

// The page as pieces: its texts, and the media written as data: URIs from
// memory or straight from their files, block by block. Its size is known
// before a byte of it is written.
class PageParts {
public:
    PageParts() = default;
    // quiz: the test as the script reads it (see quiz.js). media[i] is the
    // file a question's "media" index names.
    PageParts(const QString &title, const QJsonObject &quiz, QList<PageMedia> media);

    qint64 size() const;
    // How many characters `bytes` bytes take in Base64, as a page holds them.
    static qint64 base64Size(qint64 bytes) { return (bytes + 2) / 3 * 4; }
    // The whole page in memory.
    QByteArray bytes() const;
    const QList<PageMedia> &media() const { return m_media; }
    // Whether a media file only its owner may read went in: the page (or
    // package) is then written readable by its owner alone, never more open
    // than what went into it.
    bool carriesPrivateFile() const;
    // The page written through the checked writer, streamed; false with the
    // reason when it cannot be, or when `progress` is cancelled on the way
    // (nothing is left then, and an existing file stays as it was).
    bool write(const QString &path, QString *reason, WorkProgress *progress = nullptr) const;

private:
    struct Piece {
        QByteArray text;
        int media = -1;   // >= 0: that media file's Base64 goes here
    };
    template <typename Sink> bool stream(Sink &&sink, QString *reason) const;
    QList<Piece> m_pieces;
    QList<PageMedia> m_media;
};

namespace WebQuizPage {
// PageParts(title, quiz, media).bytes().
QByteArray build(const QString &title, const QJsonObject &quiz, const QList<PageMedia> &media);

// The reversible scrambling of the quiz block: a random key, stored in the
// page, XORed over the UTF-8 JSON, then Base64. It hides the answers from a
// glance at the source, nothing more.
QByteArray encodeQuiz(const QByteArray &json, const QByteArray &key);
QByteArray decodeQuiz(const QByteArray &encoded, const QByteArray &key);
}
