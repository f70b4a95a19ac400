#pragma once
// For fuzz targets that draw (metafiles, pictures): a GUI application on the
// offscreen platform, for the font database and the image readers, set up
// once; and fontconfig's first-use set-up, which keeps a few bytes out of
// reach of any pointer, kept out of the leak report (it is the library's,
// not a leak of the code under test). Include from one file per target.

#include <QGuiApplication>

extern "C" const char *__lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}

inline void startFuzzGui(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_LOGGING_RULES", "qt.svg=false;qt.gui.imageio=false");
    static QGuiApplication app(*argc, *argv);
}
