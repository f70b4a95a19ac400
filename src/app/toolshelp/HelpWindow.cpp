#include "app/toolshelp/HelpWindow.h"

#include "platform/Platform.h"
#include "platform/ShellService.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QListWidget>
#include <QPointer>
#include <QRegularExpression>
#include <QSplitter>
#include <QStyle>
#include <QTextBrowser>
#include <QToolBar>

namespace {
QPointer<HelpWindow> openWindow;

QUrl withoutFragment(QUrl url)
{
    url.setFragment(QString());
    return url;
}
}

QUrl helpContentsUrl()
{
    return QUrl(QStringLiteral("qrc:/help/index.html"));
}

QList<HelpTopic> helpTopics()
{
    QFile file(QStringLiteral(":/help/index.html"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QString html = QString::fromUtf8(file.readAll());
    // Only the links of the contents list (class "contents") are topics; the
    // page's other links (to the web site, for instance) are not.
    const int start = html.indexOf(QStringLiteral("<ul class=\"contents\">"));
    const int end = html.indexOf(QStringLiteral("</ul>"), start);
    if (start < 0 || end < 0)
        return {};
    static const QRegularExpression link(
        QStringLiteral("<a\\s+href=\"([^\"#:]+\\.html)\"\\s*>(.*?)</a>"),
        QRegularExpression::DotMatchesEverythingOption);
    QList<HelpTopic> result;
    auto it = link.globalMatch(html.mid(start, end - start));
    while (it.hasNext()) {
        const auto m = it.next();
        QString title = m.captured(2);
        title.remove(QRegularExpression(QStringLiteral("<[^>]*>")));
        title = title.simplified().replace(QStringLiteral("&amp;"), QStringLiteral("&"));
        result.append({title, helpContentsUrl().resolved(QUrl(m.captured(1)))});
    }
    return result;
}

HelpWindow *HelpWindow::instance()
{
    return openWindow.data();
}

HelpWindow *HelpWindow::showContents()
{
    if (!openWindow)
        openWindow = new HelpWindow;
    HelpWindow *w = openWindow.data();
    w->showPage(helpContentsUrl());
    if (w->isMinimized())
        w->showNormal();
    w->show();
    w->raise();
    w->activateWindow();
    return w;
}

HelpWindow::HelpWindow(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmHelp"));
    // Named after the help file, as the help of programs of this family is.
    setWindowTitle(QStringLiteral("Ardenox"));
    setAttribute(Qt::WA_DeleteOnClose);
    // The help never keeps the program running once the editor has closed.
    setAttribute(Qt::WA_QuitOnClose, false);
    resize(880, 620);

    lstContents = new QListWidget;
    lstContents->setAccessibleName(tr("Contents"));
    lstContents->setObjectName(QStringLiteral("lstContents"));
    txtHelp = new QTextBrowser;
    txtHelp->setAccessibleName(tr("Help page"));
    txtHelp->setObjectName(QStringLiteral("txtHelp"));
    // Links are followed by followLink: pages inside the help here, web and
    // mail addresses through the desktop.
    txtHelp->setOpenLinks(false);

    topics.append({tr("Contents"), helpContentsUrl()});
    topics.append(helpTopics());
    for (const HelpTopic &t : topics)
        lstContents->addItem(t.title);

    auto *split = new QSplitter;
    split->addWidget(lstContents);
    split->addWidget(txtHelp);
    split->setStretchFactor(1, 1);
    split->setSizes({250, 630});
    setCentralWidget(split);

    auto *bar = addToolBar(tr("Navigation"));
    bar->setObjectName(QStringLiteral("tbrHelp"));
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    QAction *back = bar->addAction(style()->standardIcon(QStyle::SP_ArrowBack), tr("&Back"));
    back->setObjectName(QStringLiteral("cmdBack"));
    back->setShortcut(QKeySequence::Back);
    back->setEnabled(false);
    QAction *forward = bar->addAction(style()->standardIcon(QStyle::SP_ArrowForward), tr("&Forward"));
    forward->setObjectName(QStringLiteral("cmdForward"));
    forward->setShortcut(QKeySequence::Forward);
    forward->setEnabled(false);
    QAction *home = bar->addAction(style()->standardIcon(QStyle::SP_DirHomeIcon), tr("&Contents"));
    home->setObjectName(QStringLiteral("cmdContents"));
    auto *close = new QAction(this);
    close->setShortcut(QKeySequence(Qt::Key_Escape));
    addAction(close);

    connect(back, &QAction::triggered, txtHelp, &QTextBrowser::backward);
    connect(forward, &QAction::triggered, txtHelp, &QTextBrowser::forward);
    connect(home, &QAction::triggered, this, [this] { showPage(helpContentsUrl()); });
    connect(close, &QAction::triggered, this, &QWidget::close);
    connect(txtHelp, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
    connect(txtHelp, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);
    connect(txtHelp, &QTextBrowser::anchorClicked, this, &HelpWindow::followLink);
    connect(txtHelp, &QTextBrowser::sourceChanged, this, &HelpWindow::syncContentsList);
    connect(lstContents, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0 && row < topics.size()
            && withoutFragment(txtHelp->source()) != topics[row].url)
            showPage(topics[row].url);
    });
}

QUrl HelpWindow::currentPage() const
{
    return txtHelp->source();
}

void HelpWindow::showPage(const QUrl &url)
{
    if (txtHelp->source() != url)
        txtHelp->setSource(url);
}

void HelpWindow::followLink(const QUrl &link)
{
    const QUrl url = txtHelp->source().resolved(link);
    if (url.scheme() == QLatin1String("qrc"))
        showPage(url);
    else
        Platform::shell().openUrl(url);   // nothing is reported on failure
}

void HelpWindow::syncContentsList(const QUrl &url)
{
    const QUrl page = withoutFragment(url);
    for (int i = 0; i < topics.size(); ++i) {
        if (topics[i].url == page) {
            const QSignalBlocker block(lstContents);
            lstContents->setCurrentRow(i);
            return;
        }
    }
    const QSignalBlocker block(lstContents);
    lstContents->clearSelection();
    lstContents->setCurrentRow(-1);
}
