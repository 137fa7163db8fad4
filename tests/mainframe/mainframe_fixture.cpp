#include "tests/mainframe/mainframe_fixture.h"

#include "resources/readhall_resources.h"
#include "src/app/templates.h"
#include "src/framework/cmdtarget.h"
#include "src/framework/doctemplate.h"
#include "src/platform/settingsstore.h"
#include "src/shared/panes.h"
#include "src/shared/settingsfunctions.h"
#include "src/shared/startupchecks.h"
#include "tests/support/testenv.h"
#include "vantrel/core/engine.h"

#include <QAction>
#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <QWidget>

namespace mftest
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

void MainFrameTest::SetUp()
{
    readhallInitResources();
    startupchecks::resetForTests();
    TakeDirectoryWork();
    SetWorkgroupRestrictions(0);
    SetProgramFilePathForTests(rhtest::testRoot() + QStringLiteral("/bin/readhall"));

    vantrel::Engine::Options options;
    options.dataDir = rhtest::engineDataDir();
    options.seedDemo = false;
    options.startWorker = false;
    ASSERT_TRUE(vantrel::Engine::start(options));

    m_app = std::make_unique<CReadhallApp>();
    m_app->SetRegistryKey(QStringLiteral("Vantrel\\Vantrel\\Settings"));
    m_app->m_nCmdShow = SW_SHOWNORMAL;
    InstallWindowPanes();
    for (const ReadhallTemplateInfo& kind : ReadhallTemplateTable()) {
        auto* docTemplate = new CDocTemplate(kind.resourceId, kind.docString, kind.document,
                                             kind.frame, kind.firstView);
        m_app->AddDocTemplate(docTemplate);
        m_app->m_templates[kind.slot] = docTemplate;
    }
}

void MainFrameTest::TearDown()
{
    for (QPointer<CMainFrame>& frame : m_frames) {
        if (frame) {
            frame->DestroyWindow();
            delete frame.data();
        }
    }
    m_frames.clear();
    drainEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    m_app.reset();
    vantrel::Engine::stop();
    SetProgramFilePathForTests(QString());
    CMainFrame::SetNavigationBarFactory(nullptr);
    SetPaneFactory(PaneKind::HeadlineList, nullptr);
    SetPaneFactory(PaneKind::Browser, nullptr);
    startupchecks::resetForTests();
}

CMainFrame* MainFrameTest::createFrame()
{
    auto* frame = new CMainFrame;
    m_frames.emplace_back(frame);
    EXPECT_TRUE(frame->LoadFrame());
    return frame;
}

void MainFrameTest::destroyFrame(CMainFrame* frame)
{
    SendMessage(frame->hwnd(), WM_CLOSE, 0, 0);
    drainEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QAction* MainFrameTest::evaluate(CMainFrame* frame, UINT id)
{
    QAction* action = frame->FindCommandAction(id);
    if (!action)
        return nullptr;
    CCmdUI ui(id, action);
    frame->UpdateCmdUI(&ui);
    return action;
}

} // namespace mftest
