#pragma once
// The video compression options, standing in for the AVISaveOptions dialog:
// "Full Frames (Uncompressed)" or one of the libavcodec encoders that can
// take the bitmaps, a quality, and, as the flags ask, a key-frame interval
// and a data rate. The choice is remembered for the next write in this run.

#include "avimaker/FrameEncoder.h"
#include "avimaker/mAVIDecs.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QSlider;
class QSpinBox;

class dlgAVIOptions : public QDialog {
    Q_OBJECT
public:
    // `bitmapInfo` describes the frames (the first bitmap's bitmap-info block).
    dlgAVIOptions(QWidget *parent, unsigned uiFlags, const QByteArray &bitmapInfo);

    // The options as the dialog shows them now.
    AVICOMPRESSOPTIONS options() const;
    // Selects the entry with this FOURCC, if listed; true when found.
    bool selectCompressor(std::uint32_t fourcc);
    QStringList compressorNames() const;

    // The options of the last OK in this run (none yet: full frames).
    static AVICOMPRESSOPTIONS lastChoice();
    static void forgetLastChoice();

private:
    void updateControls();

    QComboBox *cboCompressor;
    QLabel *lblQuality;
    QLabel *lblQualityCaption;
    QSlider *sldQuality;
    QCheckBox *chkKeyFrames;
    QSpinBox *txtKeyFrames;
    QCheckBox *chkDataRate;
    QSpinBox *txtDataRate;
    QList<VideoCodecInfo> m_listed;
};

// Shows the dialog modally. 1 when the user pressed OK (options filled in),
// 0 on Cancel (options untouched).
int AVISaveOptions(QWidget *owner, unsigned uiFlags, const QByteArray &bitmapInfo,
                   AVICOMPRESSOPTIONS &options);
