#pragma once
// What the marks in one question's bubbles say. Each bubble is measured as
// how dark its inside is beside the paper around it (0 white, 1 black),
// in a ring that leaves out the printed circle and letter. A clear mark is
// taken; anything the program could only guess at (two marks, a faint or
// half-erased one, a cross over a bubble) is left for the teacher.

#include <QList>
#include <QString>

struct MarkReading {
    enum class Doubt { None, TwoMarks, Faint };

    int chosen = -1;          // the bubble marked (0-based, as printed); -1 none or doubtful
    Doubt doubt = Doubt::None;

    bool isDoubtful() const { return doubt != Doubt::None; }
    // The reason as the teacher reads it: "two marks", "a faint, half-erased
    // or crossed-out mark"; "" when clear.
    QString reason() const;
    static QString reasonWord(Doubt doubt);   // "two-marks", "faint"

    // Darker than this is a mark; between Faint and Filled is doubtful.
    static constexpr double Filled = 0.40;
    static constexpr double Faint = 0.10;

    static MarkReading of(const QList<double> &darkness);
};
