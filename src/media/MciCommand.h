#pragma once
// Splits a media command string into its parts. No devices involved, so the
// grammar is tested on its own.

#include <QString>
#include <QStringList>

struct MciCommand {
    QString verb;          // lower case: open, window, capability, where, put, play, stop, status, close
    QString target;        // the alias (or "all"), as written
    QStringList words;     // the words after the target, as written
    // open only:
    QString deviceType;    // lower case: avivideo, mpegvideo, sequencer
    QString element;       // the file name, blanks kept, quotes removed
};

// Returns 0 and fills `out`, or an MciError code.
int parseMciCommand(const QString &text, MciCommand *out);

// A number of a command, with an optional sign; false when it is not one.
bool parseMciInteger(const QString &word, int *value);
