#pragma once
// The calls by which the browser pane and the story display reach the engine, the main frame
// and the desktop. The program uses the real ones; tests put recorders in their place.

#include "vantrel/engctl.h"

#include <QString>
#include <cstdint>
#include <functional>

class QWidget;

struct BrowserCalls {
    // The local copy of a page: 1 and the location when there is one.
    std::function<int(const QString& url, QString& cached)> getCachedURL;
    std::function<int(uint32_t channel, uint32_t story, QWidget* window)> playStory;
    std::function<int(uint32_t channel, uint32_t story, EStoryReadFlags flags)> markStoryRead;
    std::function<int(uint32_t channel, uint32_t bundlet, uint32_t access)> accessBundlet;
    // Opens a document or address with the desktop's handler (no shell in between).
    std::function<int(const QString& target)> shellOpen;
    // The main frame's ShowStory; 0 when there is no main frame.
    std::function<int(uint32_t channel, uint32_t story)> showStory;
    std::function<int(int number, const QString& text, uint32_t value)> broadcastNotification;
    // The engine's data directory; empty when it is not available.
    std::function<QString()> dataDirectory;

    static BrowserCalls real();
};

BrowserCalls& browserCalls();
void resetBrowserCalls();
