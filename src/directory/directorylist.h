#pragma once
// The directory list's parts below its view: the model of its rows (each row an entry of the
// document and the state image it was given) and the list control that draws the rows itself
// and hands clicks, keys and drags to its view.

#include "src/shared/dragdrop.h"

#include <QAbstractTableModel>
#include <QPixmap>
#include <QPoint>
#include <QTreeView>
#include <vector>

class CColumnFill;
class CSiteMain;
class CProfilerView;

class CDirectoryModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    // The row's state image index (Qt::UserRole).
    static constexpr int ImageIndexRole = Qt::UserRole;

    explicit CDirectoryModel(QObject* parent = nullptr);

    // The pictures of the image indexes (not owned; may be empty).
    void SetImages(const std::vector<QPixmap>* images) { m_images = images; }
    // Replaces every row; each row's image is computed from its entry.
    void SetRows(const std::vector<CSiteMain*>& entries);
    CSiteMain* EntryAt(int row) const;
    // The row of the entry; -1 when it is not listed.
    int RowOf(const CSiteMain* entry) const;
    int ImageOf(int row) const;
    // Computes the row's image from its entry again.
    void RecomputeImage(int row);
    // Rewrites the row's texts and image.
    void RewriteRow(int row);
    void RecomputeAllImages();
    void RewriteAll();
    // Orders the rows by the entries' ranks (GetSortRanks), keeping selection and current row.
    void Sort(const std::vector<int>& ranks, bool ascending);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    struct Row {
        CSiteMain* entry;
        int image;
    };
    std::vector<Row> m_rows;
    const std::vector<QPixmap>* m_images = nullptr;
};

class CDirectoryList : public QTreeView
{
    Q_OBJECT
public:
    explicit CDirectoryList(CProfilerView* owner);
    CColumnFill* columnFill() const { return m_columnFill; }

    // The width of the state images at the left of column 0.
    void SetImageWidth(int width) { m_imageWidth = width; }
    // Whether the point of the viewport lies in a row's state image; the row in `row`.
    bool HitsImage(const QPoint& point, int* row = nullptr) const;

protected:
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                 const QModelIndex& index) const override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    CProfilerView* m_owner;
    CColumnFill* m_columnFill = nullptr;
    int m_imageWidth = 55;
    CRowDragMouse m_dragMouse;
    bool m_afterDoubleClick = false;
};
