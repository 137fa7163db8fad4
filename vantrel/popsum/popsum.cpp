// The story summary pop-up: a frameless window that shows a story's headline and summary
// without taking the keyboard focus from the list that opened it.

#include "vantrel/popsum.h"

#include "vantrel/core/feeds/feeds.h"
#include "vantrel/popsum/popsum_p.h"

#include <QApplication>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QScrollBar>
#include <QTextBrowser>
#include <QVBoxLayout>

#include <functional>

namespace
{

int g_initCount = 0;

constexpr int kPopupWidth = 380;
constexpr int kMaxSummaryHeight = 320;
const QString kFullStoryHref = QStringLiteral("#full-story");

// A text browser that never loads anything: summaries are cleaned of images already, and
// this makes sure that nothing from disk or network is ever fetched for them.
class SummaryBrowser : public QTextBrowser
{
public:
    using QTextBrowser::QTextBrowser;
    QVariant loadResource(int, const QUrl&) override { return QVariant(); }
};

} // namespace

class CSummaryPopupWidget : public QFrame
{
public:
    std::function<void(const QUrl&)> onAddress;
    std::function<void()> onFullStory;

    explicit CSummaryPopupWidget(QWidget* owner)
        : QFrame(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
          m_owner(owner)
    {
        setObjectName(QStringLiteral("SummaryPopup"));
        setAttribute(Qt::WA_ShowWithoutActivating);
        setFocusPolicy(Qt::NoFocus);
        setFrameShape(QFrame::Box);
        setAutoFillBackground(true);
        setBackgroundRole(QPalette::ToolTipBase);
        setForegroundRole(QPalette::ToolTipText);

        m_headline = new QLabel(this);
        m_headline->setObjectName(QStringLiteral("headline"));
        m_headline->setTextFormat(Qt::PlainText);
        m_headline->setWordWrap(true);
        QFont bold = m_headline->font();
        bold.setBold(true);
        m_headline->setFont(bold);

        m_summary = new SummaryBrowser(this);
        m_summary->setObjectName(QStringLiteral("summary"));
        m_summary->setOpenLinks(false);
        m_summary->setOpenExternalLinks(false);
        m_summary->setFrameShape(QFrame::NoFrame);
        m_summary->setFocusPolicy(Qt::NoFocus);
        m_summary->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        m_summary->viewport()->setAutoFillBackground(false);
        m_summary->setStyleSheet(QStringLiteral("QTextBrowser { background: transparent; }"));
        m_summary->document()->setDocumentMargin(0);
        QObject::connect(m_summary, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) {
            if (onAddress)
                onAddress(url);
        });

        m_fullStory = new QLabel(this);
        m_fullStory->setObjectName(QStringLiteral("fullStory"));
        m_fullStory->setTextFormat(Qt::RichText);
        m_fullStory->setText(QStringLiteral("<a href=\"%1\">%2</a>")
                                 .arg(kFullStoryHref, QObject::tr("Full story").toHtmlEscaped()));
        m_fullStory->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
        m_fullStory->setOpenExternalLinks(false);
        m_fullStory->setFocusPolicy(Qt::NoFocus);
        QObject::connect(m_fullStory, &QLabel::linkActivated, this, [this](const QString& href) {
            if (href == kFullStoryHref && onFullStory)
                onFullStory();
        });

        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(8, 6, 8, 6);
        layout->setSpacing(4);
        layout->addWidget(m_headline);
        layout->addWidget(m_summary);
        layout->addWidget(m_fullStory, 0, Qt::AlignLeft);

        if (owner) {
            // The pop-up belongs to its owner's window: it goes when the owner goes.
            QObject::connect(owner, &QObject::destroyed, this, [this] { hide(); });
        }
    }

    QWidget* owner() const { return m_owner; }

    // Fills the pop-up and gives it the size its content needs within the screen width.
    void setContent(const QString& headline, const QString& safeHtml, int screenWidth)
    {
        const int width = std::max(160, std::min(kPopupWidth, screenWidth - 16));
        m_headline->setText(popsum::elideText(headline.simplified(), popsum::kMaxHeadlineChars));
        m_headline->setVisible(!headline.trimmed().isEmpty());
        m_summary->setHtml(safeHtml);
        m_summary->verticalScrollBar()->setValue(0);

        const QMargins margins = layout()->contentsMargins();
        const int inner = width - margins.left() - margins.right() - 2 * frameWidth();
        m_summary->document()->setTextWidth(inner);
        const int textHeight = int(std::ceil(m_summary->document()->size().height())) + 2;
        m_summary->setFixedHeight(std::min(textHeight, kMaxSummaryHeight));
        m_summary->setVerticalScrollBarPolicy(
            textHeight > kMaxSummaryHeight ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
        setFixedWidth(width);
        m_headline->setFixedWidth(inner);
        layout()->activate();
        adjustSize();
        resize(width, sizeHint().height());
    }

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (event->key() == Qt::Key_Escape) {
            hide();
            return;
        }
        QFrame::keyPressEvent(event);
    }

private:
    QPointer<QWidget> m_owner;
    QLabel* m_headline = nullptr;
    QTextBrowser* m_summary = nullptr;
    QLabel* m_fullStory = nullptr;
};

