#include "vantrel/qkcoolbutton.h"

#include <QApplication>
#include <QBitmap>
#include <QEnterEvent>
#include <QFontMetrics>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>

QKCoolButton::QKCoolButton(QWidget* parent) : QAbstractButton(parent)
{
    setFocusPolicy(Qt::NoFocus);
    // Children are transparent by default: whatever is not painted shows the window below.
    setAutoFillBackground(false);
    setAttribute(Qt::WA_Hover, true);
    applyMouseBehaviour();
    connect(this, &QAbstractButton::clicked, this, [this] {
        if (isClickable())
            emit command(m_id);
    });
}

QKCoolButton::~QKCoolButton() = default;

int QKCoolButton::Create(const QString& text, uint32_t style, uint32_t mode, const QRect& rect,
                         QWidget* parent, uint32_t id)
{
    if (!parent)
        return 0;
    if (parentWidget() != parent)
        setParent(parent);
    m_id = id;
    setObjectName(QStringLiteral("QKCoolButton%1").arg(id));
    setText(text);
    SetMode(mode);
    setGeometry(rect.normalized());
    setEnabled(!(style & StyleDisabled));
    setVisible((style & StyleVisible) != 0);
    return 1;
}

void QKCoolButton::SetBitmaps(const QPixmap& normal, const QPixmap& selected, const QPixmap& focus,
                              const QPixmap& disabled)
{
    m_bitmaps[0] = normal;
    m_bitmaps[1] = selected;
    m_bitmaps[2] = focus;
    m_bitmaps[3] = disabled;
    updateGeometry();
    update();
}

void QKCoolButton::SetTileBitmap(const QPixmap& tile, const QPoint& offset)
{
    m_tile = tile;
    m_tileOffset = offset;
    update();
}

void QKCoolButton::SetTileOffset(const QPoint& offset)
{
    if (offset == m_tileOffset)
        return;
    m_tileOffset = offset;
    update();
}

void QKCoolButton::SetTextColor(const QColor& color)
{
    m_textColor = color;
    update();
}

void QKCoolButton::SetBackColor(const QColor& color)
{
    m_backColor = color;
    update();
}

void QKCoolButton::SetMode(uint32_t mode)
{
    if (mode == m_mode)
        return;
    m_mode = mode;
    applyMouseBehaviour();
    updateGeometry();
    update();
}

void QKCoolButton::SetFont(const QFont& font, bool redraw)
{
    setFont(font);
    updateGeometry();
    if (redraw)
        repaint();
}

void QKCoolButton::SetWindowText(const QString& newText)
{
    setText(newText);
    updateGeometry();
    update();
}

const QPixmap& QKCoolButton::GetBitmap(int state) const
{
    static const QPixmap none;
    if (state < 0 || state > 3)
        return none;
    return m_bitmaps[state];
}

bool QKCoolButton::isClickable() const
{
    return (m_mode & (QKCB_BITMAP | QKCB_HOT)) != 0;
}

bool QKCoolButton::showsPicture() const
{
    return !(m_mode & QKCB_NOBITMAP) && !m_bitmaps[0].isNull();
}

QSize QKCoolButton::GetRequiredSize() const
{
    if (showsPicture()) {
        QSize size = m_bitmaps[0].deviceIndependentSize().toSize();
        if ((m_mode & QKCB_TEXT) && !(m_mode & QKCB_BITMAP) && !text().isEmpty()) {
            // Picture with its text to the right.
            const QFontMetrics metrics(font());
            size.rwidth() += metrics.horizontalAdvance(text()) + TextPaddingX;
            size.setHeight(qMax(size.height(), metrics.height() + TextPaddingY));
        }
        return size;
    }
    if ((m_mode & QKCB_BITMAP) || text().isEmpty())
        return QSize(0, 0);
    const QFontMetrics metrics(font());
    return QSize(metrics.horizontalAdvance(text()) + TextPaddingX, metrics.height() + TextPaddingY);
}

void QKCoolButton::SizeToContent()
{
    resize(GetRequiredSize());
}

QSize QKCoolButton::sizeHint() const
{
    return GetRequiredSize();
}

QSize QKCoolButton::minimumSizeHint() const
{
    return QSize(0, 0);
}

void QKCoolButton::applyMouseBehaviour()
{
    const bool clickable = isClickable();
    // A label lets the mouse through to the window below (its context menu, its clicks).
    setAttribute(Qt::WA_TransparentForMouseEvents, !clickable);
    if (clickable)
        setCursor(Qt::PointingHandCursor);
    else
        unsetCursor();
    if (!clickable && m_hot) {
        m_hot = false;
        update();
    }
}

bool QKCoolButton::hitButton(const QPoint& pos) const
{
    return isClickable() && rect().contains(pos);
}

void QKCoolButton::enterEvent(QEnterEvent* event)
{
    if (isClickable() && isEnabled()) {
        m_hot = true;
        update();
    }
    QAbstractButton::enterEvent(event);
}

