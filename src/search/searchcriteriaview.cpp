#include "src/search/searchcriteriaview.h"

#include "src/platform/resources.h"
#include "src/search/imagecombobox.h"
#include "src/search/searchdoc.h"
#include "src/search/searchids.h"
#include "vantrel/chandir.h"

#include <QBitmap>
#include <QButtonGroup>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QPushButton>
#include <QRadioButton>
#include <cmath>

namespace
{

// The form's size in dialog units.
constexpr int kFormWidthDu = 252;
constexpr int kFormHeightDu = 60;
constexpr int kScopeListHeight = 200;

// A channel id as the C library's atol reads the text: leading blanks, an optional sign and
// the digits that follow; 0 when there are none.
uint32_t channelIdOf(const QString& text)
{
    const QString trimmed = text.trimmed();
    qsizetype end = 0;
    if (end < trimmed.size() &&
        (trimmed.at(end) == QLatin1Char('-') || trimmed.at(end) == QLatin1Char('+')))
        ++end;
    while (end < trimmed.size() && trimmed.at(end).isDigit() && trimmed.at(end).unicode() < 0x80)
        ++end;
    return static_cast<uint32_t>(trimmed.left(end).toLongLong());
}

std::vector<QPixmap> scopeImages()
{
    const QPixmap strip = LoadBitmapResource(IDB_SCOPE_IMAGES);
    std::vector<QPixmap> images;
    for (int x = 0; x + SCOPE_IMAGE_SIZE <= strip.width(); x += SCOPE_IMAGE_SIZE) {
        QPixmap cell = strip.copy(x, 0, SCOPE_IMAGE_SIZE, SCOPE_IMAGE_SIZE);
        cell.setMask(cell.createMaskFromColor(QColor(255, 0, 255)));
        images.push_back(cell);
    }
    return images;
}

} // namespace

CSearchCriteriaView::CSearchCriteriaView(QWidget* parent)
    : CView(QStringLiteral("CSearchCriteriaView"), parent)
{
    setObjectName(QStringLiteral("SearchCriteriaView"));
    setAutoFillBackground(true);
    m_label = new QLabel(QStringLiteral("&Search for:"), this);
    m_edit = new QLineEdit(this);
    m_edit->setObjectName(QStringLiteral("SearchText"));
    m_label->setBuddy(m_edit);
    m_findNow = new QPushButton(QStringLiteral("Find &Now"), this);
    m_findNow->setObjectName(QStringLiteral("FindNow"));
    m_scopeLabel = new QLabel(QStringLiteral("Search &in:"), this);
    m_scope = new CImageComboBox(this);
    m_scope->setObjectName(QStringLiteral("SearchScope"));
    m_scopeLabel->setBuddy(m_scope);
    m_newSearch = new QPushButton(QStringLiteral("Ne&w Search"), this);
    m_newSearch->setObjectName(QStringLiteral("NewSearch"));
    m_titleOnly = new QRadioButton(QStringLiteral("Title &only"), this);
    m_titleAndSummary = new QRadioButton(QStringLiteral("&Title and summary"), this);
    auto* group = new QButtonGroup(this);
    group->addButton(m_titleOnly, 0);
    group->addButton(m_titleAndSummary, 1);
    m_titleAndSummary->setChecked(true);
    for (QPushButton* button : {m_findNow, m_newSearch})
        button->setAutoDefault(false);
    setTabOrder(m_edit, m_findNow);
    setTabOrder(m_findNow, m_scope);
    setTabOrder(m_scope, m_newSearch);
    setTabOrder(m_newSearch, m_titleOnly);
    setTabOrder(m_titleOnly, m_titleAndSummary);

    connect(m_findNow, &QPushButton::clicked, this, [this] { OnFindNow(); });
    connect(m_newSearch, &QPushButton::clicked, this, [this] { OnNewSearch(); });
    m_edit->installEventFilter(this);
    m_scope->SetImages(scopeImages());
    setMinimumHeight(dialogRect(0, 0, 0, kFormHeightDu).height());
    layoutControls();
}

CSearchCriteriaView::~CSearchCriteriaView() = default;

CSearchDoc* CSearchCriteriaView::GetSearchDoc() const
{
    return qobject_cast<CSearchDoc*>(GetDocument());
}

