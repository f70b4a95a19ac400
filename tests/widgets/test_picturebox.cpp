// The picture box: inner area inside the border, pictures drawn where the
// caller puts them (unscaled or scaled).

#include "widgets/PictureBox.h"

#include <QtTest>

class TestPictureBox : public QObject {
    Q_OBJECT

    static QImage filled(const QSize &size, QColor color)
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(color);
        return image;
    }

    // What the box shows at a point of its inner area.
    static QColor shownAt(PictureBox &box, QPoint inner)
    {
        const QImage shot = box.grab().toImage();
        return shot.pixelColor(inner + box.contentsRect().topLeft());
    }

private slots:
    void innerAreaIsInsideTheBorder()
    {
        PictureBox box;
        box.setInnerSize(QSize(117, 117));
        QCOMPARE(box.innerSize(), QSize(117, 117));
        QCOMPARE(box.size(), QSize(121, 121));   // two pixels of border each side
        box.setBorder3D(false);
        QCOMPARE(box.innerSize(), QSize(121, 121));
    }

    void drawsAtTheGivenPlace()
    {
        PictureBox box;
        box.setInnerSize(QSize(117, 117));
        box.setBackgroundColor(Qt::white);
        // A 50 by 40 picture drawn unscaled at 33, 38.
        box.setPicture(filled(QSize(50, 40), Qt::red), QPoint(33, 38));
        QCOMPARE(box.pictureRect(), QRect(33, 38, 50, 40));
        QCOMPARE(shownAt(box, QPoint(33, 38)), QColor(Qt::red));
        QCOMPARE(shownAt(box, QPoint(82, 77)), QColor(Qt::red));
        QCOMPARE(shownAt(box, QPoint(32, 38)), QColor(Qt::white));
        QCOMPARE(shownAt(box, QPoint(83, 78)), QColor(Qt::white));

        // A 234 by 117 picture shrunk into 117 by 58 at 0, 29.
        box.setPicture(filled(QSize(234, 117), Qt::blue), QRect(0, 29, 117, 58));
        QCOMPARE(shownAt(box, QPoint(0, 29)), QColor(Qt::blue));
        QCOMPARE(shownAt(box, QPoint(116, 86)), QColor(Qt::blue));
        QCOMPARE(shownAt(box, QPoint(50, 28)), QColor(Qt::white));
        QCOMPARE(shownAt(box, QPoint(50, 87)), QColor(Qt::white));
    }

};

QTEST_MAIN(TestPictureBox)
#include "test_picturebox.moc"
