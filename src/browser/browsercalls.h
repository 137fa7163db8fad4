#pragma once
// The calls by which the browser pane reaches the engine and the main frame. The program uses
// the real ones; tests put recorders in their place.

#include "vantrel/engctl.h"

#include <QString>
#include <cstdint>
#include <functional>

struct BrowserCalls {
    // The local copy of a page: 1 and the location when there is one.
    std::function<int(const QString& url, QString& cached)> getCachedURL;
    // The file of a stored page the engine gave out under its own scheme; empty when none.
    std::function<QString(const QString& cachedUrl)> cachedFile;
    // The main frame's ShowStory; 0 when there is no main frame.
    std::function<int(uint32_t channel, uint32_t story)> showStory;
    std::function<int(int number, const QString& text, uint32_t value)> broadcastNotification;
    // The engine's data directory; empty when it is not available.
    std::function<QString()> dataDirectory;
    // The folder of the program's own files (its start page); empty when not available.
    std::function<QString()> programDirectory;

    static BrowserCalls real();
};

BrowserCalls& browserCalls();
void resetBrowserCalls();
