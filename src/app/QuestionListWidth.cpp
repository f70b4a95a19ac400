#include "app/QuestionListWidth.h"

#include <QFontMetrics>

#include <algorithm>

int questionListWidth(const QFontMetrics &metrics, const QStringList &captions, int boxWidth)
{
    // No character is narrower than one pixel, so no more characters than
    // the widest list can take pixels need measuring.
    constexpr int kMargin = 24;
    int widest = boxWidth;
    for (const QString &caption : captions) {
        widest = std::max(widest, metrics.horizontalAdvance(caption.left(kMaxQuestionListWidth)) + kMargin);
        if (widest >= kMaxQuestionListWidth)
            break;
    }
    return std::min(widest, kMaxQuestionListWidth);
}
