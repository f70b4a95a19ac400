#pragma once
// The per-line scrambling that keeps a test's answers (and a score log) from
// being read in a text editor. Each byte is XORed with a one-byte key, so the
// routine is its own inverse. It works on the file's bytes: scramble after
// encoding, unscramble before decoding.

#include <QByteArray>

namespace LineCodec {
// Test files. Below 32 and neither 0 nor 7, so a printable byte stays
// printable and CR/LF never appear inside a scrambled line.
constexpr unsigned char TestFileKey = 0x1D;
// Score logs written by the quiz player.
constexpr unsigned char ScoreLogKey = 0xB6;

QByteArray apply(QByteArray line, unsigned char key);
inline QByteArray testLine(const QByteArray &line) { return apply(line, TestFileKey); }
inline QByteArray logLine(const QByteArray &line) { return apply(line, ScoreLogKey); }
}
