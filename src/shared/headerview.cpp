#include "src/shared/headerview.h"

#include "src/platform/resources.h"
#include "src/shared/appservices.h"
#include "vantrel/engctl.h"
#include "vantrel/qkcoolbutton.h"

#include <QApplication>
#include <QFontDatabase>
#include <QPainter>
#include <QResizeEvent>
#include <algorithm>

namespace
{

// Room left and right of the strip's content.
constexpr int kSideMargin = 10;
// Room above and below the content when a frame asks for the strip's natural height.
constexpr int kVerticalMargin = 8;

// The font face of the strip: the string table names the classic dialog face, which means
// the desktop's default interface font here.
QString headerFontFamily(UINT stringId)
{
    const QString named = LoadString(stringId).trimmed();
    if (named.isEmpty() || named.compare(QLatin1String("MS Sans Serif"), Qt::CaseInsensitive) == 0)
        return QApplication::font().family();
    return named;
}

QFont makeHeaderFont(UINT stringId, int points)
{
    QFont font(headerFontFamily(stringId));
    font.setPointSize(points);
    font.setWeight(QFont::Bold);
    return font;
}

} // namespace

CBaseHeaderView::CBaseHeaderView(const QString& className, QWidget* parent)
    : CView(className, parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent, true); // the band paints every pixel
    setAutoFillBackground(false);
    readSettings();
}

CBaseHeaderView::~CBaseHeaderView() = default; // the buttons are child widgets

void CBaseHeaderView::readSettings()
{
    if (settings::channelAreaFromFile()) {
        QKBuffer directory;
        if (VTGetDirectory(1, directory) == 1 && !directory.GetText().isEmpty())
            m_areaPicture =
                LoadPictureFile(directory.GetText() + QStringLiteral("/channelarea.bmp"));
    }
    m_backgroundColor = settings::channelBackgroundColor();
    m_textColor = settings::channelTextColor();
}

void CBaseHeaderView::ensureCreated()
{
    if (!m_created && !m_creating)
        OnCreate();
}

int CBaseHeaderView::OnCreate()
{
    if (m_created)
        return 0;
    m_creating = true;

    m_titleFont = makeHeaderFont(IDS_HEADER_TITLE_FONT, 14);
    m_lineFont = makeHeaderFont(IDS_HEADER_LINE_FONT, 8);

    const QString texts[3] = {m_title, m_secondLine, m_thirdLine};
    for (int i = 0; i < 4; ++i) {
        auto* button = new QKCoolButton(this);
        const uint32_t mode = m_buttonClickable[i]
                                  ? (QKCoolButton::QKCB_HOT | QKCoolButton::QKCB_TEXT)
                                  : QKCoolButton::QKCB_TEXT;
        const UINT id = static_cast<UINT>(i + 1);
        if (!button->Create(QString(), QKCoolButton::StyleVisible, mode, QRect(), this, id)) {
            delete button;
            m_creating = false;
            return -1;
        }
        m_buttons[i] = button;
        if (const CAppServices* app = AppServices())
            button->SetPalette(app->palette());
        // A clickable button's command goes to this view and along its route.
        connect(button, &QKCoolButton::command, this,
                [this](uint32_t commandId) { ExecuteCommand(commandId); });
        if (i < 3) {
            button->SetFont(i == 0 ? m_titleFont : m_lineFont, true);
            button->SetTextColor(m_textColor);
            button->SetBackColor(m_backgroundColor);
            if (!m_areaPicture.isNull())
                button->SetTileBitmap(m_areaPicture);
            button->SetWindowText(texts[i]);
            button->SizeToContent();
        } else if (!m_picture.isNull()) {
            button->SetBackColor(m_backgroundColor);
            if (!m_areaPicture.isNull())
                button->SetTileBitmap(m_areaPicture);
            button->SetBitmaps(m_picture);
            button->SizeToContent();
        } else {
            button->resize(0, 0);
        }
    }
    m_created = true;
    m_creating = false;
    LayoutButtons();
    return 0;
}

QKCoolButton* CBaseHeaderView::GetButton(UINT id) const
{
    if (id < 1 || id > 4)
        return nullptr;
    return m_buttons[id - 1];
}

void CBaseHeaderView::SetButtonClickable(int index, bool clickable)
{
    if (index < 0 || index > 3)
        return;
    m_buttonClickable[index] = clickable ? 1 : 0;
    if (m_buttons[index]) {
        uint32_t mode = m_buttons[index]->GetMode();
        mode = clickable ? (mode | QKCoolButton::QKCB_HOT)
                         : (mode & ~uint32_t(QKCoolButton::QKCB_HOT));
        m_buttons[index]->SetMode(mode);
    }
}

