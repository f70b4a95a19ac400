#include "frmPreview.h"

#include "TestDocument.h"

#include <QPointer>

namespace {
QPointer<frmPreview> g_instance;
}

frmPreview::frmPreview(const TestDocument &doc, QWidget *editor)
    : QWidget(editor, Qt::Window), m_doc(&doc)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Ardeno Previewer"));
}

frmPreview::~frmPreview() = default;

frmPreview *frmPreview::showPreview(const TestDocument &doc, const QString &, const QString &,
                                    QWidget *editor)
{
    if (!g_instance)
        g_instance = new frmPreview(doc, editor);
    g_instance->show();
    g_instance->raise();
    g_instance->activateWindow();
    return g_instance;
}

frmPreview *frmPreview::instance()
{
    return g_instance;
}
