#include "src/browser/browsercontrols.h"

#include "src/browser/browserids.h"
#include "src/browser/webbrowser.h"
#include "src/platform/messagebox.h"
#include "src/platform/resources.h"
#include "src/shared/ids.h"
#include "vantrel/qkcoolbutton.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLineEdit>
#include <QUrl>
#include <algorithm>

namespace browserpane
{

namespace
{

struct BrowserButton {
    UINT id;
    UINT text;
    BrowserButtonPictures pictures;
};
constexpr BrowserButton kButtons[] = {
    {IDC_BROWSER_BACK, IDS_BROWSER_BACK, IDB_BACK},
    {IDC_BROWSER_FORWARD, IDS_BROWSER_FORWARD, IDB_FORWARD},
    {IDC_BROWSER_STOP, IDS_BROWSER_STOP, IDB_STOP},
    {IDC_BROWSER_REFRESH, IDS_BROWSER_REFRESH, IDB_REFRESH},
    {IDC_BROWSER_PRINT, IDS_BROWSER_PRINT, IDB_PRINT},
};

// Enter (or Return) in the address box's edit field: the typed text is chosen and navigated to.
class EnterFilter : public QObject
{
public:
    EnterFilter(QComboBox* box, std::function<bool()> canNavigate,
                std::function<void(const QString&)> navigate)
        : QObject(box), m_box(box), m_canNavigate(std::move(canNavigate)),
          m_navigate(std::move(navigate))
    {
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress || watched != m_box->lineEdit())
            return false;
        const int key = static_cast<const QKeyEvent*>(event)->key();
        if ((key != Qt::Key_Return && key != Qt::Key_Enter) || !m_canNavigate())
            return false;
        const QString text = m_box->currentText();
        SelectOrInsertAddress(m_box, text);
        m_navigate(text);
        return true;
    }

private:
    QComboBox* m_box;
    std::function<bool()> m_canNavigate;
    std::function<void(const QString&)> m_navigate;
};

} // namespace

std::vector<QKCoolButton*> CreateButtons(QWidget* parent, const QPoint& topLeft, bool toolTips,
                                         const std::function<void(UINT)>& onButton)
{
    std::vector<QKCoolButton*> buttons;
    int x = topLeft.x();
    for (const BrowserButton& entry : kButtons) {
        auto* button = new QKCoolButton(parent);
        const QString text = LoadString(entry.text);
        button->Create(text, QKCoolButton::StyleVisible, QKCoolButton::QKCB_BITMAP,
                       QRect(x, topLeft.y(), BROWSER_BUTTON_SIZE, BROWSER_BUTTON_SIZE), parent,
                       entry.id);
        button->setObjectName(text);
        button->setAccessibleName(text);
        if (toolTips)
            button->setToolTip(text);
        QObject::connect(button, &QKCoolButton::command, parent,
                         [onButton](uint32_t id) { onButton(id); });
        buttons.push_back(button);
        x += BROWSER_BUTTON_SIZE + BROWSER_BUTTON_GAP;
    }
    return buttons;
}

void LoadButtonBitmaps(const std::vector<QKCoolButton*>& buttons, bool normalWhenDisabled)
{
    for (size_t i = 0; i < buttons.size() && i < std::size(kButtons); ++i) {
        const BrowserButtonPictures& p = kButtons[i].pictures;
        const QPixmap normal = LoadBitmapResource(p.normal);
        // Normal, pressed and hot pictures, in the button's own order.
        buttons[i]->SetBitmaps(normal, LoadBitmapResource(p.pressed), LoadBitmapResource(p.hot),
                               normalWhenDisabled ? normal : QPixmap());
    }
}

void DeleteButtonBitmaps(const std::vector<QKCoolButton*>& buttons)
{
    for (QKCoolButton* button : buttons)
        button->SetBitmaps(QPixmap());
}

QKCoolButton* FindButton(const std::vector<QKCoolButton*>& buttons, UINT id)
{
    const auto found = std::find_if(buttons.begin(), buttons.end(), [id](const QKCoolButton* b) {
        return b->GetDlgCtrlID() == id;
    });
    return found == buttons.end() ? nullptr : *found;
}

int RightOfButtons(const std::vector<QKCoolButton*>& buttons)
{
    return buttons.empty() ? 0 : buttons.back()->geometry().right() + 1 + BROWSER_BUTTON_GAP;
}

QComboBox* CreateAddressBox(QWidget* parent, const QPoint& at, std::function<bool()> canNavigate,
                            std::function<void(const QString&)> navigate)
{
    auto* box = new QComboBox(parent);
    box->setObjectName(QStringLiteral("AddressBox"));
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    // The classic face of the address box is the desktop's interface font here.
    box->setFont(QFontDatabase::systemFont(QFontDatabase::GeneralFont));
    box->setMaxVisibleItems(
        std::max(1, ADDRESS_LIST_HEIGHT / std::max(1, box->fontMetrics().height())));
    box->move(at);
    QObject::connect(box, qOverload<int>(&QComboBox::activated), box, [box, navigate](int index) {
        if (index >= 0)
            navigate(box->itemText(index));
    });
    box->lineEdit()->installEventFilter(
        new EnterFilter(box, std::move(canNavigate), std::move(navigate)));
    return box;
}

void SelectOrInsertAddress(QComboBox* box, const QString& text)
{
    const int found = box->findText(text, Qt::MatchStartsWith);
    if (found >= 0) {
        box->setCurrentIndex(found);
        return;
    }
    box->insertItem(0, text);
    box->setCurrentIndex(0);
}

void RunButton(CWebBrowser* browser, UINT id)
{
    if (!browser)
        return;
    switch (id) {
    case IDC_BROWSER_BACK:
        browser->GoBack();
        break;
    case IDC_BROWSER_FORWARD:
        browser->GoForward();
        break;
    case IDC_BROWSER_STOP:
        browser->Stop();
        break;
    case IDC_BROWSER_REFRESH:
        browser->Refresh();
        break;
    case IDC_BROWSER_PRINT:
        if (!browser->PrintPage())
            MessageBox(browser->window(),
                       LoadStringOr(IDS_BROWSER_NO_PRINTER,
                                    "There is no printer set up, so the page cannot be printed."),
                       LoadString(IDS_MAINFRAME_TITLE), MB_OK | MB_ICONEXCLAMATION);
        break;
    default:
        break;
    }
}

void ShowLoadedAddress(QComboBox* box, CWebBrowser* browser, const QUrl& url)
{
    box->setEditText(url.isLocalFile() ? url.toLocalFile() : url.toString());
    if (browser->isVisible() && browser->focusProxy())
        browser->focusProxy()->setFocus();
}

} // namespace browserpane
