#pragma once
// The program's help: our HTML pages (compiled in as resources under
// qrc:/help/) shown in a window of our own with a contents list and
// back/forward. One help window per program; F1 and Help > Help Contents
// bring it up at its contents page.

#include <QList>
#include <QMainWindow>
#include <QUrl>

class QListWidget;
class QTextBrowser;
class QAction;

struct HelpTopic {
    QString title;
    QUrl url;
};

// The help's contents page.
QUrl helpContentsUrl();

// The topics the contents page links to, in its order. The contents list of
// the help window is built from them, so the page is the one place to edit.
QList<HelpTopic> helpTopics();

class HelpWindow : public QMainWindow {
    Q_OBJECT
public:
    // Opens the help window, or brings the open one to the front, at the
    // contents page.
    static HelpWindow *showContents();
    // The open help window, or nullptr.
    static HelpWindow *instance();

    QUrl currentPage() const;
    void showPage(const QUrl &url);

private:
    explicit HelpWindow(QWidget *parent = nullptr);
    void followLink(const QUrl &link);
    void syncContentsList(const QUrl &url);

    QListWidget *lstContents;
    QTextBrowser *txtHelp;
    QList<HelpTopic> topics;
};
