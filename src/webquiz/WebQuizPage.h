#pragma once
// Fills the web quiz templates (page.html, quiz.css, quiz.js, compiled in as
// resources) into one self-contained page: the script and styles inline and
// allowed by their hashes in the page's Content-Security-Policy, the answer
// sounds and media as data: URIs, and the questions as an encoded block so
// that the right answers cannot be read in the page's source.

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>

struct PageMedia {
    QByteArray bytes;
    QString mimeType;
};

namespace WebQuizPage {
// quiz: the test as the script reads it (see quiz.js). media[i] is the file
// a question's "media" index names.
QByteArray build(const QString &title, const QJsonObject &quiz, const QList<PageMedia> &media);

// The reversible scrambling of the quiz block: a random key, stored in the
// page, XORed over the UTF-8 JSON, then Base64. It hides the answers from a
// glance at the source, nothing more.
QByteArray encodeQuiz(const QByteArray &json, const QByteArray &key);
QByteArray decodeQuiz(const QByteArray &encoded, const QByteArray &key);
}
