#include "avimaker/dlgAVIOptions.h"

#include "platform/MsgBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {
bool g_hasLast = false;
AVICOMPRESSOPTIONS g_last;
constexpr int kDefaultQuality = 85;
constexpr int kDefaultKeyFrames = 15;
constexpr int kDefaultKBPerSecond = 300;
}

dlgAVIOptions::dlgAVIOptions(QWidget *parent, unsigned uiFlags, const QByteArray &bitmapInfo)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("dlgAVIOptions"));
    setWindowTitle(tr("Video Compression"));
    if (parent)
        setFont(parent->window()->font());   // the font of the window that asks

    cboCompressor = new QComboBox(this);
    cboCompressor->setObjectName(QStringLiteral("cboCompressor"));
    const DibLayout layout = DibLayout::fromBitmapInfo(bitmapInfo);
    QString why;
    const bool encoders = encodersAvailable(&why);
    if (!encoders) {
        // Full frames still work; tell the user once per run why the
        // encoders are missing, not at every write.
        static bool told = false;
        if (!told) {
            told = true;
            MsgBox(tr("Only full frames can be written: the video encoders could not be loaded "
                      "(%1).").arg(why),
                   MsgIcon::Exclamation);
        }
    }
    for (const VideoCodecInfo &codec : videoCodecs()) {
        if (codec.id != VideoCodec::None && (!encoders || !codecApplies(codec.id, layout)))
            continue;
        m_listed.append(codec);
        cboCompressor->addItem(QString::fromLatin1(codec.displayName));
    }

    sldQuality = new QSlider(Qt::Horizontal, this);
    sldQuality->setObjectName(QStringLiteral("sldQuality"));
    sldQuality->setRange(0, 100);
    sldQuality->setValue(kDefaultQuality);
    lblQuality = new QLabel(this);
    lblQuality->setObjectName(QStringLiteral("lblQuality"));
    lblQuality->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("100")) + 4);

    chkKeyFrames = new QCheckBox(tr("&Key Frame Every"), this);
    chkKeyFrames->setObjectName(QStringLiteral("chkKeyFrames"));
    txtKeyFrames = new QSpinBox(this);
    txtKeyFrames->setObjectName(QStringLiteral("txtKeyFrames"));
    txtKeyFrames->setRange(1, 9999);
    txtKeyFrames->setValue(kDefaultKeyFrames);
    txtKeyFrames->setSuffix(tr(" frames"));
    chkDataRate = new QCheckBox(tr("&Data Rate"), this);
    chkDataRate->setObjectName(QStringLiteral("chkDataRate"));
    txtDataRate = new QSpinBox(this);
    txtDataRate->setObjectName(QStringLiteral("txtDataRate"));
    txtDataRate->setRange(1, 1000000);
    txtDataRate->setValue(kDefaultKBPerSecond);
    txtDataRate->setSuffix(tr(" KB/sec"));
    // Each box speaks with its caption: the check boxes beside them name them.
    sldQuality->setAccessibleName(tr("Compression Quality"));
    txtKeyFrames->setAccessibleName(tr("Key Frame Every"));
    txtDataRate->setAccessibleName(tr("Data Rate"));

    auto *form = new QFormLayout;
    form->addRow(tr("&Compressor:"), cboCompressor);
    auto *qualityRow = new QHBoxLayout;
    qualityRow->addWidget(sldQuality, 1);
    qualityRow->addWidget(lblQuality);
    lblQualityCaption = new QLabel(tr("Compression Quality:"), this);
    lblQualityCaption->setObjectName(QStringLiteral("lblQualityCaption"));
    form->addRow(lblQualityCaption, qualityRow);
    if (uiFlags & ICMF_CHOOSE_KEYFRAME)
        form->addRow(chkKeyFrames, txtKeyFrames);
    else
        chkKeyFrames->hide(), txtKeyFrames->hide();
    if (uiFlags & ICMF_CHOOSE_DATARATE)
        form->addRow(chkDataRate, txtDataRate);
    else
        chkDataRate->hide(), txtDataRate->hide();

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *top = new QVBoxLayout(this);
    top->addLayout(form);
    top->addWidget(buttons);

    connect(cboCompressor, &QComboBox::currentIndexChanged, this, &dlgAVIOptions::updateControls);
    connect(chkKeyFrames, &QCheckBox::toggled, this, &dlgAVIOptions::updateControls);
    connect(chkDataRate, &QCheckBox::toggled, this, &dlgAVIOptions::updateControls);
    connect(sldQuality, &QSlider::valueChanged, this,
            [this](int v) { lblQuality->setText(QString::number(v)); });
    lblQuality->setText(QString::number(sldQuality->value()));

    if (g_hasLast) {
        selectCompressor(g_last.fccHandler);
        if (g_last.dwQuality <= 10000)
            sldQuality->setValue(int(g_last.dwQuality / 100));
        chkKeyFrames->setChecked(g_last.dwFlags & AVICOMPRESSF_KEYFRAMES);
        if (g_last.dwKeyFrameEvery)
            txtKeyFrames->setValue(int(g_last.dwKeyFrameEvery));
        chkDataRate->setChecked(g_last.dwFlags & AVICOMPRESSF_DATARATE);
        if (g_last.dwBytesPerSecond)
            txtDataRate->setValue(int(g_last.dwBytesPerSecond / 1024));
    }
    updateControls();
}

