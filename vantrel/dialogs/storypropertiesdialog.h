#pragma once
// One story's properties: its headline, channel, link (copied, or opened in the desktop's
// browser when it is an http or https address), published and received times, category,
// author, size, enclosure (type, size, local copy), and whether it is read, kept, alerted and
// downloaded. An alert shows the story it was raised on, with the alert's name.
//
// Object names for tests: "headlineLabel", "channelLabel", "linkEdit", "copyLinkButton",
// "openLinkButton", "publishedLabel", "receivedLabel", "categoryLabel", "authorLabel",
// "sizeLabel", "enclosureLabel", "stateLabel", "alertLabel".

#include "vantrel/core/engine.h"

#include <QDialog>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace vantrel::dialogs
{

class StoryPropertiesDialog : public QDialog
{
    Q_OBJECT
public:
    // The story with that content package in the channel (or the alerts channel).
    StoryPropertiesDialog(uint32_t channelId, uint32_t bundletId, QWidget* parent = nullptr);
    ~StoryPropertiesDialog() override;

    // False when there is no such story.
    bool isValid() const { return m_valid; }
    const StoryFacts& facts() const { return m_facts; }

    // Opens the link; false (and nothing opened) unless it is an http or https address.
    bool openLink();

    // What opens a link outside the program (the engine's command library sets it; tests
    // record). Only http and https addresses ever reach it.
    using LinkOpener = std::function<bool(const QUrl& url)>;
    static void setLinkOpener(LinkOpener opener);

private:
    void buildUi();

    bool m_valid = false;
    StoryFacts m_facts;
    QLineEdit* m_link = nullptr;
    QPushButton* m_open = nullptr;
};

// The value of a story's "Author" attribute, or empty.
QString storyAuthor(const Story& story);

} // namespace vantrel::dialogs
