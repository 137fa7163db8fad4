#include "src/app/splash.h"

#include "src/framework/winapp.h"
#include "src/platform/resources.h"
#include "src/shared/settings.h"
#include "src/shared/startupchecks.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QWindow>

namespace
{

bool g_splashEnabled = false;
QPointer<CSplashWindow> g_currentSplash;

} // namespace

CSplashWindow::CSplashWindow(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("SplashWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::ArrowCursor);
}

CSplashWindow::~CSplashWindow()
{
    if (g_currentSplash == this)
        g_currentSplash = nullptr;
}

CSplashWindow* CSplashWindow::current()
{
    return g_currentSplash.data();
}

BOOL CSplashWindow::Create()
{
    QString root;
    if (settings::splashFromFile() && GetEngineDataRoot(root)) {
        const QString file = root + QStringLiteral("data/splash.bmp");
        m_picture = LoadPictureFile(file);
        if (!m_picture.isNull())
            m_pictureFile = file;
    }
    if (m_picture.isNull())
        m_picture = LoadResourceBitmap(IDB_SPLASH);
    if (m_picture.isNull())
        return 0;

    const QSize size = GetBitmapSize(m_picture);
    setFixedSize(size);
    // Centred on the parent, or on the screen when there is none.
    QRect area;
    if (QWidget* owner = parentWidget())
        area = owner->frameGeometry();
    else if (QScreen* screen = QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    if (area.isValid())
        move(area.center() - QPoint(size.width() / 2, size.height() / 2));
    show();
    return 1;
}

void CSplashWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_picture);
    m_painted = true;
}

void EnableSplash(BOOL enable)
{
    g_splashEnabled = enable != 0;
}

BOOL ShowSplash(QWidget* parent)
{
    if (!g_splashEnabled)
        return 0;
    if (g_currentSplash)
        return 1;
    auto* splash = new CSplashWindow(parent);
    g_currentSplash = splash;
    if (!splash->Create()) {
        delete splash;
        return 0;
    }
    // A window the window system has not yet put on screen ignores painting, and start-up
    // runs no event loop for a while: wait here (briefly) until the splash is on screen, then
    // paint it.
    if (QWindow* window = splash->windowHandle()) {
        QElapsedTimer waited;
        waited.start();
        while (!window->isExposed() && waited.elapsed() < 1000)
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
    }
    splash->repaint();
    return 1;
}

void HideSplash()
{
    if (CSplashWindow* splash = g_currentSplash.data()) {
        g_currentSplash = nullptr;
        splash->close(); // deletes itself
    }
    if (QWidget* main = AfxGetMainWnd()) {
        if (main->isVisible())
            main->repaint();
    }
}

BOOL PreTranslateSplashMessage(QEvent* event)
{
    if (!g_currentSplash || !event)
        return 0;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonDblClick: {
        const Qt::MouseButton button = static_cast<QMouseEvent*>(event)->button();
        if (button != Qt::LeftButton && button != Qt::RightButton && button != Qt::MiddleButton)
            return 0;
        HideSplash();
        return 1;
    }
    case QEvent::KeyPress:
        HideSplash();
        return 1;
    default:
        return 0;
    }
}
