#include "src/shared/panes.h"

#include "src/framework/cmdtarget.h"
#include "src/shared/ids.h"
#include "src/shared/settings.h"
#include "src/shared/startupchecks.h"

#include <QtGlobal>
#include <array>

namespace
{

std::array<PaneFactory, 2>& factories()
{
    static std::array<PaneFactory, 2> all;
    return all;
}

size_t slot(PaneKind kind)
{
    return kind == PaneKind::HeadlineList ? 0 : 1;
}

} // namespace

void SetPaneFactory(PaneKind kind, PaneFactory factory)
{
    factories()[slot(kind)] = std::move(factory);
}

CView* CreatePane(PaneKind kind)
{
    const PaneFactory& factory = factories()[slot(kind)];
    if (!factory) {
        qWarning("Readhall: no %s pane can be made; the application sets the pane factories "
                 "at start-up",
                 kind == PaneKind::HeadlineList ? "headline list" : "browser");
        return nullptr;
    }
    return factory();
}

void UpdateEmbeddedBrowserSwitch(CCmdUI* ui, BOOL shown)
{
    if (!IsWebBrowserAvailable()) {
        ui->Enable(0);
        return;
    }
    ui->SetCheck(shown ? 1 : 0);
    ui->Enable(!settings::browserLocked());
}

void RegisterBrowserPaneCommands(CCmdTarget* frame, const BOOL& shown,
                                 std::function<void(BOOL)> showBrowser,
                                 std::function<void()> toggleExpand,
                                 std::function<bool()> isExpanded)
{
    frame->onCommand(ID_VIEW_USE_EMBEDDED_BROWSER, [&shown, showBrowser = std::move(showBrowser)] {
        showBrowser(!shown);
        settings::setUseEmbeddedBrowser(shown);
    });
    frame->onUpdate(ID_VIEW_USE_EMBEDDED_BROWSER,
                    [&shown](CCmdUI* ui) { UpdateEmbeddedBrowserSwitch(ui, shown); });
    frame->onCommand(ID_VIEW_EXPAND_BROWSER, std::move(toggleExpand));
    frame->onUpdate(ID_VIEW_EXPAND_BROWSER,
                    [&shown, isExpanded = std::move(isExpanded)](CCmdUI* ui) {
                        ui->Enable(shown);
                        ui->SetCheck(isExpanded() ? 1 : 0);
                    });
}
