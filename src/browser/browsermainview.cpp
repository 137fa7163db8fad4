#include "src/browser/browsermainview.h"

#include "src/browser/browsercalls.h"
#include "src/browser/browsercontrols.h"
#include "src/browser/browserids.h"
#include "src/browser/webbrowser.h"
#include "src/platform/resources.h"
#include "src/shared/startupchecks.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPainter>

namespace
{

// The program's start page, in the folder of its own files.
constexpr char kStartPage[] = "ReadHall.htm";
// What shows when the start page is missing.
constexpr char kEmptyPage[] = "about:blank";
// The address box leaves the margin free at the right (there is no busy animation here).
constexpr int kAddressWidthLess = 143;
// Light grey behind the controls.
constexpr int kBackgroundGrey = 192;

} // namespace

CBrowserMainView::CBrowserMainView(QWidget* parent)
    : CView(QStringLiteral("CBrowserMainView"), parent)
{
    setObjectName(QStringLiteral("BrowserMainView"));
    const QRect area =
        rect().adjusted(BROWSER_MARGIN, BROWSER_MARGIN, -BROWSER_MARGIN, -BROWSER_MARGIN);
    m_buttons =
        browserpane::CreateButtons(this, area.topLeft(), false, [this](UINT id) { OnButton(id); });
    browserpane::LoadButtonBitmaps(m_buttons, true);

    // 2 pixels right of the Print button and 2 below the buttons' top.
    m_address = browserpane::CreateAddressBox(
        this, QPoint(browserpane::RightOfButtons(m_buttons), area.top() + 2),
        [this] { return m_browser != nullptr; }, [this](const QString& text) { Navigate(text); });

    const QPoint pageAt(area.left(), area.top() + BROWSER_BUTTON_SIZE + BROWSER_MARGIN);
    if (IsWebBrowserAvailable()) {
        m_browser = new CWebBrowser(this);
        m_browser->move(pageAt);
        connect(m_browser, &CWebBrowser::navigateComplete, this, [this](const QUrl& url) {
            browserpane::ShowLoadedAddress(m_address, m_browser, url);
        });
    } else {
        // Without the browser engine no page can show: the place says so.
        m_unavailable = new QLabel(
            LoadStringOr(IDS_BROWSER_UNAVAILABLE, "The embedded web browser is not available."),
            this);
        m_unavailable->setObjectName(QStringLiteral("BrowserUnavailable"));
        m_unavailable->setAlignment(Qt::AlignCenter);
        m_unavailable->setWordWrap(true);
        m_unavailable->setAutoFillBackground(true);
        m_unavailable->move(pageAt);
    }
    LayoutControls();
}

CBrowserMainView::~CBrowserMainView() = default;

void CBrowserMainView::OnInitialUpdate()
{
    CView::OnInitialUpdate();
    if (m_homeRequested)
        return;
    m_homeRequested = true;
    QMetaObject::invokeMethod(
        this, [this] { GoHome(); }, Qt::QueuedConnection);
}

void CBrowserMainView::GoHome()
{
    BrowserCalls& calls = browserCalls();
    const QString directory = calls.programDirectory ? calls.programDirectory() : QString();
    const QString page =
        directory.isEmpty() ? QString() : QDir(directory).filePath(QLatin1String(kStartPage));
    // Another system's fallback names a drive root; here that is the empty page.
    Navigate(!page.isEmpty() && QFileInfo(page).isFile() ? page : QLatin1String(kEmptyPage));
}

BOOL CBrowserMainView::Navigate(const QString& url)
{
    QString text;
    BrowserCalls& calls = browserCalls();
    if (!calls.getCachedURL || !calls.getCachedURL(url, text))
        text = url;
    m_lastNavigation = text;
    return m_browser && m_browser->Navigate(text) ? 1 : 0;
}

QKCoolButton* CBrowserMainView::button(UINT id) const
{
    return browserpane::FindButton(m_buttons, id);
}

void CBrowserMainView::SelectOrInsertAddress(const QString& text)
{
    browserpane::SelectOrInsertAddress(m_address, text);
}

void CBrowserMainView::OnButton(UINT id)
{
    browserpane::RunButton(m_browser, id);
}

void CBrowserMainView::resizeEvent(QResizeEvent* event)
{
    CView::resizeEvent(event);
    LayoutControls();
}

void CBrowserMainView::LayoutControls()
{
    const int cx = width();
    const int cy = height();
    m_address->resize(std::max(0, cx - kAddressWidthLess), m_address->sizeHint().height());
    QWidget* page = m_browser ? static_cast<QWidget*>(m_browser) : m_unavailable;
    page->resize(std::max(0, cx - 2 * BROWSER_MARGIN),
                 std::max(0, cy - (BROWSER_BUTTON_SIZE + 3 * BROWSER_MARGIN)));
}

void CBrowserMainView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(kBackgroundGrey, kBackgroundGrey, kBackgroundGrey));
}
