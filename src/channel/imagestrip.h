#pragma once
// An image list cut from one strip picture: equal cells side by side, one colour of the
// picture taken as transparent. Tree items carry image indexes; the strip turns a pair of
// indexes (normal, selected) into the icon the tree draws.

#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <vector>

class CImageStrip
{
public:
    CImageStrip() = default;
    // Cuts the picture into cells of the width; `transparent` becomes see-through.
    CImageStrip(const QPixmap& strip, int cellWidth, const QColor& transparent);

    int count() const { return static_cast<int>(m_cells.size()); }
    bool isEmpty() const { return m_cells.empty(); }
    QPixmap cell(int index) const;
    // The normal cell, with the selected cell for the selected state when they differ. An
    // index outside the strip gives no picture.
    QIcon icon(int normal, int selected) const;

private:
    std::vector<QPixmap> m_cells;
};
