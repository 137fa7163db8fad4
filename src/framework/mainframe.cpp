#include "src/framework/mainframe.h"

#include "src/framework/childframe.h"
#include "src/framework/winapp.h"

#include <QAction>
#include <QBitmap>
#include <QCloseEvent>
#include <QDataStream>
#include <QDockWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <algorithm>

namespace
{
constexpr quint32 kBarStateMagic = 0x52484253; // "RHBS"
constexpr quint32 kBarStateVersion = 1;
constexpr int kQtStateVersion = 1;
constexpr int kButtonWidth = 16;
constexpr int kButtonHeight = 15;
const char* const kMenuTextProperty = "rhMenuText";

// The first menu item of a command names its action; a toolbar button's stand-in text (its
// tip) gives way to it.
void setMenuText(QAction* action, const QString& text)
{
    if (action->property(kMenuTextProperty).toBool())
        return;
    action->setText(text);
    action->setProperty(kMenuTextProperty, true);
}
} // namespace

// ---------------------------------------------------------------- placement

BOOL GetWindowPlacement(const QWidget* window, WINDOWPLACEMENT* placement)
{
    if (!window || !placement)
        return 0;
    if (window->isMinimized())
        placement->showCmd = SW_SHOWMINIMIZED;
    else if (window->isMaximized())
        placement->showCmd = SW_SHOWMAXIMIZED;
    else
        placement->showCmd = SW_SHOWNORMAL;
    QRect normal = window->normalGeometry();
    if (!normal.isValid())
        normal = window->geometry();
    placement->rcNormalPosition = normal;
    return 1;
}

BOOL SetWindowPlacement(QWidget* window, const WINDOWPLACEMENT& placement)
{
    if (!window)
        return 0;
    if (placement.rcNormalPosition.isValid()) {
        if (window->isMaximized() || window->isMinimized())
            window->showNormal();
        window->setGeometry(placement.rcNormalPosition);
    }
    ShowWidget(window, placement.showCmd);
    return 1;
}

void ShowWidget(QWidget* window, int nCmdShow)
{
    if (!window)
        return;
    switch (nCmdShow) {
    case SW_HIDE:
        window->hide();
        break;
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
        window->showMinimized();
        break;
    case SW_SHOWMAXIMIZED:
        window->showMaximized();
        break;
    case SW_SHOW:
        window->show();
        break;
    case SW_SHOWNORMAL:
    case SW_RESTORE:
    case SW_SHOWDEFAULT:
    default:
        window->showNormal();
        break;
    }
}

// ---------------------------------------------------------------- CMDIFrameWnd

CMDIFrameWnd::CMDIFrameWnd(const QString& className, QWidget* parent)
    : QMainWindow(parent), CWnd(className, this)
{
    m_mdiArea = new QMdiArea(this);
    m_mdiArea->setObjectName(QStringLiteral("MDIClient"));
    setCentralWidget(m_mdiArea);
    connect(m_mdiArea, &QMdiArea::subWindowActivated, this, &CMDIFrameWnd::onSubWindowActivated);

    // The show/hide commands of the two standard bars.
    auto toggle = [this](UINT barId) {
        if (QWidget* bar = GetControlBar(barId))
            ShowControlBar(bar, !IsBarVisible(bar), 0);
    };
    auto rule = [this](UINT barId, CCmdUI* ui) {
        QWidget* bar = GetControlBar(barId);
        ui->Enable(bar != nullptr);
        ui->SetCheck(bar && IsBarVisible(bar) ? 1 : 0);
    };
    onCommand(ID_VIEW_TOOLBAR, [toggle] { toggle(AFX_IDW_TOOLBAR); });
    onUpdate(ID_VIEW_TOOLBAR, [rule](CCmdUI* ui) { rule(AFX_IDW_TOOLBAR, ui); });
    onCommand(ID_VIEW_STATUS_BAR, [toggle] { toggle(AFX_IDW_STATUS_BAR); });
    onUpdate(ID_VIEW_STATUS_BAR, [rule](CCmdUI* ui) { rule(AFX_IDW_STATUS_BAR, ui); });
}