bool CBaseHeaderView::IsButtonClickable(int index) const
{
    return index >= 0 && index <= 3 && m_buttonClickable[index] != 0;
}

void CBaseHeaderView::updateTextButton(int index)
{
    QKCoolButton* button = m_buttons[index];
    if (!button)
        return;
    const QString& text = index == 0 ? m_title : (index == 1 ? m_secondLine : m_thirdLine);
    button->SetWindowText(text);
    button->SizeToContent();
}

void CBaseHeaderView::SetTitle(const QString& text)
{
    m_title = text;
    updateTextButton(0);
}

void CBaseHeaderView::SetSecondLine(const QString& text)
{
    m_secondLine = text;
    updateTextButton(1);
}

void CBaseHeaderView::SetThirdLine(const QString& text)
{
    m_thirdLine = text;
    updateTextButton(2);
}

void CBaseHeaderView::SetLineCount(int count)
{
    m_lineCount = std::clamp(count, 0, 2);
}

void CBaseHeaderView::SetPicture(const QPixmap& picture)
{
    m_picture = picture;
    QKCoolButton* button = m_buttons[3];
    if (!button)
        return;
    button->SetBitmaps(m_picture);
    if (!m_picture.isNull()) {
        button->SetBackColor(m_backgroundColor);
        if (!m_areaPicture.isNull())
            button->SetTileBitmap(m_areaPicture);
    }
    button->SizeToContent();
}

void CBaseHeaderView::LayoutButtons()
{
    if (!m_created || std::any_of(m_buttons.begin(), m_buttons.end(),
                                  [](const QKCoolButton* b) { return b == nullptr; }))
        return;
    const QRect client = rect();
    const int workLeft = client.left() + kSideMargin;
    const int workRight = client.right() - kSideMargin; // inclusive

    // The picture keeps its size, at the right, centred vertically.
    QKCoolButton* picture = m_buttons[3];
    const QSize pictureSize = picture->size();
    const int pictureLeft = workRight + 1 - pictureSize.width();
    QRect rects[4];
    rects[3] =
        QRect(QPoint(pictureLeft, (client.height() - pictureSize.height()) / 2), pictureSize);
    // Text may run up to the picture's left edge (or the working area's right edge when
    // there is no picture).
    const int textLimit = pictureSize.isEmpty() ? workRight + 1 : pictureLeft;

    int shown = m_lineCount + 1;
    QSize sizes[3];
    int blockHeight = 0;
    for (int i = 0; i < shown; ++i) {
        sizes[i] = m_buttons[i]->GetRequiredSize();
        blockHeight += sizes[i].height();
    }
    // In a strip too low for every line the lower lines give way, so that none is cut in half;
    // the title always stays.
    while (shown > 1 && blockHeight > client.height())
        blockHeight -= sizes[--shown].height();
    int top = (client.height() - blockHeight) / 2;
    for (int i = 0; i < 3; ++i) {
        if (i >= shown) {
            rects[i] = QRect(-1, -1, 0, 0);
            continue;
        }
        const int width = std::max(0, std::min(sizes[i].width(), textLimit - workLeft));
        rects[i] = QRect(workLeft, top, width, sizes[i].height());
        top += sizes[i].height();
    }

    // Move all four together: no repaint between the moves.
    setUpdatesEnabled(false);
    for (int i = 0; i < 4; ++i) {
        m_buttons[i]->setGeometry(rects[i]);
        if (!m_areaPicture.isNull())
            m_buttons[i]->SetTileOffset(rects[i].topLeft());
    }
    setUpdatesEnabled(true);
    update();
}

void CBaseHeaderView::OnInitialUpdate()
{
    ensureCreated();
    CView::OnInitialUpdate();
}

int CBaseHeaderView::idealHeight()
{
    ensureCreated();
    int textHeight = 0;
    for (int i = 0; i <= m_lineCount; ++i)
        textHeight += m_buttons[i] ? m_buttons[i]->GetRequiredSize().height() : 0;
    const int pictureHeight =
        m_picture.isNull() ? 0 : m_picture.deviceIndependentSize().toSize().height();
    return std::max(textHeight, pictureHeight) + 2 * kVerticalMargin;
}

void CBaseHeaderView::showEvent(QShowEvent* event)
{
    ensureCreated();
    CView::showEvent(event);
}

void CBaseHeaderView::resizeEvent(QResizeEvent* event)
{
    CView::resizeEvent(event);
    ensureCreated();
    LayoutButtons();
}

