#pragma once
// The publishing wizard window: the pages of the separately installed publishing tool in a
// browser window of their own, under the header strip "Publishing Wizard". Its pane is the
// browser window's pane with the tool's start page as home. The window is offered only while
// the tool is installed and enabled (IsPublishingWizardAvailable).

#include "src/browser/browsermainview.h"
#include "src/browser/browserwindow.h"
#include "src/framework/document.h"

class CPublishingWizardDoc : public CDocument
{
    Q_OBJECT
public:
    CPublishingWizardDoc();
};

class CPublishingWizardFrame : public CBrowserFrame
{
    Q_OBJECT
public:
    CPublishingWizardFrame();
};

class CPublishingWizardBrowserView : public CBrowserMainView
{
    Q_OBJECT
public:
    explicit CPublishingWizardBrowserView(QWidget* parent = nullptr);
    // The tool's start page; when it is gone, the person is told the tool is not installed
    // properly and the pane stays empty.
    void GoHome() override;
};

// Registers the publishing tool that comes with the engine's demo content (its start page in
// the engine's data directory), as the tool's installation would, unless the settings already
// say something about it. Start-up calls it before the wizard's availability is first asked.
// True when it registered the tool.
bool RegisterBundledPublishingTool();
