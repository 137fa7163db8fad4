#pragma once
// The child frame of the channel window and of the alerts window: the channel header across
// the top, the folder tree at the left, the headline list and, below it, the embedded
// browser. The folder tree and the browser pane can be switched off and the browser pane
// expanded over the others; sizes and switches live in the settings store. The directory's
// change messages arrive here and become document refreshes and update hints.

#include "src/framework/childframe.h"
#include "src/shared/settings.h"

#include <QPointer>
#include <QString>
#include <cstdint>
#include <vector>

class CChannelDoc;
class CChannelFolderView;
class CChannelHeaderView;
class CSplitterWnd;
struct CCreateContext;

class CChannelFrame : public CMDIChildWnd
{
    Q_OBJECT
public:
    CChannelFrame();
    ~CChannelFrame() override;

    BOOL OnCreateClient(CCreateContext* context) override;
    // Creates every pane; returns 0 on any failure.
    BOOL BuildPanes(CCreateContext* context, BOOL folderList, BOOL browser);
    virtual void SetEmbeddedBrowser(BOOL on);
    virtual void ShowFolderList(BOOL on);
    // Expands the browser pane over the headline list (and the folder tree), or restores.
    void ToggleExpandBrowser();
    bool IsBrowserExpanded() const;

    void ActivateFrame(int nCmdShow = -1) override;
    void OnMDIActivate(BOOL activate) override;
    void OnDestroy() override;

    // WM_SELECT_CHANNEL and WM_ENGINE_EVENT.
    LRESULT OnSelectChannel(uint32_t channelId);
    LRESULT OnEngineEvent();
    // Selects the next unread story (forward) or the previous one, going on to the next
    // channel with unread stories in the folder tree; false when there is none.
    bool MoveToUnread(bool forward);

    CChannelDoc* GetChannelDoc() const;
    CChannelHeaderView* GetHeaderView() const;
    CChannelFolderView* GetFolderView() const;
    CView* GetHeadlineView() const;
    CView* GetBrowserView() const;
    CSplitterWnd* GetOuterSplitter() const { return m_outer; }
    CSplitterWnd* GetFolderSplitter() const { return m_folderSplitter; }
    CSplitterWnd* GetInnerSplitter() const { return m_inner; }
    BOOL IsBrowserShown() const { return m_browserShown; }
    BOOL IsFolderListShown() const { return m_folderListShown; }
    int GetFolderWidth() const;    // the folder column's current width (0: none shown)
    int GetHeadlineHeight() const; // the headline row's current height (0: no browser pane)

    // The open channel and alerts frames (a copy taken under the list's lock).
    static std::vector<CChannelFrame*> OpenFrames();
    // The engine callback: on type 0x4000000 posts WM_ENGINE_EVENT to every open frame.
    // Callable from any thread; does no window work itself.
    static void EngineCallback(uint32_t type, const char* text, uint32_t value, const char* text2,
                               uint32_t value2, uint32_t value3, uint32_t value4);
    // Whether the callback is registered with the engine now.
    static bool IsEngineCallbackRegistered();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool IsReadingList(const QWidget* widget) const;
    void RegisterMessages();
    void RegisterCommands();
    void OnDirectoryChange(LPARAM code, bool refreshWhenShown, bool storyMessage, WPARAM first,
                           LPARAM second);
    CCreateContext MakeContext() const;
    // The place of the list part: the splitter and its cell.
    CSplitterWnd* ListPlace(int& row, int& col) const;
    // The stored size of a pane of this window (the alerts window keeps its own).
    int ReadSize(settings::ChannelPane pane) const;
    void WriteSize(settings::ChannelPane pane, int value) const;
    void Relayout();

    BOOL m_browserShown = 0;
    CSplitterWnd* m_outer = nullptr;
    CSplitterWnd* m_folderSplitter = nullptr;
    CSplitterWnd* m_inner = nullptr;
    int m_savedListHeight = 0;
    int m_savedFolderWidth = 0;
    BOOL m_folderListShown = 0;
    bool m_alerts = false; // the alerts window
    QPointer<CChannelDoc> m_doc;
    std::function<CView*()> m_headerFactory;
    HWND m_handle = 0; // kept for the engine callback, which may not touch the frame
    bool m_subscribed = false;
    bool m_laidOut = false;
};
