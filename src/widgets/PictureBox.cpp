#include "widgets/PictureBox.h"

#include <QPainter>
#include <QPaintEvent>

PictureBox::PictureBox(QWidget *parent)
    : QFrame(parent)
{
    // A Windows picture box starts in the button-face colour.
    m_background = palette().color(QPalette::Button);
    setBorder3D(true);
}

void PictureBox::setPicture(const QImage &image, const QRect &target)
{
    m_image = image;
    m_target = image.isNull() ? QRect() : target;
    update();
}

void PictureBox::setPicture(const QImage &image, const QPoint &topLeft)
{
    setPicture(image, QRect(topLeft, image.size()));
}

void PictureBox::clear()
{
    setPicture(QImage(), QRect());
}

void PictureBox::setInnerSize(const QSize &inner)
{
    // The border takes what lies between the outer and the inner size.
    resize(inner + (size() - contentsRect().size()));
}

void PictureBox::setBackgroundColor(const QColor &color)
{
    m_background = color;
    update();
}

bool PictureBox::hasBorder3D() const
{
    return frameShape() != QFrame::NoFrame;
}

void PictureBox::setBorder3D(bool on)
{
    if (on) {
        setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
        setLineWidth(2);
    } else {
        setFrameStyle(QFrame::NoFrame);
    }
}

void PictureBox::paintEvent(QPaintEvent *event)
{
    QPainter p(this);
    p.fillRect(rect(), m_background);
    if (!m_image.isNull() && m_target.isValid()) {
        const QRect r = m_target.translated(contentsRect().topLeft());
        p.setClipRect(contentsRect());
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(r, m_image);
    }
    p.end();
    QFrame::paintEvent(event);
}
