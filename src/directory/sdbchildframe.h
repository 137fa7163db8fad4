#pragma once
// The channel directory window's frame: the header strip across the top, the category pane
// at the left and the directory list at the right. It keeps the category pane's width and
// takes the directory library's change messages, which it hands to the document as changed
// entries. The window always shows maximized.

#include "src/framework/childframe.h"

#include <QPointer>
#include <cstdint>
#include <functional>

class CCategoryView;
class CProfilerDoc;
class CProfilerView;
class CSplitterWnd;
struct CCreateContext;

class CSDBChildFrame : public CMDIChildWnd
{
    Q_OBJECT
public:
    CSDBChildFrame();
    ~CSDBChildFrame() override;

    BOOL OnCreateClient(CCreateContext* context) override;
    void ActivateFrame(int nCmdShow = -1) override;
    void OnDestroy() override;

    // The three directory change messages; each answers 0.
    LRESULT OnChannelFlagsChanged(uint32_t channelId);
    LRESULT OnChannelAddedOrDeleted(uint32_t entryId);

    CProfilerDoc* GetProfilerDoc() const;
    CView* GetHeaderView() const;
    CCategoryView* GetCategoryView() const;
    CProfilerView* GetListView() const;
    CSplitterWnd* GetOuterSplitter() const { return m_outer; }
    CSplitterWnd* GetInnerSplitter() const { return m_inner; }
    // The category pane's current width.
    int GetCategoryWidth() const;

private:
    CSplitterWnd* m_outer = nullptr;
    CSplitterWnd* m_inner = nullptr;
    QPointer<CProfilerDoc> m_doc;
    HWND m_handle = 0;
    bool m_subscribed = false;
    bool m_laidOut = false;
};
