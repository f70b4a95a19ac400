#pragma once
// A picture box: a framed area that shows one picture at a rectangle of the
// caller's choosing, the way a Windows picture box shows what PaintPicture
// drew into it. The caller positions the picture (thumbnail and fit
// arithmetic live with the windows); the box only paints it, scaled smoothly
// when the rectangle differs from the image size.
//
// Coordinates are relative to the inner area (inside the border), which is
// what the program's arithmetic calls the inner width and height. Child
// widgets, such as a video output, may be placed on top of the box.

#include <QColor>
#include <QFrame>
#include <QImage>
#include <QRect>

class PictureBox : public QFrame {
    Q_OBJECT
    Q_PROPERTY(QColor backgroundColor READ backgroundColor WRITE setBackgroundColor)
    Q_PROPERTY(bool border3D READ hasBorder3D WRITE setBorder3D)

public:
    explicit PictureBox(QWidget *parent = nullptr);

    // Shows `image` drawn into `target` (inner coordinates). A null image
    // clears the box.
    void setPicture(const QImage &image, const QRect &target);
    // Shows `image` at its own size with its top-left corner at `topLeft`.
    void setPicture(const QImage &image, const QPoint &topLeft = QPoint());
    // Wipes the drawing: only the background remains.
    void clear();

    QImage picture() const { return m_image; }
    QRect pictureRect() const { return m_target; }   // inner coordinates
    bool hasPicture() const { return !m_image.isNull(); }

    // The inner size (inside the border), in pixels.
    QSize innerSize() const { return contentsRect().size(); }
    // Resizes the box so that its inner area has `inner` size.
    void setInnerSize(const QSize &inner);

    // The colour around and under the picture; the button face at first.
    QColor backgroundColor() const { return m_background; }
    void setBackgroundColor(const QColor &color);

    // The sunken two-pixel border of a Windows picture box (default on).
    bool hasBorder3D() const;
    void setBorder3D(bool on);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage m_image;
    QRect m_target;
    QColor m_background;
};