void CBaseHeaderView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    DrawBand(painter, rect());
}

void CBaseHeaderView::DrawBand(QPainter& painter, const QRect& client)
{
    // Palettes need no selecting on true-colour displays; the colours are drawn as they are.
    m_lastTileGrid = QSize();
    const QSize tile =
        m_areaPicture.isNull() ? QSize() : m_areaPicture.deviceIndependentSize().toSize();
    if (tile.width() > 0 && tile.height() > 0) {
        const int columns = client.width() / tile.width() + 1;
        const int rows = client.height() / tile.height() + 1;
        painter.save();
        painter.setClipRect(client);
        for (int row = 0; row < rows; ++row)
            for (int column = 0; column < columns; ++column)
                painter.drawPixmap(client.left() + column * tile.width(),
                                   client.top() + row * tile.height(), m_areaPicture);
        painter.restore();
        m_lastTileGrid = QSize(columns, rows);
    } else {
        painter.fillRect(client, m_backgroundColor);
    }

    if (client.width() < 2 || client.height() < 2)
        return;
    // A black one-pixel frame, and inside it a raised edge.
    painter.save();
    painter.setPen(Qt::black);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(client.adjusted(0, 0, -1, -1));
    const QRect edge = client.adjusted(0, 0, -1, -1);
    const QPalette& palette = QApplication::palette();
    const QColor light = palette.color(QPalette::Light);
    const QColor shadow = palette.color(QPalette::Dark);
    const int l = edge.left() + 1, t = edge.top() + 1;
    const int r = edge.right() - 1, b = edge.bottom() - 1;
    if (r > l && b > t) {
        painter.setPen(light);
        painter.drawLine(l, t, r, t);
        painter.drawLine(l, t, l, b);
        painter.setPen(shadow);
        painter.drawLine(l, b, r, b);
        painter.drawLine(r, t, r, b);
    }
    painter.restore();
}

QPixmap CBaseHeaderView::LoadHeaderPicture(settings::HeaderPicture picture, UINT resourceId)
{
    const QString file = settings::headerPictureFile(picture);
    if (!file.isEmpty())
        return LoadPictureFile(file); // null when it cannot be read: no picture
    return LoadBitmapResource(resourceId);
}

// ---- the thin subclasses

CBrowserHeaderView::CBrowserHeaderView(QWidget* parent)
    : CBaseHeaderView(QStringLiteral("CBrowserHeaderView"), parent)
{
    SetTitle(QStringLiteral("Browser"));
    SetLineCount(0);
    SetPicture(LoadBitmapResource(IDB_HEADER_BROWSER));
}

CStatusHeaderView::CStatusHeaderView(QWidget* parent)
    : CBaseHeaderView(QStringLiteral("CStatusHeaderView"), parent)
{
    SetTitle(QStringLiteral("Status"));
    SetLineCount(0);
    SetPicture(LoadBitmapResource(IDB_HEADER_STATUS));
}

CSearchHeaderView::CSearchHeaderView(QWidget* parent)
    : CBaseHeaderView(QStringLiteral("CSearchHeaderView"), parent)
{
    SetTitle(LoadString(IDS_HEADER_SEARCH_TITLE));
    SetSecondLine(LoadString(IDS_HEADER_SEARCH_LINE2));
    SetLineCount(1);
    SetPicture(LoadHeaderPicture(settings::HeaderPicture::Search, IDB_HEADER_SEARCH));
}

CDirectoryHeaderView::CDirectoryHeaderView(QWidget* parent)
    : CBaseHeaderView(QStringLiteral("CDirectoryHeaderView"), parent)
{
    SetTitle(LoadString(IDS_HEADER_DIRECTORY_TITLE));
    SetSecondLine(LoadString(IDS_HEADER_DIRECTORY_LINE2));
    SetThirdLine(LoadString(IDS_HEADER_DIRECTORY_LINE3));
    SetLineCount(2);
    SetPicture(LoadHeaderPicture(settings::HeaderPicture::Directory, IDB_HEADER_DIRECTORY));
}

CPublishingWizardHeaderView::CPublishingWizardHeaderView(QWidget* parent)
    : CBaseHeaderView(QStringLiteral("CPublishingWizardHeaderView"), parent)
{
    SetTitle(LoadString(IDS_HEADER_PUBLISHING_TITLE));
    SetLineCount(0);
    SetPicture(LoadHeaderPicture(settings::HeaderPicture::PublishingWizard, IDB_HEADER_PUBLISHING));
}