QRect CSearchCriteriaView::dialogRect(int x, int y, int width, int height) const
{
    // Dialog units: a quarter of the font's average character width across, an eighth of
    // its height down.
    const QFontMetrics metrics(font());
    const double unitX = metrics.horizontalAdvance(QStringLiteral(
                             "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) /
                         52.0 / 4.0;
    const double unitY = metrics.height() / 8.0;
    return QRect(int(std::lround(x * unitX)), int(std::lround(y * unitY)),
                 int(std::lround(width * unitX)), int(std::lround(height * unitY)));
}

void CSearchCriteriaView::layoutControls()
{
    m_label->setGeometry(dialogRect(5, 10, 35, 8));
    m_edit->setGeometry(dialogRect(44, 7, 148, 14));
    m_findNow->setGeometry(dialogRect(195, 7, 50, 14));
    m_scopeLabel->setGeometry(dialogRect(5, 26, 36, 8));
    m_scope->setGeometry(dialogRect(44, 24, 148, 14));
    m_newSearch->setGeometry(dialogRect(195, 24, 50, 14));
    m_titleOnly->setGeometry(dialogRect(44, 43, 57, 10));
    m_titleAndSummary->setGeometry(dialogRect(105, 43, 87, 10));
    // The label may need more room than the template gives in this font.
    for (QLabel* label : {m_label, m_scopeLabel})
        label->resize(std::max(label->width(), label->sizeHint().width()), label->height());
    for (QRadioButton* button : {m_titleOnly, m_titleAndSummary})
        button->resize(std::max(button->width(), button->sizeHint().width()), button->height());
    m_titleAndSummary->move(std::max(m_titleAndSummary->x(), m_titleOnly->geometry().right() + 8),
                            m_titleAndSummary->y());

    // The text and scope box take the width that is left; the buttons keep to the right edge.
    const int width = std::max(this->width(), dialogRect(0, 0, kFormWidthDu, 0).width());
    const int buttonWidth = m_findNow->width();
    const int gap = int(std::lround(0.2 * m_findNow->height()));
    const int labelWidth = m_label->width();
    const int fieldWidth = std::max(40, width - gap - labelWidth - buttonWidth - 18);
    const int fieldLeft = std::max(m_edit->x(), m_label->geometry().right() + 4);
    m_edit->setGeometry(fieldLeft, m_edit->y(), fieldWidth, m_edit->height());
    m_scope->setGeometry(fieldLeft, m_scope->y(), fieldWidth, m_scope->height());
    m_findNow->move(width - buttonWidth - 5, m_findNow->y());
    m_newSearch->move(width - m_newSearch->width() - 5, m_newSearch->y());
}

void CSearchCriteriaView::resizeEvent(QResizeEvent* event)
{
    CView::resizeEvent(event);
    layoutControls();
}

bool CSearchCriteriaView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_edit && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            OnFindNow();
            return true;
        }
    }
    return CView::eventFilter(watched, event);
}

void CSearchCriteriaView::UpdateData(bool fromControls)
{
    if (fromControls) {
        m_searchText = m_edit->text();
        m_matchChoice = m_titleOnly->isChecked() ? 0 : 1;
        return;
    }
    if (m_edit->text() != m_searchText)
        m_edit->setText(m_searchText);
    (m_matchChoice == 0 ? m_titleOnly : m_titleAndSummary)->setChecked(true);
}

void CSearchCriteriaView::OnUpdate(CView*, LPARAM hint, CObject*)
{
    if (hint != HINT_SEARCH_INITIAL_UPDATE && hint != HINT_SEARCH_CHANNEL_ATTRIBUTE_CHANGED &&
        hint != HINT_SEARCH_CHANNEL_ADDED && hint != HINT_SEARCH_CHANNEL_DELETED)
        return;
    CSearchDoc* doc = GetSearchDoc();
    // The entry on show stays chosen (the last query's, unless the person chose another since).
    QString keep = doc ? doc->m_scopeText : QString();
    if (hint != HINT_SEARCH_INITIAL_UPDATE && m_scope->currentIndex() >= 0)
        keep = m_scope->currentText();
    FillScopeBox(keep);
    if (!doc)
        return;
    if (hint == HINT_SEARCH_INITIAL_UPDATE) {
        m_searchText = doc->m_searchText;
        m_matchChoice = doc->m_titleOnly == 1 ? 0 : 1;
    } else {
        UpdateData(true); // what the person typed since the last query stays
    }
    UpdateData(false);
}

