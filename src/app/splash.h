#pragma once
// The splash screen: a borderless picture centred on the screen while the program starts.
// It goes when start-up ends, or at the user's first key or mouse press, which does nothing
// else. At most one splash exists at a time.

#include "src/platform/wintypes.h"

#include <QPixmap>
#include <QWidget>

class QEvent;

class CSplashWindow : public QWidget
{
    Q_OBJECT
public:
    ~CSplashWindow() override; // clears the current splash when it is this one

    // The splash on screen now; null when none.
    static CSplashWindow* current();
    const QPixmap& picture() const { return m_picture; }
    // Where the picture came from: the data directory's file, else empty (the resource).
    const QString& pictureFile() const { return m_pictureFile; }
    // Whether the picture has been drawn on screen.
    bool painted() const { return m_painted; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    friend BOOL ShowSplash(QWidget* parent);
    explicit CSplashWindow(QWidget* parent);
    // Loads the picture and makes the window; FALSE when there is no picture.
    BOOL Create();
    QPixmap m_picture;
    QString m_pictureFile;
    bool m_painted = false;
};

// Whether a splash may show at all (set once at start-up).
void EnableSplash(BOOL enable);
// Shows the splash when enabled and none shows yet; it is painted at once. Returns 1 when a
// splash shows afterwards.
BOOL ShowSplash(QWidget* parent = nullptr);
// Takes the splash away (when there is one) and repaints the main window.
void HideSplash();
// The application's early look at input: while a splash shows, a key press or a mouse button
// press (left, right or middle, anywhere) hides it and is swallowed (answer TRUE).
BOOL PreTranslateSplashMessage(QEvent* event);

// The resource id of the built-in splash picture.
constexpr UINT IDB_SPLASH = 153;
