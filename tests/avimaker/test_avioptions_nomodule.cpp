// The compression options when the encoder module cannot be loaded: only
// full frames are offered and the user is told why, once per run. A test
// program of its own, as a process loads (or fails to load) the module once.

#include "BmpFixture.h"
#include "TestDoubles.h"
#include "avimaker/dlgAVIOptions.h"

#include <QTemporaryDir>
#include <QtTest>

class AviOptionsWithoutEncoders : public QObject {
    Q_OBJECT
private slots:
    void onlyFullFramesAndOneMessage()
    {
        QTemporaryDir empty;
        qputenv("ARDENO_MODULE_DIR", QFile::encodeName(empty.path()));
        ScopedPlatform platform;
        BmpSpec spec;
        spec.width = 16;
        spec.height = 8;
        const QByteArray info = makeBmp(spec).mid(14, 40);

        for (int round = 0; round < 2; ++round) {
            dlgAVIOptions dlg(nullptr, ICMF_CHOOSE_KEYFRAME | ICMF_CHOOSE_DATARATE, info);
            QCOMPARE(dlg.compressorNames(), QStringList{"Full Frames (Uncompressed)"});
            QCOMPARE(dlg.options().fccHandler, mmioStringToFOURCC("DIB "));
        }
        QCOMPARE(platform.messages.shown.size(), 1);
        QVERIFY(platform.messages.shown[0].text.contains("libardeno_encoders.so not found"));
        qunsetenv("ARDENO_MODULE_DIR");
    }
};

QTEST_MAIN(AviOptionsWithoutEncoders)
#include "test_avioptions_nomodule.moc"
