#pragma once
// QKCoolButton: the directory library's flat bitmap button. It draws a text or a picture over
// a transparent, coloured or tiled background, and can act as a label (mode 2), a clickable
// text with hover feedback (mode 18), a picture push button (mode 1) or a hot picture
// (mode 17). Headers, the browser pane and the navigation bar build their strips from it.
//
// Mode bits:
//   QKCB_BITMAP    0x01  picture button: draws the state pictures, not the text; clickable
//   QKCB_TEXT      0x02  text look: draws the text (and the picture, when there is one)
//   QKCB_NOBITMAP  0x04  the picture is not drawn and takes no room
//   QKCB_HOT       0x10  hover and press feedback; clicks send the button's command
// A button that has neither QKCB_BITMAP nor QKCB_HOT is a static label: it ignores the mouse,
// so clicks and context menus reach the window below it.

#include <QAbstractButton>
#include <QColor>
#include <QPixmap>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <cstdint>

class QPainter;
struct VTPalette;

class QKCoolButton : public QAbstractButton
{
    Q_OBJECT
public:
    enum Mode : uint32_t {
        QKCB_BITMAP = 0x01,
        QKCB_TEXT = 0x02,
        QKCB_NOBITMAP = 0x04,
        QKCB_HOT = 0x10,
    };
    // Window style bits Create understands; other bits are ignored.
    static constexpr uint32_t StyleVisible = 0x10000000;
    static constexpr uint32_t StyleDisabled = 0x08000000;

    // Room around a text, in pixels: left + right, top + bottom.
    static constexpr int TextPaddingX = 4;
    static constexpr int TextPaddingY = 2;

    explicit QKCoolButton(QWidget* parent = nullptr);
    ~QKCoolButton() override;

    // Makes the button a child of the parent with the text, style, mode, geometry and command
    // id. Returns 1 on success, 0 without a parent.
    int Create(const QString& text, uint32_t style, uint32_t mode, const QRect& rect,
               QWidget* parent, uint32_t id);

    // The pictures for the normal, selected (pressed), focus (hover) and disabled states.
    // Null pictures are allowed: a missing state falls back to the normal picture.
    void SetBitmaps(const QPixmap& normal, const QPixmap& selected = QPixmap(),
                    const QPixmap& focus = QPixmap(), const QPixmap& disabled = QPixmap());
    // The picture tiled behind the button. The offset is the button's distance from the
    // origin of the band the tiles belong to, so that the tiles continue the band seamlessly.
    void SetTileBitmap(const QPixmap& tile, const QPoint& offset = QPoint());
    void SetTileOffset(const QPoint& offset);
    QPoint GetTileOffset() const { return m_tileOffset; }
    const QPixmap& GetTileBitmap() const { return m_tile; }

    // Palettes are a thing of the past on true-colour displays: kept as a harmless hook.
    void SetPalette(const VTPalette* palette) { m_palette = palette; }
    const VTPalette* GetPalette() const { return m_palette; }

    void SetTextColor(const QColor& color);
    QColor GetTextColor() const { return m_textColor; }
    // An invalid colour makes the background transparent (the default).
    void SetBackColor(const QColor& color);
    QColor GetBackColor() const { return m_backColor; }

    void SetMode(uint32_t mode);
    uint32_t GetMode() const { return m_mode; }

    void SetFont(const QFont& font, bool redraw = true);
    void SetWindowText(const QString& text);
    QString GetWindowText() const { return text(); }
    uint32_t GetDlgCtrlID() const { return m_id; }

    // What the content needs: the picture's size for a picture, else the text's width and
    // height plus the padding; an empty size when there is nothing to show.
    QSize GetRequiredSize() const;
    // Resizes the button to GetRequiredSize, keeping its top-left corner.
    void SizeToContent();

    const QPixmap& GetBitmap(int state) const; // 0 normal, 1 selected, 2 focus, 3 disabled

    // Whether the pointer is over an active button (hover look).
    bool isHot() const { return m_hot; }
    // Whether the mouse operates this button (modes with QKCB_BITMAP or QKCB_HOT).
    bool isClickable() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // A click on an active button: the button's command id.
    void command(uint32_t id);

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    bool hitButton(const QPoint& pos) const override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void applyMouseBehaviour();
    void drawBackground(QPainter& painter);
    const QPixmap& currentPicture() const;
    bool showsPicture() const;

    uint32_t m_mode = QKCB_TEXT;
    uint32_t m_id = 0;
    QPixmap m_bitmaps[4];
    QPixmap m_tile;
    QPoint m_tileOffset;
    const VTPalette* m_palette = nullptr;
    QColor m_textColor = QColor(0, 0, 0);
    QColor m_backColor; // invalid: transparent
    bool m_hot = false;
};

// Draws the picture at (x, y), leaving out every pixel of the transparent colour (by default
// the colour of the picture's top-left pixel). Pictures that carry an alpha channel are drawn
// with it. Returns 1 when something was drawn.
int TransparentBlt(QPainter& painter, int x, int y, const QPixmap& picture,
                   const QColor& transparent = QColor());
// The picture's size; returns 0 and an empty size for a null picture.
int GetBitmapSize(const QPixmap& picture, QSize& size);
