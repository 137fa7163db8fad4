// Window handles, sent and posted messages, registered messages, window lookup.

#include "src/platform/messagewindow.h"
#include "tests/support/testenv.h"

#include <QApplication>
#include <QPointer>
#include <QThread>
#include <QWidget>
#include <algorithm>
#include <atomic>
#include <gtest/gtest.h>
#include <set>
#include <thread>

namespace
{

struct Received {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    QThread* thread;
};

// A widget that takes part in messaging and records what it receives.
class RecordingWidget : public QWidget, public MessageWindow
{
public:
    explicit RecordingWidget(const QString& className, QWidget* parent = nullptr)
        : QWidget(parent), MessageWindow(className, this)
    {
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        received.push_back({message, wParam, lParam, QThread::currentThread()});
        return LRESULT(wParam) + lParam;
    }
    std::vector<Received> received;
};

} // namespace

TEST(MessageWindow, HandlesAreNonZeroUniqueAndNeverReused)
{
    HWND first = 0;
    {
        RecordingWidget w("A");
        first = w.hwnd();
        EXPECT_NE(first, 0u);
        EXPECT_TRUE(IsWindow(first));
        EXPECT_EQ(GetClassName(first), "A");
    }
    EXPECT_FALSE(IsWindow(first));
    EXPECT_EQ(GetClassName(first), "");
    RecordingWidget second("A");
    RecordingWidget third("B");
    EXPECT_NE(second.hwnd(), first);
    EXPECT_NE(third.hwnd(), second.hwnd());
    EXPECT_FALSE(IsWindow(0));
}

TEST(MessageWindow, SendMessageCallsTheProcedureOrHandlerAtOnceAndReturnsItsAnswer)
{
    RecordingWidget w("Frame");
    EXPECT_EQ(SendMessage(w.hwnd(), WM_USER + 1, 40, 2), 42);
    ASSERT_EQ(w.received.size(), 1u);
    EXPECT_EQ(w.received[0].message, WM_USER + 1);

    const HWND dead = w.hwnd();
    w.destroyHandle();
    EXPECT_EQ(SendMessage(dead, WM_USER + 1, 40, 2), 0);
    EXPECT_EQ(w.received.size(), 1u);

    // A handler function serves windows without a subclass.
    QObject owner;
    MessageWindow hidden("VTNOTIFICATION_WINDOW", &owner);
    hidden.setMessageHandler([](UINT message, WPARAM, LPARAM) { return LRESULT(message * 2); });
    EXPECT_EQ(SendMessage(hidden.hwnd(), 21, 0, 0), 42);
    EXPECT_EQ(GetParent(hidden.hwnd()), 0u);
}

TEST(MessageWindow, APostedMessageToAWindowDestroyedMeanwhileIsDropped)
{
    auto* doomed = new RecordingWidget("Doomed");
    RecordingWidget survivor("Survivor");
    const HWND h = doomed->hwnd();
    // The receiver would crash on a delivery after its death: any call counts.
    std::atomic<int> calls{0};
    doomed->setMessageHandler([&](UINT, WPARAM, LPARAM) { return LRESULT(++calls); });
    EXPECT_EQ(PostMessage(h, WM_USER + 2001, 0, 0), 1);
    EXPECT_EQ(PostMessage(survivor.hwnd(), WM_USER + 2001, 0, 0), 1);
    EXPECT_EQ(PostMessage(survivor.hwnd(), WM_COMMAND, 32782, 0), 1);
    delete doomed;
    EXPECT_TRUE(survivor.received.empty()); // posted, not sent
    QCoreApplication::processEvents();
    EXPECT_EQ(calls.load(), 0);
    ASSERT_EQ(survivor.received.size(), 2u);
    EXPECT_EQ(survivor.received[1].message, WM_COMMAND); // in the order posted
    EXPECT_EQ(PostMessage(h, WM_USER, 0, 0), 0);
}

TEST(MessageWindow, WorkerThreadsPostAndSendToTheUserInterfaceThread)
{
    RecordingWidget w("Frame");
    std::atomic<LRESULT> sent{-1};
    std::atomic<bool> done{false};
    std::thread worker([&] {
        for (int i = 0; i < 50; ++i)
            PostMessage(w.hwnd(), WM_USER + 2001, WPARAM(i), 0);
        sent = SendMessage(w.hwnd(), WM_USER + 3, 7, 8);
        done = true;
    });
    EXPECT_TRUE(rhtest::waitFor([&] { return done.load(); }));
    worker.join();
    EXPECT_EQ(sent.load(), 15);
    QCoreApplication::processEvents();
    ASSERT_EQ(w.received.size(), 51u);
    for (int i = 0; i < 50; ++i)
        EXPECT_EQ(w.received[size_t(i)].wParam, WPARAM(i));
    for (const Received& r : w.received)
        EXPECT_EQ(r.thread, qApp->thread());
}

TEST(MessageWindow, SendNotifyMessageSendsOnTheUserInterfaceThreadAndPostsFromOthers)
{
    RecordingWidget w("Frame");
    EXPECT_EQ(SendNotifyMessage(w.hwnd(), WM_USER, 1, 0), 1);
    EXPECT_EQ(w.received.size(), 1u);
    std::thread worker([&] { SendNotifyMessage(w.hwnd(), WM_USER, 2, 0); });
    worker.join(); // did not wait for the user-interface thread
    EXPECT_EQ(w.received.size(), 1u);
    QCoreApplication::processEvents();
    EXPECT_EQ(w.received.size(), 2u);
}

