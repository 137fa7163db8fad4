#include "src/engine/messages.h"
#include "src/engine/notificationwindow.h"
#include "src/platform/atoms.h"
#include "src/platform/messagewindow.h"
#include "tests/support/testenv.h"

#include <QCoreApplication>
#include <QThread>
#include <gtest/gtest.h>
#include <thread>
#include <tuple>
#include <vector>

namespace
{

struct Received {
    int number = -1;
    QString text;
    DWORD value = 0;
    bool onUiThread = false;
};

// A notification window whose handlers record what they get.
struct RecordingNotificationWindow {
    CVTNotificationWindow* object = new CVTNotificationWindow;
    std::vector<Received> received;

    ~RecordingNotificationWindow()
    {
        if (object)
            object->Release();
    }

    void listen(int number)
    {
        object->SetHandler(number, [this](int n, const QString& text, DWORD value) {
            received.push_back(
                {n, text, value,
                 QThread::currentThread() == QCoreApplication::instance()->thread()});
        });
    }
};

// Lets every queued message be delivered.
void drainMessages()
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

TEST(NotificationWindow, IsAHiddenTopLevelWindowOfTheNotificationClass)
{
    RecordingNotificationWindow window;
    const HWND hwnd = window.object->GetWindow();
    ASSERT_TRUE(IsWindow(hwnd));
    EXPECT_EQ(GetClassName(hwnd), QStringLiteral("VTNOTIFICATION_WINDOW"));
    EXPECT_EQ(GetParent(hwnd), 0u);
    EXPECT_EQ(FindWindow(QStringLiteral("vtnotification_window")), hwnd);
}

TEST(NotificationWindow, MessageNamesCarryTheNumber)
{
    EXPECT_EQ(NotificationMessageId(26), RegisterWindowMessage("VTNOTIFICATION_MESSAGE26"));
    EXPECT_EQ(PostedNotificationMessageId(26),
              RegisterWindowMessage("VTNOTIFICATION_POSTED_MESSAGE26"));
    EXPECT_EQ(NotificationMessageId(0), RegisterWindowMessage("VTNOTIFICATION_MESSAGE0"));
    EXPECT_EQ(PostedNotificationMessageId(33),
              RegisterWindowMessage("VTNOTIFICATION_POSTED_MESSAGE33"));
    EXPECT_NE(NotificationMessageId(3), NotificationMessageId(33));
    EXPECT_EQ(NotificationMessageId(34), 0u);
    EXPECT_EQ(PostedNotificationMessageId(-1), 0u);
}

TEST(BroadcastNotification, ReachesEveryWindowWithItsTextAndLeavesNoAtom)
{
    const int atomsBefore = platform::globalAtomCount();
    RecordingNotificationWindow first;
    RecordingNotificationWindow second;
    first.listen(VTNOTIFICATION_ANIMATION_STARTED);
    second.listen(VTNOTIFICATION_ANIMATION_STARTED);

    EXPECT_EQ(BroadcastNotification(VTNOTIFICATION_ANIMATION_STARTED, "abc", 7), 1);
    // Handlers never run inside the sender's call.
    EXPECT_TRUE(first.received.empty() && second.received.empty());

    ASSERT_TRUE(
        rhtest::waitFor([&] { return !first.received.empty() && !second.received.empty(); }));
    drainMessages();
    for (const auto* window : {&first, &second}) {
        ASSERT_EQ(window->received.size(), 1u);
        const Received& r = window->received[0];
        EXPECT_EQ(std::tuple(r.number, r.text, r.value), std::tuple(26, QString("abc"), DWORD(7)));
    }
    EXPECT_EQ(GlobalFindAtom("abc"), 0);
    EXPECT_EQ(platform::globalAtomCount(), atomsBefore);
}

TEST(BroadcastNotification, NumbersOutsideTheRangeSendNothing)
{
    // A plain window of the class sees every message that arrives.
    std::vector<UINT> seen;
    MessageWindow raw(QStringLiteral("VTNOTIFICATION_WINDOW"));
    raw.setMessageHandler([&](UINT message, WPARAM, LPARAM) {
        seen.push_back(message);
        return LRESULT(0);
    });
    RecordingNotificationWindow window;
    for (int n = 0; n < VTNOTIFICATION_COUNT; ++n)
        window.listen(n);
    const int atomsBefore = platform::globalAtomCount();

    EXPECT_EQ(BroadcastNotification(34, "abc", 1), 0);
    EXPECT_EQ(BroadcastNotification(-1, "abc", 1), 0);
    drainMessages();
    EXPECT_TRUE(seen.empty() && window.received.empty());
    EXPECT_EQ(platform::globalAtomCount(), atomsBefore);

    // The same window does see a notification in range, with its own atom reference.
    EXPECT_EQ(BroadcastNotification(33, "abc", 1), 1);
    EXPECT_EQ(seen, std::vector<UINT>{NotificationMessageId(33)});
}

TEST(BroadcastNotification, FromAnotherThreadHandlersRunOnTheUserInterfaceThread)
{
    RecordingNotificationWindow window;
    window.listen(VTNOTIFICATION_STATUS_TEXT);
    const int atomsBefore = platform::globalAtomCount();
    int result = -1;
    std::thread engineThread([&] {
        result = BroadcastNotification(VTNOTIFICATION_STATUS_TEXT, "Connecting", 5) +
                 BroadcastNotification(VTNOTIFICATION_STATUS_TEXT, QString(), 9);
    });
    engineThread.join();
    EXPECT_EQ(result, 2);
    EXPECT_TRUE(window.received.empty()); // nothing ran on the engine thread

    ASSERT_TRUE(rhtest::waitFor([&] { return window.received.size() == 2; }));
    // Without a text: an empty one.
    for (const auto& [r, text, value] : {std::tuple(window.received[0], "Connecting", 5u),
                                         std::tuple(window.received[1], "", 9u)}) {
        EXPECT_EQ(std::tuple(r.text, r.value, r.onUiThread),
                  std::tuple(QString(text), value, true));
    }
    drainMessages();
    EXPECT_EQ(platform::globalAtomCount(), atomsBefore);
}

TEST(NotificationHandlers, ATakenSlotKeepsItsHandler)
{
    auto* object = new CVTNotificationWindow;
    std::vector<QString> calls;
    const auto recording = [&](const QString& name) {
        return [&calls, name](int, const QString&, DWORD) { calls.push_back(name); };
    };
    EXPECT_EQ(object->SetHandler(5, recording("first")), 1);
    EXPECT_EQ(object->SetHandler(5, recording("second")), 0);
    EXPECT_EQ(object->SetHandler(VTNOTIFICATION_COUNT, recording("none")), 0);

    BroadcastNotification(5, QString(), 0);
    ASSERT_TRUE(rhtest::waitFor([&] { return !calls.empty(); }));
    drainMessages();
    EXPECT_EQ(calls, std::vector<QString>{"first"});

    EXPECT_EQ(object->RemoveHandler(5), 1);
    EXPECT_EQ(object->RemoveHandler(5), 0);
    EXPECT_EQ(object->SetHandler(5, recording("third")), 1);
    BroadcastNotification(5, QString(), 0);
    ASSERT_TRUE(rhtest::waitFor([&] { return calls.size() == 2; }));
    EXPECT_EQ(calls, (std::vector<QString>{"first", "third"}));
    object->Release();
}

// A notification nobody handles, or whose handler went before delivery, calls nothing and
// leaves no text behind.
TEST(NotificationHandlers, WithoutAHandlerAtDeliveryNothingIsCalledAndTheTextIsReleased)
{
    RecordingNotificationWindow window;
    window.listen(VTNOTIFICATION_ANIMATION_STARTED);
    window.listen(VTNOTIFICATION_RESTRICTIONS_CHANGED);
    const int atomsBefore = platform::globalAtomCount();
    EXPECT_EQ(BroadcastNotification(VTNOTIFICATION_ANIMATION_STOPPED, "xyz", 0), 1);
    BroadcastNotification(VTNOTIFICATION_RESTRICTIONS_CHANGED, "gone", 0);
    window.object->RemoveHandler(VTNOTIFICATION_RESTRICTIONS_CHANGED);
    drainMessages();
    EXPECT_TRUE(window.received.empty());
    EXPECT_EQ(GlobalFindAtom("xyz"), 0);
    EXPECT_EQ(platform::globalAtomCount(), atomsBefore);
}

TEST(NotificationWindowLifetime, ReleaseAtZeroDestroysTheWindow)
{
    auto* object = new CVTNotificationWindow;
    const HWND hwnd = object->GetWindow();
    EXPECT_EQ(std::vector<long>({object->GetReferenceCount(), object->AddRef(), object->Release()}),
              std::vector<long>({1, 2, 1}));
    EXPECT_TRUE(IsWindow(hwnd));
    void* itf = reinterpret_cast<void*>(1);
    EXPECT_NE(object->QueryInterface(nullptr, &itf), 0);
    EXPECT_EQ(itf, nullptr);
    EXPECT_EQ(object->Release(), 0);
    EXPECT_FALSE(IsWindow(hwnd));
    // Nothing reaches a window that is gone, and its text is not left behind.
    const int atomsBefore = platform::globalAtomCount();
    BroadcastNotification(1, "late", 0);
    drainMessages();
    EXPECT_EQ(platform::globalAtomCount(), atomsBefore);
}

TEST(NotificationWindowLifetime, AHandlerMayReleaseTheObject)
{
    auto* object = new CVTNotificationWindow;
    const HWND hwnd = object->GetWindow();
    bool called = false;
    object->SetHandler(VTNOTIFICATION_ANIMATION_STOPPED, [&](int, const QString&, DWORD) {
        called = true;
        object->Release();
    });
    BroadcastNotification(VTNOTIFICATION_ANIMATION_STOPPED, "bye", 0);
    ASSERT_TRUE(rhtest::waitFor([&] { return called; }));
    drainMessages();
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(GlobalFindAtom("bye"), 0);
}

TEST(DirectoryMessages, AreSentByNameToTheSubscribedWindow)
{
    std::vector<std::pair<WPARAM, LPARAM>> updated;
    MessageWindow frame(QStringLiteral("CChannelFrame"));
    const UINT channelUpdated = RegisterWindowMessage(REFRESHCODE_CHANNEL_UPDATED);
    frame.setMessageHandler([&](UINT message, WPARAM first, LPARAM second) {
        if (message == channelUpdated)
            updated.emplace_back(first, second);
        return LRESULT(0);
    });

    DeliverDirectoryMessage(frame.hwnd(), REFRESHCODE_CHANNEL_UPDATED, 42, 0);
    // Sent, not posted: the window has it when the call returns.
    ASSERT_EQ(updated.size(), 1u);
    EXPECT_EQ(updated[0].first, 42u);

    const HWND gone = frame.hwnd();
    frame.destroyHandle();
    DeliverDirectoryMessage(gone, REFRESHCODE_CHANNEL_UPDATED, 43, 0);
    DeliverDirectoryMessage(gone, nullptr, 44, 0);
    EXPECT_EQ(updated.size(), 1u);
}

} // namespace
