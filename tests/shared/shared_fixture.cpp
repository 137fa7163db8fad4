#include "tests/shared/shared_fixture.h"

#include "src/framework/childframe.h"
#include "src/framework/doctemplate.h"
#include "src/framework/document.h"
#include "src/framework/mainframe.h"
#include "src/framework/winapp.h"
#include "src/platform/settingsstore.h"
#include "src/shared/settingsfunctions.h"

#include <QCoreApplication>
#include <QImage>
#include <QWidget>
#include <gtest/gtest.h>

namespace sharedtest
{

void setNumber(const QString& keyPath, const QString& name, DWORD value)
{
    ASSERT_TRUE(WriteLayoutFlag(HKEY_CURRENT_USER, keyPath, name, value));
}

void setText(const QString& keyPath, const QString& name, const QString& value)
{
    ASSERT_TRUE(WriteLayoutString(HKEY_CURRENT_USER, keyPath, name, value));
}

DWORD storedNumber(const QString& keyPath, const QString& name, DWORD fallback)
{
    DWORD value = fallback;
    platform::SettingsKey::open(HKEY_CURRENT_USER, keyPath).readNumber(name, value);
    return value;
}

bool hasValue(const QString& keyPath, const QString& name)
{
    return platform::SettingsKey::open(HKEY_CURRENT_USER, keyPath).hasValue(name);
}

QString readhallKey()
{
    return SettingsKeyPath(QStringLiteral("Readhall"));
}

QString layoutKey()
{
    return QString::fromLatin1(LAYOUT_KEY_PATH);
}

QImage render(QWidget* widget)
{
    QImage image(widget->size(), QImage::Format_ARGB32);
    image.fill(Qt::magenta);
    widget->render(&image);
    return image;
}

void drainEvents()
{
    for (int i = 0; i < 5; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

FrameHost::FrameHost()
    : m_app(std::make_unique<CWinApp>(QStringLiteral("FrameHost"))),
      m_main(std::make_unique<CMDIFrameWnd>())
{
    m_app->m_pMainWnd = m_main.get();
    m_main->resize(1000, 700);
    m_main->show();
}

FrameHost::~FrameHost()
{
    for (CMDIChildWnd* frame : m_main->GetChildFrames())
        frame->MDIDestroy();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    m_app->m_pMainWnd = nullptr;
}

CMDIChildWnd* FrameHost::openFrame(CDocTemplate& kind)
{
    CDocument* doc = kind.OpenDocumentFile();
    return doc && !doc->GetFrames().empty() ? doc->GetFrames().front() : nullptr;
}

} // namespace sharedtest