TEST(RegisterWindowMessage, OneIdPerNameInTheRegisteredRangeOnEveryThread)
{
    const UINT refresh = RegisterWindowMessage("REFRESHCODE_CHANNEL_UPDATED");
    EXPECT_GE(refresh, 0xC000u);
    EXPECT_LE(refresh, 0xFFFFu);
    EXPECT_EQ(RegisterWindowMessage("REFRESHCODE_CHANNEL_UPDATED"), refresh);
    EXPECT_EQ(RegisterWindowMessage("refreshcode_channel_updated"), refresh);
    EXPECT_NE(RegisterWindowMessage("REFRESHCODE_CHANNEL_ADDED"), refresh);
    EXPECT_EQ(RegisterWindowMessage(""), 0u);

    // Threads registering the same names agree.
    std::vector<std::vector<UINT>> ids(4);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int n = 0; n < 34; ++n)
                ids[size_t(t)].push_back(
                    RegisterWindowMessage(QStringLiteral("VTNOTIFICATION_MESSAGE%1").arg(n)));
        });
    }
    for (auto& thread : threads)
        thread.join();
    for (int t = 1; t < 4; ++t)
        EXPECT_EQ(ids[size_t(t)], ids[0]);
    std::set<UINT> distinct(ids[0].begin(), ids[0].end());
    EXPECT_EQ(distinct.size(), 34u);
}

TEST(MessageWindow, ParentsFollowTheWidgetTreeSkippingPlainWidgets)
{
    RecordingWidget frame("VantrelReadhallClass");
    QWidget plain(&frame);
    RecordingWidget child("ChildFrame", &plain);
    RecordingWidget view("View", &child);
    QWidget inner(&view);

    EXPECT_EQ(GetParent(view.hwnd()), child.hwnd());
    EXPECT_EQ(GetParent(child.hwnd()), frame.hwnd());
    EXPECT_EQ(GetParent(frame.hwnd()), 0u);
    EXPECT_EQ(WindowFromWidget(&inner), view.hwnd());
    EXPECT_EQ(WindowFromWidget(&plain), frame.hwnd());
    EXPECT_EQ(WindowFromWidget(nullptr), 0u);

    // Top-level windows only, in creation order; class names match without regard to case.
    const std::vector<HWND> top = EnumWindows();
    EXPECT_NE(std::find(top.begin(), top.end(), frame.hwnd()), top.end());
    EXPECT_EQ(std::find(top.begin(), top.end(), view.hwnd()), top.end());
    EXPECT_EQ(FindWindow("vantrelreadhallclass"), frame.hwnd());
    EXPECT_EQ(FindWindow("View"), 0u); // not top-level
    EXPECT_EQ(FindWindow("NoSuchClass"), 0u);

    QObject owner;
    MessageWindow hidden("Hidden", &owner);
    hidden.setParentHandle(view.hwnd());
    EXPECT_EQ(GetParent(hidden.hwnd()), view.hwnd());
}

TEST(MessageWindow, WindowFromPointFindsTheOwnerOfTheWidgetUnderTheCursor)
{
    RecordingWidget frame("Frame");
    frame.setGeometry(100, 100, 300, 200);
    RecordingWidget pane("Pane", &frame);
    pane.setGeometry(0, 0, 150, 200);
    QWidget label(&pane);
    label.setGeometry(10, 10, 50, 50);
    frame.show();
    ASSERT_TRUE(rhtest::waitFor([&] { return frame.isVisible(); }));

    EXPECT_EQ(WindowFromPoint(label.mapToGlobal(QPoint(5, 5))), pane.hwnd());
    EXPECT_EQ(WindowFromPoint(frame.mapToGlobal(QPoint(250, 100))), frame.hwnd());
    EXPECT_EQ(WindowFromPoint(QPoint(-5000, -5000)), 0u);
}

TEST(MessageWindow, DestroyingTheWindowOrItsOwnerEndsTheHandle)
{
    QPointer<RecordingWidget> w = new RecordingWidget("Frame");
    const HWND h = w->hwnd();
    EXPECT_EQ(DestroyWindow(h), 1);
    ASSERT_FALSE(w.isNull());
    ASSERT_EQ(w->received.size(), 1u);
    EXPECT_EQ(w->received[0].message, WM_DESTROY);
    EXPECT_FALSE(IsWindow(h));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(w.isNull());
    EXPECT_EQ(DestroyWindow(h), 0);

    // A window without a widget dies with its owner object, and its children with it.
    auto* owner = new QObject;
    MessageWindow hidden("Hidden", owner);
    MessageWindow childWindow("Child", new QObject(owner));
    EXPECT_EQ(GetParent(childWindow.hwnd()), hidden.hwnd());
    delete owner;
    EXPECT_EQ(hidden.owner(), nullptr);
    EXPECT_EQ(childWindow.hwnd(), 0u);
    EXPECT_EQ(FindWindow("Hidden"), 0u);
}

TEST(MessageWindow, BringToForegroundRestoresAMinimisedWindow)
{
    RecordingWidget frame("Frame");
    frame.show();
    ShowWindow(frame.hwnd(), SW_MINIMIZE);
    EXPECT_TRUE(IsIconic(frame.hwnd()));
    EXPECT_EQ(BringToForeground(frame.hwnd()), 1);
    EXPECT_FALSE(IsIconic(frame.hwnd()));
    EXPECT_TRUE(IsWindowVisible(frame.hwnd()));
    EXPECT_EQ(ShowWindow(frame.hwnd(), SW_HIDE), 1);
    EXPECT_FALSE(IsWindowVisible(frame.hwnd()));

    QObject owner;
    MessageWindow hidden("Hidden", &owner);
    EXPECT_EQ(BringToForeground(hidden.hwnd()), 0);
}
