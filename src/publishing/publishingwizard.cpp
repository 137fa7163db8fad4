#include "src/publishing/publishingwizard.h"

#include "src/platform/messagebox.h"
#include "src/platform/resources.h"
#include "src/shared/headerview.h"
#include "src/shared/ids.h"
#include "src/shared/settings.h"
#include "src/shared/startupchecks.h"

CPublishingWizardDoc::CPublishingWizardDoc()
{
    setObjectName(QStringLiteral("PublishingWizardDoc"));
    SetTitle(LoadStringOr(IDS_HEADER_PUBLISHING_TITLE, "Publishing Wizard"));
}

CPublishingWizardFrame::CPublishingWizardFrame()
    : CBrowserFrame(QStringLiteral("CPublishingWizardFrame"),
                    [] { return new CPublishingWizardBrowserView; })
{
}

CPublishingWizardBrowserView::CPublishingWizardBrowserView(QWidget* parent)
    : CBrowserMainView(parent)
{
    setObjectName(QStringLiteral("PublishingWizardBrowserView"));
}

void CPublishingWizardBrowserView::GoHome()
{
    QString page;
    if (GetPublishingStartPage(page) == 1) {
        Navigate(page);
        return;
    }
    MessageBox(window(),
               LoadStringOr(IDS_PUBLISHING_MISSING, "Publishing Wizard not installed properly"),
               LoadString(IDS_MAINFRAME_TITLE), MB_OK);
}

bool RegisterBundledPublishingTool()
{
    QString page;
    return GetPublishingStartPage(page) == 1 && settings::registerPublishingTool();
}
