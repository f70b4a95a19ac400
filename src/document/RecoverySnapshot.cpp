#include "document/RecoverySnapshot.h"

namespace {
bool noMedia(const QString &media)
{
    return media.isEmpty() || media.compare(QLatin1String("none"), Qt::CaseInsensitive) == 0;
}
}

bool EntryArea::isBlank() const
{
    for (const QString &a : mcAnswers)
        if (!a.isEmpty())
            return false;
    return mcQuestion.isEmpty() && tfQuestion.isEmpty() && noMedia(mcMedia) && noMedia(tfMedia);
}

bool EntryArea::operator==(const EntryArea &o) const
{
    return type == o.type && mcQuestion == o.mcQuestion && mcAnswers == o.mcAnswers && mcCorrect == o.mcCorrect
           && mcMedia == o.mcMedia && mcDescription == o.mcDescription && tfQuestion == o.tfQuestion
           && tfAnswer == o.tfAnswer && tfMedia == o.tfMedia && tfDescription == o.tfDescription && editing == o.editing;
}

bool EditorSnapshot::isEmpty() const
{
    return title.isEmpty() && teacher.isEmpty() && records.isEmpty() && companion.language.isEmpty() && entry.isBlank();
}

bool EditorSnapshot::sameTest(const EditorSnapshot &o) const
{
    return title == o.title && teacher == o.teacher && records == o.records && companion == o.companion;
}

bool EditorSnapshot::operator==(const EditorSnapshot &o) const
{
    return sameTest(o) && originalPath == o.originalPath && testFolder == o.testFolder && entry == o.entry;
}
