#pragma once
// The child frame of the search window: the header strip across the top, then the search
// form, the results list and, when the embedded browser is in use, a browser pane. The
// browser pane can be switched off and on and expanded over the form and the list; the
// list's height lives in the settings store. The directory's change messages arrive here and
// become update hints for the search document's views.

#include "src/framework/childframe.h"

#include <functional>

class CSearchCriteriaView;
class CSearchDoc;
class CSearchResultsView;
class CSplitterWnd;
struct CCreateContext;

class CSearchFrame : public CMDIChildWnd
{
    Q_OBJECT
public:
    CSearchFrame();
    ~CSearchFrame() override;

    BOOL OnCreateClient(CCreateContext* context) override;
    // (Re)builds the form, the list and, with the browser, the browser pane. Without a
    // context the frame's document is used and the new views get their initial update.
    BOOL BuildPanes(BOOL withBrowser, CCreateContext* context);
    // Expands the browser pane over the form and the list, or restores them.
    void ToggleExpandBrowser();
    bool IsBrowserExpanded() const { return m_savedFormHeight != 0 || m_savedListHeight != 0; }

    void ActivateFrame(int nCmdShow = -1) override;
    void OnMDIActivate(BOOL activate) override;
    void OnDestroy() override;
    // A directory change message: the channel id and, for story messages, the story numbers.
    void OnDirectoryChange(LPARAM hint, bool storyMessage, WPARAM first, LPARAM second);

    CSearchDoc* GetSearchDoc() const;
    CSearchCriteriaView* GetCriteriaView() const;
    CSearchResultsView* GetResultsView() const;
    CView* GetBrowserView() const;
    CSplitterWnd* GetOuterSplitter() const { return m_outer; }
    CSplitterWnd* GetInnerSplitter() const { return m_inner; }
    BOOL IsBrowserShown() const { return m_browserShown; }
    // The results row's current height (0 when there is no inner splitter).
    int GetResultsHeight() const;

private:
    void RegisterMessages();
    void RegisterCommands();
    // Stores the results row's height while the browser pane is shown.
    void SaveResultsHeight() const;

    CSplitterWnd* m_outer = nullptr;
    CSplitterWnd* m_inner = nullptr;
    BOOL m_browserShown = 0;
    int m_savedFormHeight = 0;
    int m_savedListHeight = 0;
    CSearchDoc* m_doc = nullptr;
    std::function<CView*()> m_headerFactory;
    HWND m_handle = 0;
    bool m_subscribed = false;
    bool m_laidOut = false;
};
