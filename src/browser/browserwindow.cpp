#include "src/browser/browserwindow.h"

#include "src/browser/browsermainview.h"
#include "src/platform/messagewindow.h"

namespace
{

// Heights the rows start with: the header strip and the pane.
constexpr int kHeaderHeight = 64;
constexpr int kPaneHeight = 100;

} // namespace

CBrowserDoc::CBrowserDoc()
{
    setObjectName(QStringLiteral("BrowserDoc"));
    SetTitle(QStringLiteral("Browser"));
}

CBrowserFrame::CBrowserFrame()
    : CBrowserFrame(QStringLiteral("CBrowserFrame"), [] { return new CBrowserMainView; })
{
}

CBrowserFrame::CBrowserFrame(const QString& className, std::function<CView*()> paneFactory)
    : CHeaderPaneFrame(className, std::move(paneFactory), kHeaderHeight, kPaneHeight)
{
    setObjectName(className.mid(1)); // "BrowserFrame", "PublishingWizardFrame"
}

void CBrowserFrame::ActivateFrame(int)
{
    CHeaderPaneFrame::ActivateFrame(SW_SHOWMAXIMIZED);
}

CBrowserMainView* CBrowserFrame::GetBrowserView() const
{
    return qobject_cast<CBrowserMainView*>(GetPaneView());
}