CMDIFrameWnd::~CMDIFrameWnd()
{
    m_destroyed = true;
    // The client area outlives this body: hiding its windows while the widget goes activates
    // them one after another, and this object is no main frame by then.
    disconnect(m_mdiArea, nullptr, this, nullptr);
    for (CMDIChildWnd* child : std::vector<CMDIChildWnd*>(m_children))
        child->MDIDestroy();
    for (CMDIChildWnd* child : m_children)
        child->m_mainFrame = nullptr;
    m_children.clear();
    if (CWinApp* app = AfxGetApp())
        if (app->m_pMainWnd == this)
            app->m_pMainWnd = nullptr;
}

// ---- child frames

CMDIChildWnd* CMDIFrameWnd::MDIGetActive() const
{
    CMDIChildWnd* child = m_activeChild.data();
    if (!child || child->isDestroying())
        return nullptr;
    return child;
}

void CMDIFrameWnd::MDIActivate(CMDIChildWnd* child)
{
    if (!child || child->isDestroying() || child->m_mainFrame != this)
        return;
    if (QMdiSubWindow* sub = child->subWindow()) {
        if (sub->isHidden())
            sub->show();
        m_mdiArea->setActiveSubWindow(sub);
    }
    // Qt leaves the active sub-window alone while the main window is not active; the
    // frame's own notion of the active child follows the request either way.
    CMDIChildWnd* previous = MDIGetActive();
    if (previous != child) {
        m_activeChild = child;
        OnChildActivated(child, previous);
    }
}

std::vector<CMDIChildWnd*> CMDIFrameWnd::GetChildFrames() const
{
    return m_children;
}

CView* CMDIFrameWnd::GetActiveView() const
{
    CMDIChildWnd* child = MDIGetActive();
    return child ? child->GetActiveView() : nullptr;
}

CDocument* CMDIFrameWnd::GetActiveDocument() const
{
    CMDIChildWnd* child = MDIGetActive();
    return child ? child->GetActiveDocument() : nullptr;
}

void CMDIFrameWnd::onSubWindowActivated(QMdiSubWindow* window)
{
    if (!window)
        return; // the application lost focus: the last active child stays the active one
    auto* child = qobject_cast<CMDIChildWnd*>(window->widget());
    if (!child || child->isDestroying() || child->m_mainFrame != this)
        return;
    CMDIChildWnd* previous = MDIGetActive();
    if (previous != child) {
        m_activeChild = child;
        OnChildActivated(child, previous);
    }
}

void CMDIFrameWnd::OnChildActivated(CMDIChildWnd* activated, CMDIChildWnd* deactivated)
{
    if (deactivated)
        deactivated->OnMDIActivate(0);
    if (activated)
        activated->OnMDIActivate(1);
}

void CMDIFrameWnd::childFrameCreated(CMDIChildWnd* child)
{
    if (std::find(m_children.begin(), m_children.end(), child) == m_children.end())
        m_children.push_back(child);
}

void CMDIFrameWnd::childFrameDestroyed(CMDIChildWnd* child)
{
    m_children.erase(std::remove(m_children.begin(), m_children.end(), child), m_children.end());
    if (m_activeChild != child || m_destroyed)
        return;
    m_activeChild = nullptr;
    child->OnMDIActivate(0);
    // The most recently created frame that is shown takes over.
    for (auto it = m_children.rbegin(); it != m_children.rend(); ++it) {
        CMDIChildWnd* next = *it;
        if (next->subWindow() && !next->subWindow()->isHidden() && !next->isDestroying()) {
            MDIActivate(next);
            break;
        }
    }
}

// ---- menus and commands

QAction* CMDIFrameWnd::GetCommandAction(UINT id)
{
    auto it = m_actions.find(id);
    if (it != m_actions.end())
        return it->second;
    QAction* action = CreateCommandAction(id, QString(), this);
    connect(action, &QAction::triggered, this, [this, id] { ExecuteCommand(id); });
    m_actions[id] = action;
    return action;
}

QAction* CMDIFrameWnd::FindCommandAction(UINT id) const
{
    auto it = m_actions.find(id);
    return it == m_actions.end() ? nullptr : it->second;
}

void CMDIFrameWnd::addMenuItems(QMenu* menu, const std::vector<CMenuItem>& items)
{
    for (const CMenuItem& item : items) {
        if (item.isSeparator()) {
            menu->addSeparator();
        } else if (item.isPopup()) {
            QMenu* sub = menu->addMenu(item.text);
            addMenuItems(sub, item.items);
        } else {
            QAction* action = GetCommandAction(item.id);
            setMenuText(action, item.text);
            menu->addAction(action);
        }
    }
    connect(menu, &QMenu::aboutToShow, this, [this, menu] { UpdateMenuCmdUI(menu); });
}

