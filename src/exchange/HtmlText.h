#pragma once
// Question texts in HTML (Moodle's editor, GIFT's [html]) and the plain
// lines a test holds. toPlain keeps the text as it reads: tags go, entities
// are decoded, <br> and the ends of paragraphs, list items and table rows
// become line breaks (CR LF), other white space is one blank. fromPlain is
// its inverse for a plain text, blanks and line breaks included.

#include <QString>
#include <QStringList>

namespace HtmlText {
// Links to a file embedded in a Moodle question (href "@@PLUGINFILE@@/...")
// go with their text: the file travels as the question's media.
QString toPlain(const QString &html);
QString fromPlain(const QString &text);
// The addresses of sound and video the HTML links to or embeds from outside
// (<a href>, <audio>/<video>/<source>/<embed> src), in order, each once;
// files embedded in the question itself ("@@PLUGINFILE@@") are not listed.
QStringList mediaLinks(const QString &html);
// & < > " as entities.
QString escaped(const QString &text);
// Character references and the common named entities; unknown ones stay.
QString decodeEntities(const QString &text);
}