void QKCoolButton::leaveEvent(QEvent* event)
{
    if (m_hot) {
        m_hot = false;
        update();
    }
    QAbstractButton::leaveEvent(event);
}

void QKCoolButton::mousePressEvent(QMouseEvent* event)
{
    if (!isClickable()) {
        event->ignore();
        return;
    }
    QAbstractButton::mousePressEvent(event);
}

void QKCoolButton::mouseReleaseEvent(QMouseEvent* event)
{
    if (!isClickable()) {
        event->ignore();
        return;
    }
    QAbstractButton::mouseReleaseEvent(event);
}

void QKCoolButton::mouseMoveEvent(QMouseEvent* event)
{
    if (!isClickable()) {
        event->ignore();
        return;
    }
    QAbstractButton::mouseMoveEvent(event);
}

void QKCoolButton::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::EnabledChange && !isEnabled())
        m_hot = false;
    QAbstractButton::changeEvent(event);
}

const QPixmap& QKCoolButton::currentPicture() const
{
    if (!isEnabled() && !m_bitmaps[3].isNull())
        return m_bitmaps[3];
    if (isClickable() && isDown() && !m_bitmaps[1].isNull())
        return m_bitmaps[1];
    if (isClickable() && (m_hot || hasFocus()) && !m_bitmaps[2].isNull())
        return m_bitmaps[2];
    return m_bitmaps[0];
}

void QKCoolButton::drawBackground(QPainter& painter)
{
    if (!m_tile.isNull()) {
        const QSize tileSize = m_tile.deviceIndependentSize().toSize();
        if (tileSize.width() > 0 && tileSize.height() > 0) {
            // The band's tiles start at the band's origin; this button sits at m_tileOffset
            // inside the band, so its first tile starts that far into the picture.
            const QPoint start(
                ((m_tileOffset.x() % tileSize.width()) + tileSize.width()) % tileSize.width(),
                ((m_tileOffset.y() % tileSize.height()) + tileSize.height()) % tileSize.height());
            painter.drawTiledPixmap(rect(), m_tile, start);
            return;
        }
    }
    if (m_backColor.isValid())
        painter.fillRect(rect(), m_backColor);
}

void QKCoolButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    drawBackground(painter);

    const bool pressed = isClickable() && isDown();
    const int shift = pressed ? 1 : 0;
    int textLeft = TextPaddingX / 2;

    if (showsPicture()) {
        QPixmap picture = currentPicture();
        if (!isEnabled() && m_bitmaps[3].isNull()) {
            QStyleOption option;
            option.initFrom(this);
            picture = style()->generatedIconPixmap(QIcon::Disabled, picture, &option);
        }
        const QSize size = picture.deviceIndependentSize().toSize();
        int x = 0;
        int y = (height() - size.height()) / 2;
        if ((m_mode & QKCB_BITMAP) || text().isEmpty() || !(m_mode & QKCB_TEXT))
            x = (width() - size.width()) / 2;
        painter.drawPixmap(x + shift, y + shift, picture);
        if ((m_mode & QKCB_BITMAP) && (m_mode & QKCB_HOT) && m_hot && m_bitmaps[2].isNull()) {
            // A hot picture without its own hover picture: a light glow says it is active.
            painter.fillRect(QRect(x, y, size.width(), size.height()), QColor(255, 255, 255, 40));
        }
        textLeft = x + size.width() + TextPaddingX / 2;
    }

    if ((m_mode & QKCB_BITMAP) || !(m_mode & QKCB_TEXT) || text().isEmpty())
        return;

    QFont textFont = font();
    if (m_hot && (m_mode & QKCB_HOT))
        textFont.setUnderline(true);
    painter.setFont(textFont);
    QColor color = m_textColor;
    if (!isEnabled())
        color.setAlpha(128);
    painter.setPen(color);
    const QRect textRect(textLeft + shift, shift, width() - textLeft, height());
    // A button narrower than its text shows the start of the text, cut at its right edge.
    painter.setClipRect(rect());
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text());
}

int TransparentBlt(QPainter& painter, int x, int y, const QPixmap& picture,
                   const QColor& transparent)
{
    if (picture.isNull())
        return 0;
    if (picture.hasAlphaChannel() && !transparent.isValid()) {
        painter.drawPixmap(x, y, picture);
        return 1;
    }
    const QImage image = picture.toImage();
    const QColor key = transparent.isValid() ? transparent : QColor(image.pixel(0, 0));
    QPixmap masked = picture;
    masked.setMask(picture.createMaskFromColor(key, Qt::MaskInColor));
    painter.drawPixmap(x, y, masked);
    return 1;
}

int GetBitmapSize(const QPixmap& picture, QSize& size)
{
    if (picture.isNull()) {
        size = QSize();
        return 0;
    }
    size = picture.deviceIndependentSize().toSize();
    return 1;
}
