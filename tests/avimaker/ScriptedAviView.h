#pragma once
// The AVI maker's window as the tests script it: the options dialog answered
// with `options` (or cancelled), the entries selected and the status lines
// recorded.

#include "avimaker/AviMaker.h"
#include "avimaker/cDIB.h"

#include <QList>
#include <QStringList>

class ScriptedAviView : public AviMakerView {
public:
    bool accept = true;
    AVICOMPRESSOPTIONS options;   // full frames unless a test says otherwise
    QList<int> selected;
    QStringList statuses;
    void selectEntry(int index) override { selected << index; }
    bool chooseOptions(const cDIB &, AVICOMPRESSOPTIONS &o) override
    {
        o = options;
        return accept;
    }
    void frameWritten(int, const QString &) override {}
    void setStatus(const QString &text) override { statuses << text; }
};
