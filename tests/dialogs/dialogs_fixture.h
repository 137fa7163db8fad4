#pragma once
// Engine dialog test helpers: the real engine, a loopback HTTP server, messages caught.

#include "tests/support/engine_builder.h"
#include "tests/support/feeds_httpserver.h"
#include "tests/support/testenv.h"
#include "vantrel/core/engine.h"

#include <QStringList>
#include <QWidget>
#include <gtest/gtest.h>

namespace dialogstest
{

// An RSS feed of the headlines, the first the newest.
QByteArray feed(const QString& title, const QStringList& headlines);
// A web page whose head links to the feeds (addresses as written in the page).
QByteArray pageLinking(const QStringList& hrefs);

class DialogTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;
    vantrel::Engine* engine() const { return vantrel::Engine::instance(); }
    // The address of a feed served at the path, with stories "Story 1" (the newest) to "Story n".
    QString serveFeed(const QString& path, const QString& title, int items = 3);
    std::vector<vantrel::ChannelFacts> channels() const { return engine()->allChannelFacts(); }
    // Subscribes to the address and waits until it was read; the channel id.
    uint32_t subscribe(const QString& address, const QString& name = {},
                       const QString& categories = {});
    // The named widget inside a dialog; a missing one fails the test.
    template <class T> static T* child(QWidget* dialog, const char* name)
    {
        T* w = dialog->findChild<T*>(QLatin1String(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }

    rhtest::LocalHttpServer server;
    QStringList messages; // what the dialogs said in message boxes
};

} // namespace dialogstest
