#pragma once
// The pane of the browser window: the five buttons and the address box above the hosted
// browser, without the busy animation, tool tips, status texts, dropped stories or story
// display requests of the channel window's pane. It starts on the program's own start page;
// the publishing wizard's pane is this pane with another start page.

#include "src/framework/view.h"

#include <QString>
#include <vector>

class CWebBrowser;
class QComboBox;
class QKCoolButton;
class QLabel;

class CBrowserMainView : public CView
{
    Q_OBJECT
public:
    explicit CBrowserMainView(QWidget* parent = nullptr);
    ~CBrowserMainView() override;

    // Shows the start page: "ReadHall.htm" in the folder of the program's files, or the
    // empty page when it is not there.
    virtual void GoHome();
    // Asks the engine for its local copy of the address and hands the copy, or else the
    // address, to the browser as it is. 1 when the browser took it.
    virtual BOOL Navigate(const QString& url);

    // Goes home once the window is complete: queued, so that the window is on screen (and a
    // subclass's start page is the one used) before the page loads or a message shows.
    void OnInitialUpdate() override;

    // The address box's rule (select the first entry that begins with the text, else insert
    // it first) and the buttons' commands (control ids 2 to 6).
    void SelectOrInsertAddress(const QString& text);
    void OnButton(UINT id);

    // Null when the browser engine is not available (IsWebBrowserAvailable): the pane then
    // says so where the page would be.
    CWebBrowser* browser() const { return m_browser; }
    QComboBox* addressBox() const { return m_address; }
    QKCoolButton* button(UINT id) const;
    // The text Navigate last handed to the browser; empty before the first navigation.
    const QString& lastNavigation() const { return m_lastNavigation; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void LayoutControls();

    CWebBrowser* m_browser = nullptr;
    QLabel* m_unavailable = nullptr;
    std::vector<QKCoolButton*> m_buttons;
    QComboBox* m_address = nullptr;
    QString m_lastNavigation;
    bool m_homeRequested = false;
};
