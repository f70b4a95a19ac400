#pragma once
// The editor's Tools and Help menus, and F1 for help in every window.

#include <QString>
#include <functional>

class QMenuBar;
class QWidget;
class QApplication;

// Adds "&Tools" and "&Help" after the File menu of the editor's menu bar.
// testFolder gives the folder a file manager should open (may return "").
void installToolsAndHelpMenus(QMenuBar *menuBar, QWidget *editor,
                              std::function<QString()> testFolder = {});

// Makes F1 open the help at its contents in every window of the program.
// Also gives the program its window icon and ties it to its desktop entry.
void installHelpKey(QApplication &app);

// The product's web page and the author's mail link (Help menu).
inline const QString kArdenoWebsite = QStringLiteral("https://ardeno.example.org/");
inline const QString kAuthorMailto =
    QStringLiteral("mailto:author@ardeno.example.org?Subject=Ardeno");

// "Ardeno Test Creator v 1. 0": the version numbers with their sign blanks.
QString aboutText();

// The Help menu's commands, also usable without the menu.
void mnuHelpContents_Click();
void mnuHelpAbout_Click();
void mnuHelpWeb_Click();
void mnuHelpAuthor_Click();
