#include "src/framework/view.h"

#include "src/framework/childframe.h"
#include "src/framework/document.h"
#include "src/framework/mainframe.h"
#include "src/framework/winapp.h"

#include <QAction>
#include <QMenu>
#include <memory>

namespace
{
quint64 g_viewSerial = 0;
}

CView::CView(const QString& className, QWidget* parent)
    : QWidget(parent), CWnd(className, this), m_serial(++g_viewSerial)
{
}

CView::~CView()
{
    if (m_pDocument)
        m_pDocument->RemoveView(this);
}

CMDIChildWnd* CView::GetParentFrame() const
{
    for (QWidget* widget = parentWidget(); widget; widget = widget->parentWidget())
        if (auto* frame = qobject_cast<CMDIChildWnd*>(widget))
            return frame;
    return nullptr;
}

void CView::OnInitialUpdate()
{
    OnUpdate(nullptr, 0, nullptr);
}

void CView::OnUpdate(CView*, LPARAM, CObject*)
{
    update();
}

void CView::OnActivateView(BOOL, CView*, CView*) {}

UINT CView::TrackContextMenu(const std::vector<CMenuItem>& items, const QPoint& globalPos)
{
    std::unique_ptr<QMenu> menu(BuildCommandMenu(items, this, this));
    QAction* chosen = menu->exec(globalPos);
    return CommandIdOf(chosen);
}

std::vector<CCmdTarget*> CView::CommandRoute()
{
    std::vector<CCmdTarget*> route{this};
    if (m_pDocument)
        route.push_back(m_pDocument);
    if (CMDIChildWnd* frame = GetParentFrame()) {
        for (CCmdTarget* target : frame->FrameRoute())
            route.push_back(target);
        return route;
    }
    if (CMDIFrameWnd* main = AfxGetMainFrame())
        route.push_back(main);
    if (CWinApp* app = AfxGetApp())
        route.push_back(app);
    return route;
}
