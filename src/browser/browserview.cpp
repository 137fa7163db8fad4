#include "src/browser/browserview.h"

#include "src/browser/browsercalls.h"
#include "src/browser/browserids.h"
#include "src/browser/webbrowser.h"
#include "src/engine/messages.h"
#include "src/platform/messagewindow.h"
#include "src/platform/resources.h"
#include "src/platform/shell.h"
#include "src/shared/dragdrop.h"
#include "src/shared/mainframelink.h"
#include "src/shared/settings.h"
#include "src/shared/updatehint.h"
#include "vantrel/qkcoolbutton.h"

#include <QComboBox>
#include <QEvent>
#include <QFont>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMovie>
#include <QPainter>
#include <QRegularExpression>
#include <QTimer>

QString BrowserNavigationText(const QString& url)
{
    QString text;
    BrowserCalls& calls = browserCalls();
    if (!calls.getCachedURL || !calls.getCachedURL(url, text))
        text = url;
    // "file:///path" names the path "/path" on this system; only before a drive letter
    // ("file:///c:/...") does the third slash go too.
    static const QRegularExpression tripleSlash(QStringLiteral("file:///(?![A-Za-z]:)"),
                                                QRegularExpression::CaseInsensitiveOption);
    text.replace(tripleSlash, QStringLiteral("/"));
    text.replace(QStringLiteral("file:///"), QString(), Qt::CaseInsensitive);
    text.replace(QStringLiteral("file://"), QString(), Qt::CaseInsensitive);
    text.remove(QLatin1Char('"'));
    return text;
}

// ---- the busy animation --------------------------------------------------------------------

CStatusAnimation::CStatusAnimation(QWidget* parent) : QWidget(parent), m_timer(new QTimer(this))
{
    setObjectName(QStringLiteral("Status Indicator"));
    m_timer->setInterval(ANIMATION_FRAME_MS);
    connect(m_timer, &QTimer::timeout, this, [this] {
        if (!m_frames.empty()) {
            m_frame = (m_frame + 1) % static_cast<int>(m_frames.size());
            update();
        }
    });
}

bool CStatusAnimation::OpenFile(const QString& path)
{
    Close();
    auto* movie = new QMovie(path, QByteArray(), this);
    if (!movie->isValid()) {
        delete movie;
        return false;
    }
    m_movie = movie;
    connect(m_movie, &QMovie::frameChanged, this, [this] { update(); });
    m_movie->jumpToFrame(0);
    update();
    return true;
}

bool CStatusAnimation::OpenResource()
{
    Close();
    const QPixmap strip = LoadBitmapResource(IDR_BROWSER_ANIMATION);
    if (strip.isNull())
        return false;
    for (int x = 0; x + ANIMATION_FRAME_SIZE <= strip.width(); x += ANIMATION_FRAME_SIZE)
        m_frames.push_back(strip.copy(x, 0, ANIMATION_FRAME_SIZE, strip.height()));
    update();
    return !m_frames.empty();
}

void CStatusAnimation::Close()
{
    m_timer->stop();
    m_frames.clear();
    m_frame = 0;
    delete m_movie;
    m_movie = nullptr;
}

void CStatusAnimation::Play()
{
    if (m_movie)
        m_movie->start();
    else if (!m_frames.empty())
        m_timer->start();
}

void CStatusAnimation::StopPlaying()
{
    if (m_movie) {
        m_movie->stop();
        m_movie->jumpToFrame(0);
    }
    m_timer->stop();
    m_frame = 0;
    update();
}

bool CStatusAnimation::IsPlaying() const
{
    return m_movie ? m_movie->state() == QMovie::Running : m_timer->isActive();
}

void CStatusAnimation::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QPixmap picture;
    if (m_movie)
        picture = m_movie->currentPixmap();
    else if (m_frame < static_cast<int>(m_frames.size()))
        picture = m_frames[static_cast<size_t>(m_frame)];
    if (picture.isNull())
        return;
    // A movie file is centred; the built-in strip fills the control.
    const QPoint at((width() - picture.width()) / 2, (height() - picture.height()) / 2);
    painter.drawPixmap(m_movie ? at : QPoint(0, 0), picture);
}

// ---- the view ------------------------------------------------------------------------------

namespace
{
struct ButtonSpec {
    UINT id;
    UINT text;
    BrowserButtonPictures pictures;
};
constexpr ButtonSpec kButtons[] = {
    {IDC_BROWSER_BACK, IDS_BROWSER_BACK, IDB_BACK},
    {IDC_BROWSER_FORWARD, IDS_BROWSER_FORWARD, IDB_FORWARD},
    {IDC_BROWSER_STOP, IDS_BROWSER_STOP, IDB_STOP},
    {IDC_BROWSER_REFRESH, IDS_BROWSER_REFRESH, IDB_REFRESH},
    {IDC_BROWSER_PRINT, IDS_BROWSER_PRINT, IDB_PRINT},
};
} // namespace

