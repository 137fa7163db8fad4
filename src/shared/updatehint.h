#pragma once
// The hint object that windows send their views with UpdateAllViews: a number (a channel id),
// a list (story numbers) and a text (an address). The channel, alerts and search windows use
// it, and every window with a browser pane understands the show-address hint.

#include "src/framework/document.h"

#include <QString>
#include <cstdint>
#include <vector>

// The hint a browser pane shows an address on; the address travels as the hint's text.
constexpr int HINT_SHOW_URL = 100;

class CUpdateHint : public CObject
{
public:
    CUpdateHint() = default;
    explicit CUpdateHint(uint32_t number) : m_number(number) {}
    CUpdateHint(uint32_t number, std::vector<uint32_t> array)
        : m_number(number), m_array(std::move(array))
    {
    }
    explicit CUpdateHint(const QString& text) : m_text(text) {}

    uint32_t m_number = 0;
    std::vector<uint32_t> m_array;
    QString m_text;
};

// The hint of a directory change message for a channel: with `storyMessage`, the second
// parameter (when set) points to the numbers of the stories concerned.
CUpdateHint ChannelChangeHint(uint32_t channelId, bool storyMessage, LPARAM second);

// Sends the document's views the show-address hint with the address (nothing without a
// document).
void SendShowURLHint(CDocument* document, const QString& url);