void CMDIFrameWnd::LoadMenuBar(const std::vector<CMenuItem>& menus)
{
    QMenuBar* bar = menuBar();
    bar->clear();
    for (const CMenuItem& item : menus) {
        if (item.isSeparator())
            continue;
        if (item.isPopup() || item.id == 0) {
            QMenu* menu = bar->addMenu(item.text);
            addMenuItems(menu, item.items);
        } else {
            // A command straight on the menu bar.
            QAction* action = GetCommandAction(item.id);
            setMenuText(action, item.text);
            bar->addAction(action);
        }
    }
}

BOOL CMDIFrameWnd::DeleteMenuCommand(UINT id)
{
    QAction* action = FindCommandAction(id);
    if (!action)
        return 0;
    bool removed = false;
    std::vector<QMenu*> pending;
    for (QAction* top : menuBar()->actions()) {
        if (top == action) {
            menuBar()->removeAction(action);
            removed = true;
        } else if (QMenu* menu = top->menu()) {
            pending.push_back(menu);
        }
    }
    while (!pending.empty()) {
        QMenu* menu = pending.back();
        pending.pop_back();
        for (QAction* entry : menu->actions()) {
            if (entry == action) {
                menu->removeAction(action);
                removed = true;
            } else if (QMenu* sub = entry->menu()) {
                pending.push_back(sub);
            }
        }
    }
    return removed ? 1 : 0;
}

QMenu* CMDIFrameWnd::GetSubMenu(int index) const
{
    const QList<QAction*> tops = menuBar()->actions();
    if (index < 0 || index >= tops.size())
        return nullptr;
    return tops.at(index)->menu();
}

void CMDIFrameWnd::UpdateMenuCmdUI(QMenu* menu)
{
    if (menu)
        UpdateCommandActions(this, menu->actions());
}

void CMDIFrameWnd::OnIdleUpdateCmdUI()
{
    if (m_toolBar && IsBarVisible(m_toolBar))
        UpdateCommandActions(this, m_toolBar->actions());
    // Keys fire only enabled commands: those with keys follow their rules between menus too.
    QList<QAction*> keyed;
    for (const auto& [id, action] : m_actions)
        if (!action->shortcut().isEmpty() && action->shortcutContext() != Qt::WidgetShortcut)
            keyed.push_back(action);
    if (!keyed.isEmpty())
        UpdateCommandActions(this, keyed);
    if (m_statusBar && IsBarVisible(m_statusBar))
        m_statusBar->UpdateKeyStates();
}

// ---- toolbar

BOOL CMDIFrameWnd::CreateToolBar(const std::vector<UINT>& buttons, const QPixmap& strip,
                                 const QColor& transparent)
{
    if (m_toolBar || buttons.empty())
        return 0;
    auto* bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("ToolBar"));
    bar->setIconSize(QSize(kButtonWidth, kButtonHeight));
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    int cell = 0;
    for (UINT id : buttons) {
        if (id == ID_SEPARATOR) {
            bar->addSeparator();
            continue;
        }
        QAction* action = GetCommandAction(id);
        if (action->text().isEmpty()) {
            const QString tip = CommandTipText(id);
            action->setText(tip.isEmpty() ? CommandHelpText(id) : tip);
        }
        const int x = cell * kButtonWidth;
        ++cell;
        if (!strip.isNull() && x + kButtonWidth <= strip.width()) {
            QPixmap image = strip.copy(x, 0, kButtonWidth, qMin(kButtonHeight, strip.height()));
            if (transparent.isValid() && !image.hasAlphaChannel())
                image.setMask(image.createMaskFromColor(transparent, Qt::MaskInColor));
            action->setIcon(QIcon(image));
        }
        bar->addAction(action);
    }
    addToolBar(Qt::TopToolBarArea, bar);
    m_toolBar = bar;
    m_bars[AFX_IDW_TOOLBAR] = bar;
    return 1;
}

// ---- status bar

BOOL CMDIFrameWnd::CreateStatusBar(const std::vector<UINT>& indicators)
{
    if (m_statusBar)
        return 0;
    auto* bar = new CStatusBar(this);
    if (!bar->SetIndicators(indicators)) {
        delete bar;
        return 0;
    }
    setStatusBar(bar);
    m_statusBar = bar;
    m_bars[AFX_IDW_STATUS_BAR] = bar;
    return 1;
}

