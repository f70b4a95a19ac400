#include "paper/MarkReading.h"

namespace {
// Each doubt: the word `--json` gives it, and the reason the teacher reads.
struct DoubtText {
    MarkReading::Doubt doubt;
    const char *word;
    const char *reason;
};
constexpr DoubtText kDoubts[] = {
    {MarkReading::Doubt::TwoMarks, "two-marks", "more than one bubble is marked"},
    {MarkReading::Doubt::Faint, "faint", "a faint, half-erased or crossed-out mark"},
};

const DoubtText *textOf(MarkReading::Doubt doubt)
{
    for (const DoubtText &d : kDoubts)
        if (d.doubt == doubt)
            return &d;
    return nullptr;
}
}

QString MarkReading::reason() const
{
    const DoubtText *d = textOf(doubt);
    return d ? QString::fromLatin1(d->reason) : QString();
}

QString MarkReading::reasonWord(Doubt doubt)
{
    const DoubtText *d = textOf(doubt);
    return d ? QString::fromLatin1(d->word) : QString();
}

MarkReading MarkReading::of(const QList<double> &darkness)
{
    MarkReading r;
    int filled = 0, faint = 0;
    for (int i = 0; i < darkness.size(); ++i) {
        if (darkness[i] >= Filled) {
            ++filled;
            r.chosen = i;
        } else if (darkness[i] >= Faint) {
            ++faint;
        }
    }
    if (filled > 1) {
        r.chosen = -1;
        r.doubt = Doubt::TwoMarks;
    } else if (faint > 0) {
        // A faint mark beside a clear one may be an answer rubbed out or the
        // one meant: the teacher decides either way.
        r.chosen = -1;
        r.doubt = Doubt::Faint;
    }
    return r;
}
