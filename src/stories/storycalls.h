#pragma once
// The calls by which the story lists change content and show it: the engine's commands, the
// main frame's story and address display and the notification broadcast. The program uses
// the real ones; tests put recorders in their place to see exactly which calls were made.

#include "vantrel/engctl.h"

#include <QString>
#include <cstdint>
#include <functional>

class QWidget;

struct StoryCalls {
    std::function<int(uint32_t channel, const DATA_LIST& stories, int read)> markStoriesRead;
    std::function<int(uint32_t channel, uint32_t story, EStoryReadFlags flags)> markStoryRead;
    std::function<int(uint32_t channel, const DATA_LIST& stories)> deleteStories;
    std::function<int(uint32_t channel, uint32_t bundlet, uint32_t story, int keep)> keepStory;
    std::function<int(uint32_t channel, uint32_t story)> downloadStory;
    std::function<int(uint32_t channel, uint32_t bundlet)> playBundlet;
    std::function<int(uint32_t channel, uint32_t bundlet)> replicateBundlet;
    std::function<int(QWidget* window, uint32_t channel, uint32_t bundlet)> showBundletProperties;
    // The main frame's services; 0 when there is no main frame.
    std::function<int(uint32_t channel, uint32_t story)> showStory;
    std::function<int(const QString& url)> showURL;
    std::function<int(int number, const QString& text, uint32_t value)> broadcastNotification;

    static StoryCalls real();
};

// The calls in use (the real ones unless a test replaced them).
StoryCalls& storyCalls();
// Back to the real calls.
void resetStoryCalls();
