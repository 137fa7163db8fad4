#pragma once
// The navigation bar's group bar: a stack of groups like drawers, one open at a time. The
// header bars of the groups up to the open one are stacked from the top, those of the
// following groups from the bottom, and the open group's items fill the space between as large
// pictures with captions. Clicking a header opens its group, the headers in between sliding
// to their new places. The bar keeps the groups and items; what an item does when it is
// pressed, and the context menus, belong to the navigation bar around it.

#include "src/platform/wintypes.h"

#include <QAbstractScrollArea>
#include <QColor>
#include <QPixmap>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <vector>

class QLineEdit;
class QVariantAnimation;

// One item of a group.
struct CNavItem {
    QString text;
    // The picture: the file when it can be read, else the resource (0: none).
    QString imageFile;
    UINT imageResource = 0;
    // The view code (views group) or the channel id (other groups).
    DWORD value = 0;
    // 1 for items of the views group, 0 for channel items.
    int viewFlag = 0;
};

// The open group's items as an owner-drawn list: each item is its picture's height plus 44
// pixels, the picture centred near the top and the caption under it. The selected item and
// the item pressed under the mouse look sunk in, the item under the mouse raised.
class CNavItemList : public QAbstractScrollArea
{
    Q_OBJECT
public:
    struct Row {
        QString text;
        QPixmap picture;
        bool viewItem = false;
    };

    explicit CNavItemList(QWidget* parent = nullptr);

    void SetRows(std::vector<Row> rows);
    int GetCount() const { return static_cast<int>(m_rows.size()); }
    void SetSelected(int row); // -1: none
    int GetSelected() const { return m_selected; }
    // An invalid back colour draws the system's button shadow, an invalid text colour the
    // system's window colour.
    void SetColors(const QColor& back, const QColor& text);
    QColor BackColor() const;
    QColor TextColor() const;

    // The row at a point of the viewport (-1: none) and a row's rectangle there.
    int RowAt(const QPoint& viewportPos) const;
    QRect RowRect(int row) const;
    int RowHeight(int row) const;
    // Makes the row visible, scrolling as needed.
    void EnsureVisible(int row);

signals:
    void rowPressed(int row);
    // A right click released over a row (-1: over the empty part of the list).
    void rightClicked(int row, const QPoint& globalPos);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool viewportEvent(QEvent* event) override;

private:
    void updateScrollRange();
    void setHot(int row);
    void drawRow(QPainter& painter, int row, const QRect& rect) const;

    std::vector<Row> m_rows;
    int m_selected = -1;
    int m_hot = -1;
    bool m_leftDown = false;
    QColor m_back;
    QColor m_text;
};

class CGroupBar : public QWidget
{
    Q_OBJECT
public:
    explicit CGroupBar(QWidget* parent = nullptr);
    ~CGroupBar() override;

    // ---- groups and items, by index
    // Creates an empty group at the position (beyond the end or negative: appended) and
    // answers its index; the group becomes the open one when none is open.
    int AddGroup(int position, const QString& title, DWORD type, BOOL redraw = 1);
    // Inserts an item (position beyond the end or negative: appended); answers its index, -1
    // for a group that does not exist. The open group's list shows it at once.
    int AddItem(int group, int position, const CNavItem& item);
    BOOL RemoveItem(int group, int position);
    // Replaces an item in place (its selection stays).
    BOOL SetItem(int group, int position, const CNavItem& item);
    BOOL RemoveGroup(int group);
    void RemoveAll();
    int GetGroupCount() const { return static_cast<int>(m_groups.size()); }
    int GetItemCount(int group) const;
    QString GetGroupTitle(int group) const;
    BOOL SetGroupTitle(int group, const QString& title);
    DWORD GetGroupType(int group) const;
    DWORD GetItemValue(int group, int position) const;
    QString GetItemText(int group, int position) const;
    const CNavItem* GetItem(int group, int position) const;

    // Opens a group at once (-1 closes all); its items fill the list, none selected.
    void OpenGroup(int group);
    // Opens a group as a click on its header does: the headers slide, then the list fills.
    void SlideOpenGroup(int group);
    int GetOpenGroup() const { return m_open; }
    bool IsSliding() const;
    // The selected item of the open group (-1: none).
    int GetSelectedItem() const;
    void SelectItem(int position);

    // An invalid colour means the system's.
    void SetColors(const QColor& back, const QColor& text);

    // ---- geometry, in the bar's coordinates
    int HeaderHeight() const;
    QRect HeaderRect(int group) const;
    // The group whose header is at the point (-1: none).
    int GroupHeaderAt(const QPoint& pos) const;
    // The item of the open group at the point (-1: none).
    int ItemAt(const QPoint& pos) const;
    CNavItemList* ItemList() const { return m_list; }

    // ---- title editing
    // Places the editor over the group's header, filled with its title, focused and fully
    // selected. When it loses the focus (or Enter is pressed) titleEdited reports the text;
    // Escape gives up.
    void EditTitle(int group);
    QLineEdit* TitleEditor() const { return m_editor; }
    // Ends the editing as losing the focus does.
    void CommitTitleEdit();

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // A left press on an item of the open group (the item is selected first).
    void itemPressed(int item);
    // A right click on an item of the open group.
    void itemContextMenu(int item, const QPoint& globalPos);
    // A right click on a group's header, or on the empty area (group -1).
    void groupContextMenu(int group, const QPoint& globalPos);
    // The title editor's text when the editing ended.
    void titleEdited(int group, const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Group {
        QString title;
        DWORD type = 0;
        std::vector<CNavItem> items;
        std::vector<QPixmap> pictures; // loaded once per item
    };

    // The header's top when the given group is open (-1: all at the top).
    int headerTop(int group, int open) const;
    QRect listRect(int open) const;
    void fillList();
    void layoutChildren();
    void finishEditing(bool keep);
    void drawHeader(QPainter& painter, const QRect& rect, const QString& title) const;
    static QPixmap loadPicture(const CNavItem& item);

    std::vector<Group> m_groups;
    int m_open = -1;
    CNavItemList* m_list = nullptr;
    QLineEdit* m_editor = nullptr;
    int m_editedGroup = -1;
    QFont m_titleFont;
    // Sliding: the group being opened and how far the moving headers have come (0 .. 1).
    QPointer<QVariantAnimation> m_slide;
    int m_slideFrom = -1;
    int m_slideTo = -1;
    int m_slideDistance = 0;
    int m_slideDone = 0;
};
