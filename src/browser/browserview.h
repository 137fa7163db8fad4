#pragma once
// The browser pane of the channel, alerts and search windows: five buttons (back, forward,
// stop, refresh, print), an address box and a busy animation above the hosted browser. It
// shows what the show-URL hint names, what the user types or chooses in the address box and
// the story dropped on it from a story list. Before an address goes to the browser the
// engine is asked for its local copy, so stories it downloaded show from its store.

#include "src/framework/view.h"

#include <QPointer>
#include <QString>
#include <vector>

class CWebBrowser;
class QComboBox;
class QKCoolButton;
class QLabel;
class QMovie;
class QTimer;

// The busy animation: the frames of a strip picture shown in turn, or a movie file.
class CStatusAnimation : public QWidget
{
    Q_OBJECT
public:
    explicit CStatusAnimation(QWidget* parent = nullptr);
    // Opens a movie file; false when Qt cannot play it.
    bool OpenFile(const QString& path);
    // Opens the built-in strip.
    bool OpenResource();
    void Close();
    void Play();
    void StopPlaying();
    bool IsPlaying() const;
    bool IsFromFile() const { return m_movie != nullptr; }
    int FrameCount() const { return static_cast<int>(m_frames.size()); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<QPixmap> m_frames;
    QMovie* m_movie = nullptr;
    QTimer* m_timer;
    int m_frame = 0;
};

class CBrowserView : public CView
{
    Q_OBJECT
public:
    explicit CBrowserView(QWidget* parent = nullptr);
    ~CBrowserView() override;

    // Asks the engine for the local copy, strips file prefixes and quotes and hands the
    // address to the browser. 1 when the browser took it.
    virtual BOOL Navigate(const QString& url);
    virtual void DeleteButtonBitmaps();
    virtual void LoadButtonBitmaps();

    // Hint 100 shows its text: into the address box, then Navigate.
    void OnUpdate(CView* sender, LPARAM hint, CObject* hintObject) override;

    // The address box's rule: select the first entry that begins with the text, else insert
    // it as the first entry and select it.
    void SelectOrInsertAddress(const QString& text);
    // The buttons' commands (control ids 2 to 6).
    void OnButton(UINT id);
    // The engine's data directory start page (or the empty page).
    void ShowStartPage();
    // Opens the busy animation by the settings' rule.
    void OpenAnimation();

    CWebBrowser* browser() const { return m_browser; }
    QComboBox* addressBox() const { return m_address; }
    CStatusAnimation* statusIndicator() const { return m_status; }
    QKCoolButton* button(UINT id) const;
    // The text Navigate last handed to the browser.
    const QString& lastNavigation() const { return m_lastNavigation; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void LayoutControls();
    void OnNavigateComplete(const QUrl& url);
    void OnStatusTextChange(const QString& text);

    CWebBrowser* m_browser = nullptr;
    std::vector<QKCoolButton*> m_buttons;
    QComboBox* m_address = nullptr;
    CStatusAnimation* m_status = nullptr;
    QString m_lastNavigation;
};

// The text the browser gets for an address: the engine's local copy when there is one,
// with every "file:///", then "file://" (any case), then double quote removed.
QString BrowserNavigationText(const QString& url);
