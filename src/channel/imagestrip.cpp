#include "src/channel/imagestrip.h"

#include <QBitmap>
#include <QImage>

CImageStrip::CImageStrip(const QPixmap& strip, int cellWidth, const QColor& transparent)
{
    if (strip.isNull() || cellWidth <= 0)
        return;
    QImage image = strip.toImage().convertToFormat(QImage::Format_ARGB32);
    const QRgb key = transparent.rgb() & 0xFFFFFF;
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if ((line[x] & 0xFFFFFF) == key)
                line[x] = 0;
        }
    }
    const int cells = image.width() / cellWidth;
    for (int i = 0; i < cells; ++i)
        m_cells.push_back(
            QPixmap::fromImage(image.copy(i * cellWidth, 0, cellWidth, image.height())));
}

QPixmap CImageStrip::cell(int index) const
{
    if (index < 0 || index >= count())
        return QPixmap();
    return m_cells[static_cast<size_t>(index)];
}

QIcon CImageStrip::icon(int normal, int selected) const
{
    const QPixmap normalCell = cell(normal);
    if (normalCell.isNull())
        return QIcon();
    QIcon result(normalCell);
    if (selected != normal) {
        const QPixmap selectedCell = cell(selected);
        if (!selectedCell.isNull())
            result.addPixmap(selectedCell, QIcon::Selected);
    }
    return result;
}
