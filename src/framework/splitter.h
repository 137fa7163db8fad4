#pragma once
// Static splitters: a fixed grid of rows and columns of panes with movable bars between
// them. Rows and columns have an ideal size (what RecalcLayout gives them; the last row or
// column takes what is left) and a minimum (a row or column whose ideal size is below its
// minimum is laid out with size 0). A splitter of one row or one column is a single
// QSplitter; a grid with both several rows and several columns is a vertical QSplitter of
// horizontal ones whose column sizes move together.
//
//     auto* outer = new CSplitterWnd;
//     outer->CreateStatic(frame, 2, 1);
//     outer->CreateView(0, 0, [] { return new CHeaderView; }, QSize(0, 64), context);
//     auto* inner = new CSplitterWnd;
//     inner->CreateStatic(outer, 1, 0, 1, 2); // nested in row 1 of outer

#include "src/framework/fwdefs.h"

#include <QSize>
#include <QSplitter>
#include <functional>
#include <vector>

struct CCreateContext;

class CSplitterWnd : public QSplitter
{
    Q_OBJECT
public:
    explicit CSplitterWnd(QWidget* parent = nullptr);
    ~CSplitterWnd() override;

    // Makes the grid, with empty cells, inside parent: a child frame gets it as its client
    // widget; another widget gets it as a child (put into its layout when it has one).
    // FALSE for rows or cols outside 1..16 or when called twice.
    BOOL CreateStatic(QWidget* parent, int rows, int cols);
    // Makes the grid in a cell of another static splitter (nested splitters).
    BOOL CreateStatic(CSplitterWnd* parent, int parentRow, int parentCol, int rows, int cols);

    int GetRowCount() const { return m_rows; }
    int GetColumnCount() const { return m_cols; }

    // Creates a view from the factory in the cell, joins it to the context's document (when
    // there is a context) and makes initialSize the cell's ideal width and height (a value
    // of 0 or less leaves that ideal size alone). Returns the view; null on failure (bad
    // cell, occupied cell, factory returned null).
    CView* CreateView(int row, int col, const std::function<CView*()>& viewFactory,
                      const QSize& initialSize, CCreateContext* context = nullptr);
    // The widget in the cell (a view or a nested splitter); null for an empty or bad cell.
    QWidget* GetPane(int row, int col) const;
    // Puts a widget into an empty cell (moving a pane from elsewhere). FALSE when the cell is
    // bad or occupied.
    BOOL SetPane(int row, int col, QWidget* widget);
    // Takes the widget out of the cell without deleting it; the cell is empty afterwards.
    QWidget* TakePane(int row, int col);
    // Deletes the widget in the cell (a view leaves its document first).
    void DeleteView(int row, int col);
    // The cell that holds the widget; false when it is not a pane of this splitter.
    bool IsChildPane(const QWidget* widget, int* row = nullptr, int* col = nullptr) const;

    void SetRowInfo(int row, int ideal, int minimum);
    void SetColumnInfo(int col, int ideal, int minimum);
    // The current size (the laid-out one; the ideal one while the splitter has not been laid
    // out yet) and the minimum.
    void GetRowInfo(int row, int& current, int& minimum) const;
    void GetColumnInfo(int col, int& current, int& minimum) const;
    // Lays the panes out again from the ideal sizes.
    virtual void RecalcLayout();

    // Hides a row or column and shows it again with the size it had.
    void HideRow(int row);
    void ShowRow(int row);
    void HideColumn(int col);
    void ShowColumn(int col);
    bool IsRowHidden(int row) const;
    bool IsColumnHidden(int col) const;

    // Fixed bars cannot be dragged and show no resize cursor.
    void SetFixedBars(bool fixed);
    bool HasFixedBars() const { return m_fixedBars; }

protected:
    QSplitterHandle* createHandle() override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    struct Track {
        int ideal = 0;
        int minimum = 0;
        bool hidden = false;
        int savedSize = 0; // the size before it was hidden
    };
    QSplitter* rowSplitter(int row) const; // the splitter that holds the row's cells
    QSplitter* cellSplitter(int row, int col, int* index) const;
    QWidget* cellWidget(int row, int col) const;
    bool validCell(int row, int col) const;
    bool isPlaceholder(const QWidget* widget) const;
    void applySizes(QSplitter* splitter, const std::vector<Track>& tracks, bool vertical);
    std::vector<int> currentSizes(bool rows) const;
    void syncColumns(QSplitter* source);
    void setTrackHidden(bool rows, int index, bool hidden);

    int m_rows = 0;
    int m_cols = 0;
    bool m_nested = false; // several rows and several columns
    bool m_fixedBars = false;
    bool m_layoutPending = false;
    bool m_syncing = false;
    std::vector<Track> m_rowTracks;
    std::vector<Track> m_colTracks;
    std::vector<QSplitter*> m_rowSplitters; // nested grids only
};