CBrowserView::CBrowserView(QWidget* parent) : CView(QStringLiteral("CBrowserView"), parent)
{
    setObjectName(QStringLiteral("BrowserView"));
    onMessage(DragDropMessages().canDrop, [](WPARAM kind, LPARAM count) -> LRESULT {
        return kind == DRAGKIND_STORY && count == 1 ? 1 : 0;
    });
    onMessage(DragDropMessages().dropStory, [](WPARAM channel, LPARAM story) -> LRESULT {
        const auto channelId = static_cast<uint32_t>(channel);
        if (channelId == 0)
            return 0;
        BrowserCalls& calls = browserCalls();
        const LRESULT result =
            calls.showStory ? calls.showStory(channelId, static_cast<uint32_t>(story)) : 0;
        if (channelId == VT_ALERTS_CHANNEL_ID && calls.broadcastNotification)
            calls.broadcastNotification(VTNOTIFICATION_ALERTS_CHANGED, QString(), 0);
        return result;
    });

    const QRect area =
        rect().adjusted(BROWSER_MARGIN, BROWSER_MARGIN, -BROWSER_MARGIN, -BROWSER_MARGIN);
    // The classic face of the address box is the desktop's interface font here.
    const QFont addressFont = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    int x = area.left();
    for (const ButtonSpec& entry : kButtons) {
        auto* button = new QKCoolButton(this);
        button->Create(
            LoadString(entry.text), QKCoolButton::StyleVisible, QKCoolButton::QKCB_BITMAP,
            QRect(x, area.top(), BROWSER_BUTTON_SIZE, BROWSER_BUTTON_SIZE), this, entry.id);
        button->setToolTip(LoadString(entry.text));
        button->setObjectName(LoadString(entry.text));
        connect(button, &QKCoolButton::command, this, [this](uint32_t id) { OnButton(id); });
        m_buttons.push_back(button);
        x += BROWSER_BUTTON_SIZE + BROWSER_BUTTON_GAP;
    }
    LoadButtonBitmaps();

    m_address = new QComboBox(this);
    m_address->setObjectName(QStringLiteral("AddressBox"));
    m_address->setEditable(true);
    m_address->setInsertPolicy(QComboBox::NoInsert);
    m_address->setMaxVisibleItems(ADDRESS_LIST_HEIGHT / std::max(1, fontMetrics().height()));
    m_address->setFont(addressFont);
    m_address->move(x, area.top() + 2); // 2 pixels right of the Print button
    m_address->lineEdit()->installEventFilter(this);
    connect(m_address, qOverload<int>(&QComboBox::activated), this, [this](int index) {
        if (index >= 0)
            Navigate(m_address->itemText(index));
    });

    m_status = new CStatusAnimation(this);
    m_status->resize(ANIMATION_FRAME_SIZE, ANIMATION_FRAME_SIZE);
    OpenAnimation();

    m_browser = new CWebBrowser(this);
    m_browser->move(area.left(), area.top() + BROWSER_BUTTON_SIZE + BROWSER_MARGIN);
    connect(m_browser, &CWebBrowser::navigateComplete, this, &CBrowserView::OnNavigateComplete);
    connect(m_browser, &CWebBrowser::statusTextChange, this, &CBrowserView::OnStatusTextChange);
    connect(m_browser, &CWebBrowser::downloadBegin, m_status, &CStatusAnimation::Play);
    connect(m_browser, &CWebBrowser::downloadComplete, m_status, &CStatusAnimation::StopPlaying);

    LayoutControls();
    ShowStartPage();
}

CBrowserView::~CBrowserView() = default;

QKCoolButton* CBrowserView::button(UINT id) const
{
    for (QKCoolButton* b : m_buttons)
        if (b->GetDlgCtrlID() == id)
            return b;
    return nullptr;
}

void CBrowserView::LoadButtonBitmaps()
{
    for (size_t i = 0; i < m_buttons.size() && i < std::size(kButtons); ++i) {
        const BrowserButtonPictures& p = kButtons[i].pictures;
        // Normal, pressed and hot pictures, in the button's own order.
        m_buttons[i]->SetBitmaps(LoadBitmapResource(p.normal), LoadBitmapResource(p.pressed),
                                 LoadBitmapResource(p.hot));
    }
}

void CBrowserView::DeleteButtonBitmaps()
{
    for (QKCoolButton* b : m_buttons)
        b->SetBitmaps(QPixmap());
}

