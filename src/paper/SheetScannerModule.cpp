// The scan module: Poppler draws the pages of a PDF, ZXing reads the
// sheet's code, OpenCV finds the corner markers and straightens the page.
#include "paper/SheetScanner.h"

#include <QFile>
#include <opencv2/imgproc.hpp>
#include <poppler/qt6/poppler-qt6.h>
#define ZX_USE_UTF8
#include <ZXing/ReadBarcode.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <unistd.h>

namespace {
cv::Mat view(const QImage &grey)
{
    return cv::Mat(grey.height(), grey.width(), CV_8UC1, const_cast<uchar *>(grey.constBits()),
                   size_t(grey.bytesPerLine()));
}

class ModuleScanner final : public SheetScanner {
public:
    bool openPdf(int fd, QString *error) override
    {
        m_document.reset();
        m_file = std::make_unique<QFile>();
        const int copy = ::dup(fd);
        if (copy < 0 || !m_file->open(copy, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
            if (copy >= 0)
                ::close(copy);
            *error = QStringLiteral("it cannot be read");
            return false;
        }
        m_document = Poppler::Document::load(m_file.get());
        if (!m_document) {
            *error = QStringLiteral("it is not a PDF or it is damaged");
            return false;
        }
        if (m_document->isLocked()) {
            m_document.reset();
            *error = QStringLiteral("it is locked with a password");
            return false;
        }
        return true;
    }

    int pageCount() const override { return m_document ? m_document->numPages() : 0; }

    QImage page(int index, int longSide, QString *error) override
    {
        std::unique_ptr<Poppler::Page> p(m_document ? m_document->page(index) : nullptr);
        if (!p) {
            *error = QStringLiteral("page %1 cannot be read").arg(index + 1);
            return {};
        }
        const QSizeF points = p->pageSizeF();
        const double longest = qMax(points.width(), points.height());
        if (!(longest > 1)) {
            *error = QStringLiteral("page %1 has no size").arg(index + 1);
            return {};
        }
        const double dpi = qMin(300.0, longSide * 72.0 / longest);
        m_document->setRenderHint(Poppler::Document::Antialiasing, true);
        const QImage drawn = p->renderToImage(dpi, dpi);
        if (drawn.isNull()) {
            *error = QStringLiteral("page %1 cannot be drawn").arg(index + 1);
            return {};
        }
        return drawn.convertToFormat(QImage::Format_Grayscale8);
    }

    QByteArray code(const QImage &grey, QPolygonF *corners) override
    {
        const ZXing::ImageView image(grey.constBits(), grey.width(), grey.height(), ZXing::ImageFormat::Lum,
                                     int(grey.bytesPerLine()));
        ZXing::DecodeHints hints;
        hints.setFormats(ZXing::BarcodeFormat::QRCode);
        hints.setTryHarder(true);
        hints.setTryRotate(true);
        ZXing::Result result;
        try {
            result = ZXing::ReadBarcode(image, hints);
        } catch (const std::exception &) {
            return {};
        }
        if (!result.isValid())
            return {};
        const ZXing::Position &p = result.position();
        corners->clear();
        for (int i = 0; i < 4; ++i)
            *corners << QPointF(p[i].x, p[i].y);
        const ZXing::ByteArray &bytes = result.bytes();
        return QByteArray(reinterpret_cast<const char *>(bytes.data()), qsizetype(bytes.size()));
    }

    QList<QPointF> squares(const QImage &grey, double side) override
    {
        // OpenCV says what it cannot do by throwing: nothing leaves the module.
        try {
            return findSquares(grey, side);
        } catch (const cv::Exception &) {
            return {};
        }
    }

    QImage straighten(const QImage &grey, const QPolygonF &from, const QPolygonF &to, QSize size) override
    {
        try {
            return warp(grey, from, to, size);
        } catch (const cv::Exception &) {
            return {};
        }
    }

private:
    static QList<QPointF> findSquares(const QImage &grey, double side)
    {
        // Dark against the paper around it, whatever the light: the
        // threshold follows the neighbourhood.
        cv::Mat dark;
        int block = int(side * 3) | 1;
        cv::adaptiveThreshold(view(grey), dark, 255, cv::ADAPTIVE_THRESH_MEAN_C, cv::THRESH_BINARY_INV, qMax(3, block), 25);
        std::vector<std::vector<cv::Point>> contours;
        cv::findContours(dark, contours, cv::RETR_EXTERNAL, cv::CHAIN_APPROX_SIMPLE);
        QList<QPointF> found;
        const double area = side * side;
        for (const auto &contour : contours) {
            const double a = cv::contourArea(contour);
            if (a < area * 0.45 || a > area * 2.2)
                continue;
            const cv::RotatedRect box = cv::minAreaRect(contour);
            const double w = box.size.width, h = box.size.height;
            if (w <= 0 || h <= 0 || qMax(w, h) / qMin(w, h) > 1.5 || a / (w * h) < 0.8)
                continue;
            std::vector<cv::Point> hull;
            cv::convexHull(contour, hull);
            std::vector<cv::Point> corners;
            cv::approxPolyDP(hull, corners, 0.08 * std::sqrt(a) * 4, true);
            if (corners.size() != 4)
                continue;
            found << QPointF(box.center.x, box.center.y);
        }
        return found;
    }

    static QImage warp(const QImage &grey, const QPolygonF &from, const QPolygonF &to, QSize size)
    {
        std::vector<cv::Point2f> a, b;
        for (int i = 0; i < 4; ++i) {
            a.emplace_back(float(from[i].x()), float(from[i].y()));
            b.emplace_back(float(to[i].x()), float(to[i].y()));
        }
        const cv::Mat transform = cv::getPerspectiveTransform(a, b);
        QImage out(size, QImage::Format_Grayscale8);
        cv::Mat target(out.height(), out.width(), CV_8UC1, out.bits(), size_t(out.bytesPerLine()));
        cv::warpPerspective(view(grey), target, transform, target.size(), cv::INTER_AREA, cv::BORDER_CONSTANT,
                            cv::Scalar(255));
        return out;
    }

    std::unique_ptr<QFile> m_file;
    std::unique_ptr<Poppler::Document> m_document;
};
}

extern "C" Q_DECL_EXPORT SheetScanner *ardeno_create_sheet_scanner(int version)
{
    if (version != kSheetScannerInterfaceVersion)
        return nullptr;
    return new ModuleScanner;
}