void dlgAVIOptions::updateControls()
{
    const int row = cboCompressor->currentIndex();
    const VideoCodecInfo *codec = row >= 0 && row < m_listed.size() ? &m_listed[row] : nullptr;
    const bool keyFrames = codec && codec->usesKeyFrames;
    const bool dataRate = codec && codec->usesDataRate;
    const bool quality = codec && codec->usesQuality && !(dataRate && chkDataRate->isChecked());
    // The caption and the value go grey with the slider they describe.
    sldQuality->setEnabled(quality);
    lblQualityCaption->setEnabled(quality);
    lblQuality->setEnabled(quality);
    chkKeyFrames->setEnabled(keyFrames);
    txtKeyFrames->setEnabled(keyFrames && chkKeyFrames->isChecked());
    chkDataRate->setEnabled(dataRate);
    txtDataRate->setEnabled(dataRate && chkDataRate->isChecked());
}

bool dlgAVIOptions::selectCompressor(std::uint32_t fourcc)
{
    for (int i = 0; i < m_listed.size(); ++i)
        if (m_listed[i].fourcc == fourcc) {
            cboCompressor->setCurrentIndex(i);
            return true;
        }
    return false;
}

QStringList dlgAVIOptions::compressorNames() const
{
    QStringList names;
    for (int i = 0; i < cboCompressor->count(); ++i)
        names << cboCompressor->itemText(i);
    return names;
}

AVICOMPRESSOPTIONS dlgAVIOptions::options() const
{
    AVICOMPRESSOPTIONS o;
    const int row = cboCompressor->currentIndex();
    o.fccType = mmioStringToFOURCC("vids");
    o.fccHandler = row >= 0 && row < m_listed.size() ? m_listed[row].fourcc : 0;
    o.dwQuality = std::uint32_t(sldQuality->value() * 100);
    o.dwKeyFrameEvery = std::uint32_t(txtKeyFrames->value());
    o.dwBytesPerSecond = std::uint32_t(txtDataRate->value()) * 1024;
    o.dwFlags = AVICOMPRESSF_VALID;
    if (chkKeyFrames->isChecked())
        o.dwFlags |= AVICOMPRESSF_KEYFRAMES;
    if (chkDataRate->isChecked())
        o.dwFlags |= AVICOMPRESSF_DATARATE;
    return o;
}

AVICOMPRESSOPTIONS dlgAVIOptions::lastChoice()
{
    return g_hasLast ? g_last : AVICOMPRESSOPTIONS();
}

void dlgAVIOptions::forgetLastChoice()
{
    g_hasLast = false;
    g_last = AVICOMPRESSOPTIONS();
}

int AVISaveOptions(QWidget *owner, unsigned uiFlags, const QByteArray &bitmapInfo,
                   AVICOMPRESSOPTIONS &options)
{
    dlgAVIOptions dialog(owner, uiFlags, bitmapInfo);
    if (dialog.exec() != QDialog::Accepted)
        return 0;
    options = dialog.options();
    g_last = options;
    g_hasLast = true;
    return 1;
}