void CBrowserView::OpenAnimation()
{
    if (settings::browserAnimationFromFile()) {
        BrowserCalls& calls = browserCalls();
        const QString dir = calls.dataDirectory ? calls.dataDirectory() : QString();
        // Qt reads no AVI: "browser.avi" plays when a movie reader for it is installed, else
        // an animation of the same name in a format Qt plays ("browser.gif", ...) does.
        QStringList candidates{dir + QString::fromLatin1(BROWSER_AVI_FILE)};
        const QString base = candidates.first().chopped(3);
        for (const QByteArray& format : QMovie::supportedFormats())
            candidates << base + QString::fromLatin1(format);
        for (const QString& path : candidates) {
            if (!dir.isEmpty() && FileExists(path) && m_status->OpenFile(path))
                return;
        }
    }
    m_status->OpenResource();
}

void CBrowserView::ShowStartPage()
{
    BrowserCalls& calls = browserCalls();
    const QString dir = calls.dataDirectory ? calls.dataDirectory() : QString();
    if (dir.isEmpty())
        return;
    const bool fromFile = settings::browserStartPageFromFile();
    const QString page =
        dir + QString::fromLatin1(fromFile ? BROWSER_START_FILE : READHALL_START_FILE);
    Navigate(FileExists(page) ? page : QString::fromLatin1(EMPTY_START_PAGE));
}

BOOL CBrowserView::Navigate(const QString& url)
{
    m_lastNavigation = BrowserNavigationText(url);
    const QUrl target = CWebBrowser::LocationToUrl(m_lastNavigation);
    if (target.isValid() && !target.isEmpty() && !CWebBrowser::IsNavigableUrl(target)) {
        // A story link or a typed address of another scheme: the person learns why nothing
        // happens.
        if (CMainFrameLink* frame = MainFrameLink())
            frame->PostStatusText(RefusedAddressText(url));
        return 0;
    }
    return m_browser && m_browser->Navigate(m_lastNavigation) ? 1 : 0;
}

void CBrowserView::OnUpdate(CView*, LPARAM hint, CObject* hintObject)
{
    if (hint != HINT_SHOW_URL)
        return;
    const auto* update = dynamic_cast<const CUpdateHint*>(hintObject);
    if (!update)
        return;
    SelectOrInsertAddress(update->m_text);
    Navigate(update->m_text);
}

void CBrowserView::SelectOrInsertAddress(const QString& text)
{
    const int found = m_address->findText(text, Qt::MatchStartsWith);
    if (found >= 0) {
        m_address->setCurrentIndex(found);
        return;
    }
    m_address->insertItem(0, text);
    m_address->setCurrentIndex(0);
}

void CBrowserView::OnButton(UINT id)
{
    if (!m_browser)
        return;
    switch (id) {
    case IDC_BROWSER_BACK:
        m_browser->GoBack();
        break;
    case IDC_BROWSER_FORWARD:
        m_browser->GoForward();
        break;
    case IDC_BROWSER_STOP:
        m_browser->Stop();
        break;
    case IDC_BROWSER_REFRESH:
        m_browser->Refresh();
        break;
    case IDC_BROWSER_PRINT:
        m_browser->PrintPage();
        break;
    default:
        break;
    }
}

void CBrowserView::OnNavigateComplete(const QUrl& url)
{
    m_address->setEditText(url.isLocalFile() ? url.toLocalFile() : url.toString());
    if (isVisible() && m_browser->focusProxy())
        m_browser->focusProxy()->setFocus();
}

void CBrowserView::OnStatusTextChange(const QString& text)
{
    if (CMainFrameLink* frame = MainFrameLink())
        frame->PostStatusText(text);
}

bool CBrowserView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_address->lineEdit() && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && m_browser) {
            const QString text = m_address->currentText();
            SelectOrInsertAddress(text);
            Navigate(text);
            return true;
        }
    }
    return CView::eventFilter(watched, event);
}

void CBrowserView::changeEvent(QEvent* event)
{
    CView::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) {
        DeleteButtonBitmaps();
        LoadButtonBitmaps();
        m_status->Close();
        OpenAnimation();
    }
}

void CBrowserView::resizeEvent(QResizeEvent* event)
{
    CView::resizeEvent(event);
    LayoutControls();
}

void CBrowserView::LayoutControls()
{
    const int cx = width();
    const int cy = height();
    m_address->resize(std::max(0, cx - ADDRESS_WIDTH_LESS), m_address->sizeHint().height());
    int statusX = cx - 31;
    const int addressRight = m_address->x() + m_address->width();
    if (statusX < addressRight)
        statusX = addressRight;
    m_status->setGeometry(statusX, BROWSER_MARGIN, ANIMATION_FRAME_SIZE, ANIMATION_FRAME_SIZE);
    m_browser->resize(std::max(0, cx - 8), std::max(0, cy - 37));
}

void CBrowserView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Button));
}
