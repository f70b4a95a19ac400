#include "paper/MarkReading.h"

QString MarkReading::reason() const
{
    switch (doubt) {
    case Doubt::TwoMarks:
        return QStringLiteral("more than one bubble is marked");
    case Doubt::Faint:
        return QStringLiteral("a faint, half-erased or crossed-out mark");
    case Doubt::None:
        break;
    }
    return QString();
}

QString MarkReading::reasonWord(Doubt doubt)
{
    switch (doubt) {
    case Doubt::TwoMarks:
        return QStringLiteral("two-marks");
    case Doubt::Faint:
        return QStringLiteral("faint");
    case Doubt::None:
        break;
    }
    return QString();
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
