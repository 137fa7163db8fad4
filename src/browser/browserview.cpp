#include "src/browser/browserview.h"

#include "src/browser/browsercalls.h"
#include "src/browser/browsercontrols.h"
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
    m_buttons =
        browserpane::CreateButtons(this, area.topLeft(), true, [this](UINT id) { OnButton(id); });
    LoadButtonBitmaps();

    // 2 pixels right of the Print button and 2 below the buttons' top.
    m_address = browserpane::CreateAddressBox(
        this, QPoint(browserpane::RightOfButtons(m_buttons), area.top() + 2),
        [this] { return m_browser != nullptr; }, [this](const QString& text) { Navigate(text); });

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
    return browserpane::FindButton(m_buttons, id);
}

void CBrowserView::LoadButtonBitmaps()
{
    browserpane::LoadButtonBitmaps(m_buttons, false);
}

void CBrowserView::DeleteButtonBitmaps()
{
    browserpane::DeleteButtonBitmaps(m_buttons);
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
    browserpane::SelectOrInsertAddress(m_address, text);
}

void CBrowserView::OnButton(UINT id)
{
    browserpane::RunButton(m_browser, id);
}

void CBrowserView::OnNavigateComplete(const QUrl& url)
{
    browserpane::ShowLoadedAddress(m_address, m_browser, url);
}

void CBrowserView::OnStatusTextChange(const QString& text)
{
    if (CMainFrameLink* frame = MainFrameLink())
        frame->PostStatusText(text);
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
