// The media panel on a window of its own: what it shows for a picture, a
// sound and a picture that cannot be read, and how it empties.
#include "TestDoubles.h"
#include "widgets/MediaPreviewPanel.h"
#include "widgets/PictureBox.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

class TestMediaPreviewPanel : public QObject {
    Q_OBJECT

    static QString data(const QString &name) { return qEnvironmentVariable("ARDENO_TEST_DATA") + '/' + name; }

    // The editor's places: a 121-pixel square box, the play button on it.
    static MediaPreviewPanel::Places places()
    {
        return {QRect(256, 208, 85, 13), QRect(256, 224, 121, 121), QRect(256, 224, 121, 25), QRect(472, 0, 49, 33)};
    }

private slots:
    void pictureBecomesAThumbnail()
    {
        ScopedPlatform p;
        QWidget host;
        host.resize(524, 355);
        MediaPreviewPanel panel(&host, places());
        QCOMPARE(host.findChild<QLabel *>("lblPreview")->text(), QString("No Media Chosen"));
        QVERIFY(panel.picture()->isHidden());

        // 200 x 100 in a box of 117 x 117 inside its border: shrunk, centred.
        panel.show(data("pictures/gradient-200x100.jpg"));
        QCOMPARE(panel.label()->text(), QString("Picture Thumbnail"));
        QVERIFY(!panel.picture()->isHidden());
        QCOMPARE(panel.naturalSize()->innerSize(), QSize(200, 100));
        QCOMPARE(panel.picture()->pictureRect(), QRect(0, 29, 117, 58));   // 58.5 rounds half to even
        QVERIFY(panel.playButton()->isHidden());
        QCOMPARE(panel.mediaPath(), data("pictures/gradient-200x100.jpg"));

        // A small picture keeps its size.
        panel.show(data("pictures/redblue-40x30.bmp"));
        QCOMPARE(panel.picture()->pictureRect(), QRect(38, 43, 40, 30));

        panel.clear();
        QCOMPARE(panel.label()->text(), QString("No Media Chosen"));
        QVERIFY(panel.picture()->isHidden());
        QVERIFY(!panel.picture()->hasPicture());
        QVERIFY(p.messages.shown.isEmpty());
    }

    void soundOffersThePlayButtonAndABadPictureSaysSo()
    {
        ScopedPlatform p;
        QWidget host;
        MediaPreviewPanel panel(&host, places());
        panel.show(data("media/tone.wav"));
        QCOMPARE(panel.label()->text(), QString("Wav Preview"));
        QVERIFY(!panel.playButton()->isHidden());
        QCOMPARE(panel.playButton()->text(), QString("Play Wav"));
        QVERIFY(panel.picture()->isHidden());
        panel.replay();
        panel.forgetMedia();
        QVERIFY(panel.mediaPath().isEmpty());

        panel.show(data("pictures/not-a-picture.jpg"));
        QCOMPARE(p.messages.texts(), QStringList{"Error loading media file!"});
        QCOMPARE(panel.label()->text(), QString("Picture Preview"));
        panel.clear();
    }
};

QTEST_MAIN(TestMediaPreviewPanel)
#include "test_mediapreviewpanel.moc"