void CSearchCriteriaView::FillScopeBox(const QString& keep)
{
    m_scope->clear();
    int selected = -1;
    if (CServices* services = GetCServices()) {
        m_scope->AddEntry(LoadString(IDS_ALL_CHANNELS), SCOPE_IMAGE_FOLDER, 0, SCOPE_ALL_CHANNELS);
        QMap<QString, QString> categories;
        if (GetCategoryList(categories, 0, 1) >= 1) {
            QStringList names = categories.keys();
            SortStringArray(names);
            for (const QString& name : names) {
                const int category = m_scope->AddEntry(name, SCOPE_IMAGE_FOLDER, 1, SCOPE_CATEGORY);
                if (name == keep)
                    selected = category;
                QStringList ids;
                ParseDelimitedString(categories.value(name), QStringLiteral(","), ids);
                for (const QString& text : ids) {
                    const uint32_t id = channelIdOf(text);
                    const CService* channel = services->GetServiceByID(id);
                    if (!channel)
                        continue;
                    QString display;
                    channel->GetDisplayName(display);
                    const int entry =
                        m_scope->AddEntry(display, SCOPE_IMAGE_CHANNEL, 2, static_cast<long>(id));
                    if (display == keep)
                        selected = entry;
                }
            }
        }
        ReleaseCServices();
    }
    if (selected < 0 && m_scope->count() > 0)
        selected = 0;
    m_scope->setCurrentIndex(selected);
}

void CSearchCriteriaView::FillChannels(CSearchDoc* doc) const
{
    const int index = m_scope->currentIndex();
    const long id = m_scope->EntryId(index);
    if (id == SCOPE_ALL_CHANNELS) {
        CServices* services = GetCServices();
        if (!services)
            return;
        for (int i = 0; i < services->GetNoServices(); ++i) {
            uint32_t channelId = 0;
            if (const CService* channel = services->GetService(i);
                channel && channel->GetServiceID(channelId))
                doc->m_channels.push_back(channelId);
        }
        ReleaseCServices();
    } else if (id == SCOPE_CATEGORY) {
        QMap<QString, QString> categories;
        if (GetCategoryList(categories, 0, 1) < 1)
            return;
        const auto found = categories.constFind(m_scope->itemText(index));
        if (found == categories.constEnd())
            return;
        QStringList ids;
        ParseDelimitedString(found.value(), QStringLiteral(","), ids);
        for (const QString& text : ids)
            doc->m_channels.push_back(channelIdOf(text));
    } else {
        doc->m_channels.push_back(static_cast<uint32_t>(id));
    }
}

void CSearchCriteriaView::OnFindNow()
{
    UpdateData(true);
    CSearchDoc* doc = GetSearchDoc();
    if (!doc)
        return;
    doc->Reset();
    doc->m_searchText = m_searchText;
    doc->m_titleOnly = m_titleOnly->isChecked() ? 1 : 0;
    if (m_scope->currentIndex() >= 0) {
        doc->m_scopeText = m_scope->currentText();
        if (GetCServices()) {
            FillChannels(doc);
            ReleaseCServices();
        }
    }
    doc->UpdateAllViews(this, HINT_SEARCH_QUERY_CHANGED);
    UpdateData(false);
}

void CSearchCriteriaView::OnNewSearch()
{
    UpdateData(true);
    CSearchDoc* doc = GetSearchDoc();
    if (!doc)
        return;
    doc->Reset();
    m_searchText.clear();
    doc->m_titleOnly = m_titleOnly->isChecked() ? 1 : 0;
    // The scope on show stays the one the box keeps when it is filled again.
    if (m_scope->currentIndex() >= 0)
        doc->m_scopeText = m_scope->currentText();
    doc->UpdateAllViews(this, HINT_SEARCH_QUERY_CHANGED);
    UpdateData(false);
    m_edit->setFocus();
}
