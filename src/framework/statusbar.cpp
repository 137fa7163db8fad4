#include "src/framework/statusbar.h"

#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QLabel>

namespace
{
CStatusBar::KeyStateProvider& keyStateProvider()
{
    static CStatusBar::KeyStateProvider provider;
    return provider;
}

bool isIndicator(UINT id)
{
    return id == ID_INDICATOR_CAPS || id == ID_INDICATOR_NUM || id == ID_INDICATOR_SCRL;
}

// The keyboard LEDs of the Linux input layer: /sys/class/leds/<device>::capslock and so on.
// Any keyboard with the LED lit counts.
bool ledOn(UINT id)
{
    QString suffix;
    switch (id) {
    case ID_INDICATOR_CAPS:
        suffix = QStringLiteral("::capslock");
        break;
    case ID_INDICATOR_NUM:
        suffix = QStringLiteral("::numlock");
        break;
    case ID_INDICATOR_SCRL:
        suffix = QStringLiteral("::scrolllock");
        break;
    default:
        return false;
    }
    // The LED list is read once; reading the brightness files is cheap.
    static const QStringList ledNames = [] {
        const QDir leds(QStringLiteral("/sys/class/leds"));
        return leds.exists() ? leds.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::System)
                             : QStringList();
    }();
    for (const QString& entry : ledNames) {
        if (!entry.endsWith(suffix))
            continue;
        QFile file(QStringLiteral("/sys/class/leds/") + entry + QStringLiteral("/brightness"));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        if (file.read(16).trimmed().toInt() > 0)
            return true;
    }
    return false;
}
} // namespace

CStatusBar::CStatusBar(QWidget* parent) : QStatusBar(parent)
{
    setObjectName(QStringLiteral("StatusBar"));
}

CStatusBar::~CStatusBar() = default;

BOOL CStatusBar::SetIndicators(const std::vector<UINT>& ids)
{
    for (size_t i = 0; i < ids.size(); ++i)
        for (size_t j = i + 1; j < ids.size(); ++j)
            if (ids[i] == ids[j])
                return 0;
    for (const Pane& pane : m_panes) {
        removeWidget(pane.label);
        delete pane.label;
    }
    m_panes.clear();
    for (UINT id : ids) {
        auto* label = new QLabel(this);
        label->setObjectName(QStringLiteral("pane%1").arg(id));
        if (id == ID_SEPARATOR) {
            // A long message is cut off rather than widening the window.
            label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
            label->setMinimumWidth(1);
            addWidget(label, 1);
        } else {
            if (isIndicator(id)) {
                // The pane keeps its width while blank, so the others do not move.
                const QFontMetrics metrics(label->font());
                label->setMinimumWidth(metrics.horizontalAdvance(IndicatorText(id)) + 8);
                label->setAlignment(Qt::AlignCenter);
            }
            addPermanentWidget(label, 0);
        }
        m_panes.push_back(Pane{id, label});
    }
    UpdateKeyStates();
    return 1;
}

const CStatusBar::Pane* CStatusBar::find(UINT id) const
{
    for (const Pane& pane : m_panes)
        if (pane.id == id)
            return &pane;
    return nullptr;
}

int CStatusBar::CommandToIndex(UINT id) const
{
    for (size_t i = 0; i < m_panes.size(); ++i)
        if (m_panes[i].id == id)
            return static_cast<int>(i);
    return -1;
}

UINT CStatusBar::GetItemID(int index) const
{
    if (index < 0 || index >= GetCount())
        return 0;
    return m_panes[static_cast<size_t>(index)].id;
}

BOOL CStatusBar::SetPaneText(UINT id, const QString& text, BOOL update)
{
    const Pane* pane = find(id);
    if (!pane)
        return 0;
    pane->label->setText(text);
    if (update)
        pane->label->repaint();
    return 1;
}

QString CStatusBar::GetPaneText(UINT id) const
{
    const Pane* pane = find(id);
    return pane ? pane->label->text() : QString();
}

BOOL CStatusBar::SetPanePicture(UINT id, const QPixmap& picture)
{
    const Pane* pane = find(id);
    if (!pane)
        return 0;
    if (picture.isNull()) {
        pane->label->clear();
        return 1;
    }
    pane->label->setPixmap(picture);
    pane->label->setFixedWidth(picture.width());
    return 1;
}

QPixmap CStatusBar::GetPanePicture(UINT id) const
{
    const Pane* pane = find(id);
    return pane ? pane->label->pixmap() : QPixmap();
}

BOOL CStatusBar::SetPaneWidth(UINT id, int width)
{
    const Pane* pane = find(id);
    if (!pane || width < 0)
        return 0;
    pane->label->setFixedWidth(width);
    return 1;
}

int CStatusBar::GetPaneWidth(UINT id) const
{
    const Pane* pane = find(id);
    if (!pane)
        return -1;
    const QLabel* label = pane->label;
    if (label->minimumWidth() == label->maximumWidth())
        return label->minimumWidth();
    return label->isVisible() ? label->width() : label->sizeHint().width();
}

QLabel* CStatusBar::paneLabel(UINT id) const
{
    const Pane* pane = find(id);
    return pane ? pane->label : nullptr;
}

void CStatusBar::SetKeyStateProvider(KeyStateProvider provider)
{
    keyStateProvider() = std::move(provider);
}

bool CStatusBar::KeyStateOn(UINT indicatorId)
{
    if (keyStateProvider())
        return keyStateProvider()(indicatorId);
    return ledOn(indicatorId);
}

QString CStatusBar::IndicatorText(UINT indicatorId)
{
    switch (indicatorId) {
    case ID_INDICATOR_CAPS:
        return QStringLiteral("CAP");
    case ID_INDICATOR_NUM:
        return QStringLiteral("NUM");
    case ID_INDICATOR_SCRL:
        return QStringLiteral("SCRL");
    default:
        return QString();
    }
}

void CStatusBar::UpdateKeyStates()
{
    for (const Pane& pane : m_panes) {
        if (!isIndicator(pane.id))
            continue;
        const QString text = KeyStateOn(pane.id) ? IndicatorText(pane.id) : QString();
        if (pane.label->text() != text)
            pane.label->setText(text);
    }
}
