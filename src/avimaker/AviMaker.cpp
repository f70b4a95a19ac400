#include "avimaker/AviMaker.h"

#include "avimaker/cDIB.h"
#include "platform/MsgBox.h"

#include <QDir>
#include <cmath>
#include <cstdlib>
#include <string>

int parseFrameRate(const QString &text)
{
    // Read like the classic Val(): blanks may come first, then a sign,
    // digits with at most one ".", and an exponent.
    std::string number;
    int i = 0;
    const int n = int(text.size());
    auto isBlank = [&](int k) { return text[k] == ' ' || text[k] == '\t' || text[k] == '\n'; };
    while (i < n && isBlank(i))
        ++i;
    if (i < n && (text[i] == '+' || text[i] == '-'))
        number += char(text[i++].toLatin1());
    bool digits = false, point = false;
    for (; i < n; ++i) {
        const QChar c = text[i];
        if (c >= '0' && c <= '9') {
            number += char(c.toLatin1());
            digits = true;
        } else if (c == '.' && !point) {
            number += '.';
            point = true;
        } else {
            break;
        }
    }
    if (digits && i < n && (text[i] == 'e' || text[i] == 'E' || text[i] == 'd' || text[i] == 'D')) {
        std::string exponent = "e";
        int k = i + 1;
        if (k < n && (text[k] == '+' || text[k] == '-'))
            exponent += char(text[k++].toLatin1());
        int start = k;
        while (k < n && text[k] >= '0' && text[k] <= '9')
            exponent += char(text[k++].toLatin1());
        if (k > start)
            number += exponent;
    }
    const double value = digits ? std::strtod(number.c_str(), nullptr) : 0.0;
    // Clamp before converting, so a number too large for 32 bits is simply "above 30".
    if (!(value >= 1.0))
        return 1;
    if (value > 30.0)
        return 30;
    return int(std::nearbyint(value));   // the default rounding mode sends halves to even
}

bool ReferenceFormat::accept(const cDIB &dib)
{
    if (!set) {
        set = true;
        width = dib.Width();
        height = dib.Height();
        bitCount = dib.BitCount();
        return true;
    }
    return dib.Width() == width && dib.Height() == height && dib.BitCount() == bitCount;
}

AviWriteResult writeAviFromList(const QString &path, const QStringList &files,
                                const QString &fpsText, AviMakerView &view, qint64 riffLimit)
{
    AviWriteResult result;
    PAVIFILE pfile = nullptr;
    PAVISTREAM ps = nullptr;
    PAVISTREAM psCompressed = nullptr;
    bool optionsShown = false;
    AVICOMPRESSOPTIONS options;
    AVICOMPRESSOPTIONS *optionsList[1] = {&options};
    long &status = result.status;
    QString reason;   // the system's, when the file could not be written

    status = AVIFileOpen(&pfile, path, OF_WRITE | OF_CREATE, riffLimit, &reason);
    if (status == AVIERR_OK && !files.isEmpty()) {
        view.selectEntry(0);
        cDIB first;
        if (!first.CreateFromFile(files.first())) {
            MsgBox(QStringLiteral("Could not load first bitmap file in list!"), MsgIcon::Exclamation);
        } else {
            AVISTREAMINFO info;
            info.fccType = mmioStringToFOURCC("vids");
            info.fccHandler = 0;
            info.dwScale = 1;
            info.dwRate = std::uint32_t(parseFrameRate(fpsText));
            info.dwSuggestedBufferSize = std::uint32_t(first.SizeImage());
            info.rcFrame.right = first.Width();
            info.rcFrame.bottom = first.Height();
            status = AVIFileCreateStream(pfile, &ps, &info);
            if (status == AVIERR_OK) {
                optionsShown = true;
                if (view.chooseOptions(first, options)) {
                    status = AVIMakeCompressedStream(&psCompressed, ps, &options);
                    if (status == AVIERR_OK)
                        status = AVIStreamSetFormat(psCompressed, 0, first.PointerToBitmapInfo(),
                                                    first.SizeBitmapInfo());
                    bool complete = status == AVIERR_OK;
                    for (int i = 0; complete && i < files.size(); ++i) {
                        view.selectEntry(i);
                        cDIB frame;
                        if (!frame.CreateFromFile(files.at(i))) {
                            complete = false;   // the reader has said why
                            break;
                        }
                        status = AVIStreamWrite(psCompressed, i, 1, frame.PointerToBits(),
                                                frame.SizeImage(), AVIIF_KEYFRAME);
                        if (status != AVIERR_OK) {
                            complete = false;
                            break;
                        }
                        ++result.framesWritten;
                        view.frameWritten(i, files.at(i));
                        view.setStatus(QStringLiteral("Frame number ") + QString::number(i)
                                       + QStringLiteral(" saved"));
                    }
                    if (complete) {
                        result.finished = true;
                        view.setStatus(QStringLiteral("Finished!"));
                    }
                }
            }
        }
    }

    // Clean-up: the video stream, then the compressed stream, then the file,
    // which is finished when its last reference goes.
    if (ps)
        AVIStreamRelease(ps);
    if (psCompressed)
        AVIStreamRelease(psCompressed);
    if (pfile) {
        long finishStatus = AVIERR_OK;
        AVIFileRelease(pfile, &finishStatus, &reason);
        if (status == AVIERR_OK)
            status = finishStatus;
    }
    if (optionsShown)
        AVISaveOptionsFree(1, optionsList);
    if (status != AVIERR_OK) {
        result.finished = false;
        QString text = QStringLiteral("There was an error writing the file.\n\n")
                       + QDir::toNativeSeparators(path);
        if (!reason.isEmpty())
            text += QStringLiteral(": ") + reason;
        MsgBox(text, MsgIcon::Information);
    }
    return result;
}