int PopSum_Initialize()
{
    ++g_initCount;
    return 1;
}

int PopSum_Uninitialize()
{
    if (g_initCount <= 0)
        return 0;
    --g_initCount;
    return 1;
}

CSummary::CSummary() = default;

CSummary::~CSummary() = default;

int CSummary::Create(QWidget* parent, uint32_t /*style*/)
{
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return 0; // no widgets without a widget application
    m_popup = std::make_unique<CSummaryPopupWidget>(parent);
    // The program's handlers may open windows or even destroy this object: they run after the
    // click has been handled, from the event loop, and only while the pop-up still exists.
    CSummaryPopupWidget* widget = m_popup.get();
    m_popup->onAddress = [this, widget](const QUrl& url) {
        HidePopup();
        const QString address = url.toString();
        QMetaObject::invokeMethod(
            widget, [this, address] { OnShowURL(address); }, Qt::QueuedConnection);
    };
    m_popup->onFullStory = [this, widget] {
        uint32_t channelId = 0;
        uint32_t storyNumber = 0;
        const bool parsed = CService::ParseStoryID(m_storyId, channelId, storyNumber);
        HidePopup();
        if (parsed) {
            QMetaObject::invokeMethod(
                widget, [this, channelId, storyNumber] { OnShowStory(channelId, storyNumber); },
                Qt::QueuedConnection);
        }
    };
    return 1;
}

void CSummary::SetPalette(HPALETTE palette)
{
    m_palette = palette;
}

int CSummary::ShowStoryPopup(const QString& storyId, const QPoint& point, const QRect& exclude)
{
    QString headline;
    QString summary;
    if (storyId.isEmpty() || !m_popup || !GetSummary(storyId, headline, summary)) {
        HidePopup();
        return 0;
    }
    m_storyId = storyId;
    if (!ShowPopup(headline, summary, point, exclude)) {
        m_storyId.clear();
        return 0;
    }
    return 1;
}

int CSummary::ShowPopup(const QString& headline, const QString& summary, const QPoint& point,
                        const QRect& exclude)
{
    if (!m_popup)
        return 0;
    const QString safe = popsum::sanitizeSummaryHtml(summary);
    if (vantrel::feeds::plainTextFromHtml(safe).isEmpty()) {
        HidePopup(); // nothing to read: no pop-up
        return 0;
    }
    QScreen* screen = QGuiApplication::screenAt(point);
    if (!screen && m_popup->owner())
        screen = m_popup->owner()->screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);

    m_popup->hide();
    m_popup->setContent(headline, safe, area.width());
    const QSize size = m_popup->size();
    m_popup->move(popsum::placePopup(size, point, exclude, area));
    m_popup->show();
    m_popup->raise();
    return 1;
}

void CSummary::HidePopup()
{
    if (m_popup)
        m_popup->hide();
}

bool CSummary::IsPopupVisible() const
{
    return m_popup && m_popup->isVisible();
}

int CSummary::OnShowURL(const QString& /*url*/)
{
    return 0;
}

int CSummary::OnShowStory(uint32_t /*channelId*/, uint32_t /*storyNumber*/)
{
    return 0;
}

QWidget* CSummary::GetPopupWindow() const
{
    return m_popup.get();
}

int CSummary::GetSummary(const QString& storyId, QString& headline, QString& summary)
{
    uint32_t channelId = 0;
    uint32_t storyNumber = 0;
    if (!CService::ParseStoryID(storyId, channelId, storyNumber))
        return 0;
    CServices* services = GetCServices();
    if (!services)
        return 0;
    int found = 0;
    if (CService* channel = services->GetServiceByID(channelId)) {
        const int index = channel->GetStoryIndex(storyNumber);
        if (index >= 0) {
            headline = channel->GetStoryHeadline(index);
            QString header;
            QString footer;
            QString body;
            channel->GetStoryAttribute(index, QStringLiteral("Header"), header);
            channel->GetStoryAttribute(index, QStringLiteral("Footer"), footer);
            if (channel->IsStorySummaryAvailable(index))
                body = channel->GetStorySummary(index);
            QStringList parts;
            if (!header.trimmed().isEmpty())
                parts << QStringLiteral("<div>%1</div>").arg(header);
            if (!body.trimmed().isEmpty())
                parts << body;
            if (!footer.trimmed().isEmpty())
                parts << QStringLiteral("<div>%1</div>").arg(footer);
            summary = parts.join(QString());
            found = summary.isEmpty() ? 0 : 1;
        }
    }
    ReleaseCServices();
    return found;
}