void CMDIFrameWnd::SetMessageText(const QString& text)
{
    if (m_statusBar)
        m_statusBar->SetPaneText(ID_SEPARATOR, text);
}

// ---- control bars

BOOL CMDIFrameWnd::AddDockBar(UINT id, QDockWidget* bar, Qt::DockWidgetAreas allowed,
                              Qt::DockWidgetArea area, int width)
{
    if (!bar || m_bars.count(id))
        return 0;
    if (bar->objectName().isEmpty())
        bar->setObjectName(QStringLiteral("ControlBar%1").arg(id));
    bar->setAllowedAreas(allowed);
    addDockWidget(area, bar);
    if (width > 0)
        resizeDocks({bar}, {width}, Qt::Horizontal);
    m_bars[id] = bar;
    return 1;
}

QWidget* CMDIFrameWnd::GetControlBar(UINT id) const
{
    auto it = m_bars.find(id);
    return it == m_bars.end() ? nullptr : it->second.data();
}

void CMDIFrameWnd::ShowControlBar(QWidget* bar, BOOL show, BOOL)
{
    if (bar)
        bar->setVisible(show != 0);
}

bool CMDIFrameWnd::IsBarVisible(const QWidget* bar)
{
    return bar && !bar->isHidden();
}

// ---- bar layout

QByteArray CMDIFrameWnd::SaveBarStateBytes() const
{
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    stream.setVersion(QDataStream::Qt_6_0);
    stream << kBarStateMagic << kBarStateVersion;
    stream << static_cast<qint8>(m_statusBar ? (IsBarVisible(m_statusBar) ? 1 : 0) : -1);
    stream << saveState(kQtStateVersion);
    return bytes;
}

BOOL CMDIFrameWnd::RestoreBarStateBytes(const QByteArray& state)
{
    QDataStream stream(state);
    stream.setVersion(QDataStream::Qt_6_0);
    quint32 magic = 0;
    quint32 version = 0;
    qint8 statusShown = -1;
    QByteArray qtState;
    stream >> magic >> version >> statusShown >> qtState;
    if (stream.status() != QDataStream::Ok || magic != kBarStateMagic ||
        version != kBarStateVersion || !stream.atEnd())
        return 0;
    if (!restoreState(qtState, kQtStateVersion))
        return 0;
    if (m_statusBar && statusShown >= 0)
        m_statusBar->setVisible(statusShown != 0);
    return 1;
}

BOOL CMDIFrameWnd::SaveBarState(const QString& profileName) const
{
    CWinApp* app = AfxGetApp();
    if (!app)
        return 0;
    return app->WriteProfileBinary(QString(), profileName, SaveBarStateBytes());
}

BOOL CMDIFrameWnd::LoadBarState(const QString& profileName)
{
    CWinApp* app = AfxGetApp();
    if (!app)
        return 0;
    QByteArray state;
    if (!app->GetProfileBinary(QString(), profileName, state))
        return 0;
    return RestoreBarStateBytes(state);
}

// ---- closing

void CMDIFrameWnd::OnClose()
{
    DestroyWindow();
}

void CMDIFrameWnd::DestroyWindow()
{
    if (m_destroyed)
        return;
    m_destroyed = true;
    for (CMDIChildWnd* child : std::vector<CMDIChildWnd*>(m_children))
        child->MDIDestroy();
    OnDestroy();
    destroyHandle();
    hide();
    if (CWinApp* app = AfxGetApp()) {
        if (app->m_pMainWnd == this) {
            app->m_pMainWnd = nullptr;
            app->Quit(0);
        }
    }
    if (m_bAutoDelete)
        deleteLater();
}

void CMDIFrameWnd::closeEvent(QCloseEvent* event)
{
    // The frame decides itself whether and how it closes.
    event->ignore();
    if (!m_destroyed)
        OnClose();
}

std::vector<CCmdTarget*> CMDIFrameWnd::CommandRoute()
{
    if (CMDIChildWnd* child = MDIGetActive())
        return child->CommandRoute();
    std::vector<CCmdTarget*> route{this};
    if (CWinApp* app = AfxGetApp())
        route.push_back(app);
    return route;
}

LRESULT CMDIFrameWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CLOSE) {
        if (!m_destroyed)
            OnClose();
        return 0;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}
