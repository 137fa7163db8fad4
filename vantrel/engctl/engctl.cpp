// engctl: the engine's command library, a thin layer over the engine core. Every call answers
// 1 only for work that was done (or, for downloads, started); unknown ids give 0.

#include "vantrel/engctl.h"

#include "vantrel/core/engine.h"
#include "vantrel/core/notify.h"
#include "vantrel/core/origin.h"
#include "vantrel/core/programfiles.h"
#include "vantrel/dialogs/addchanneldialog.h"
#include "vantrel/dialogs/alertsettingsdialog.h"
#include "vantrel/dialogs/channelpropertiesdialog.h"
#include "vantrel/dialogs/dialogparts.h"
#include "vantrel/dialogs/filtersettingsdialog.h"
#include "vantrel/dialogs/globaloptionsdialog.h"
#include "vantrel/dialogs/quicksetupwizard.h"
#include "vantrel/dialogs/storypropertiesdialog.h"
#include "vantrel/dialogs/webdirectorydialog.h"
#include "vantrel/dialogs/windowhost.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QSet>
#include <QTimer>
#include <QUrl>
#include <QWidget>
#include <algorithm>
#include <cstdio>

using vantrel::Engine;

namespace
{

std::function<int(const QString&)>& confirmHook()
{
    static std::function<int(const QString&)> hook;
    return hook;
}

std::function<bool(const QUrl&)>& openHook()
{
    static std::function<bool(const QUrl&)> hook;
    return hook;
}

// Test programs (READHALL_TESTING set) never block on a question or start a desktop program:
// without a hook the answer is No and nothing is opened.
bool testing()
{
    return qEnvironmentVariableIsSet("READHALL_TESTING");
}

bool confirm(QWidget* window, const QString& text)
{
    if (confirmHook())
        return confirmHook()(text) != 0;
    if (testing()) {
        std::fprintf(stderr, "vantrel: question answered No in a test: %s\n", qPrintable(text));
        return false;
    }
    return QMessageBox::question(window, QStringLiteral("Vantrel"), text,
                                 QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

// Only web addresses and local files are handed to the desktop: package and page addresses
// come from feeds, and any other scheme (javascript:, data:, another program's own) would let a
// feed make the desktop run something.
bool openExternally(const QUrl& url)
{
    if (!url.isValid() || url.isEmpty())
        return false;
    if (!url.isLocalFile() && !vantrel::isNetworkAddress(url)) {
        std::fprintf(stderr, "vantrel: not opened, not a web address or a local file: %s\n",
                     qPrintable(url.toString()));
        return false;
    }
    if (openHook())
        return openHook()(url);
    if (testing()) {
        std::fprintf(stderr, "vantrel: not opened in a test: %s\n", qPrintable(url.toString()));
        return false;
    }
    return QDesktopServices::openUrl(url);
}

// Playing a content package hands it to the desktop's player; the engine shows it as playing
// for a short moment so that the program's animation state follows.
constexpr int kPlayingMs = 3000;
int g_playGeneration = 0;

int play(Engine* engine, const Engine::Enclosure& e, uint32_t channelId, uint32_t bundletId)
{
    QUrl url(e.url);
    if (e.url.startsWith(QLatin1Char('/')))
        url = QUrl::fromLocalFile(e.url);
    if (url.isLocalFile() && !QFileInfo(url.toLocalFile()).isFile())
        return 0; // the attachment file is missing
    if (!openExternally(url))
        return 0;
    engine->setPlaying(true);
    engine->setLastPlayed(channelId, bundletId, e.headline);
    engine->accessBundlet(channelId, bundletId);
    const int generation = ++g_playGeneration;
    if (QCoreApplication::instance()) {
        QTimer::singleShot(kPlayingMs, QCoreApplication::instance(), [generation] {
            if (generation == g_playGeneration && Engine::instance())
                Engine::instance()->setPlaying(false);
        });
    }
    return 1;
}

} // namespace

void VTSetConfirmHook(std::function<int(const QString& text)> hook)
{
    confirmHook() = std::move(hook);
}

void VTSetOpenUrlHook(std::function<bool(const QUrl& url)> hook)
{
    openHook() = std::move(hook);
}

int ENGCTLInitialize(int)
{
    return Engine::start(Engine::Options()) ? 1 : 0;
}

int ENGCTLDeinitialize()
{
    if (!Engine::instance())
        return 0;
    // The engine's windows read the engine: they go before it.
    vantrel::dialogs::closeEngineWindows();
    ++g_playGeneration;
    Engine::stop();
    return 1;
}

int VTRegisterNotificationCallback(uint32_t typeMask, VTNotificationCallback callback)
{
    return vantrel::registerCallback(typeMask, callback) ? 1 : 0;
}

int VTUnRegisterNotificationCallback(VTNotificationCallback callback)
{
    return vantrel::unregisterCallback(callback) ? 1 : 0;
}

int VTGetDirectory(int kind, QKBuffer& buffer)
{
    QString dir;
    if (kind == 0 && QCoreApplication::instance())
        dir = vantrel::programFilesDirectory(QCoreApplication::applicationDirPath());
    else if (kind == 1)
        dir = Engine::instance() ? Engine::instance()->dataDir() : Engine::dataDirectory();
    if (dir.isEmpty() || !QFileInfo(dir).isDir())
        return 0;
    buffer.SetText(QDir::cleanPath(dir));
    return 1;
}

int VTGetCachedURL(const QString& url, QKBuffer& buffer)
{
    Engine* engine = Engine::instance();
    QString local;
    if (!engine || !engine->cachedUrl(url, local))
        return 0;
    buffer.SetText(local);
    return 1;
}

int VTGetCachedFile(const QString& cachedUrl, QKBuffer& path)
{
    Engine* engine = Engine::instance();
    QString file;
    if (!engine || !engine->storedPageFile(cachedUrl, file))
        return 0;
    path.SetText(file);
    return 1;
}

int VTShellURL(const QString& url)
{
    const QString trimmed = url.trimmed();
    if (trimmed.isEmpty())
        return 0;
    const QUrl target =
        trimmed.startsWith(QLatin1Char('/')) ? QUrl::fromLocalFile(trimmed) : QUrl(trimmed);
    return openExternally(target) ? 1 : 0;
}

int VTSubscribeToChannel(QWidget*, uint32_t directoryEntryId)
{
    Engine* engine = Engine::instance();
    return engine && engine->subscribe(directoryEntryId) ? 1 : 0;
}

int VTUnsubscribeToChannel(QWidget*, uint32_t directoryEntryId)
{
    Engine* engine = Engine::instance();
    return engine && engine->unsubscribeEntry(directoryEntryId) ? 1 : 0;
}

int VTUnsubscribeToSubscribedChannel(QWidget* window, uint32_t channelId)
{
    Engine* engine = Engine::instance();
    if (!engine || channelId == VT_ALERTS_CHANNEL_ID)
        return 0;
    QString name;
    uint32_t entryId = 0;
    engine->lock();
    vantrel::Channel* channel = engine->channelById(channelId);
    if (channel) {
        name = channel->name;
        entryId = channel->entryId;
    }
    engine->unlock();
    if (!channel || entryId == 0)
        return 0;
    if (!confirm(window, QStringLiteral("Unsubscribe from %1?").arg(name)))
        return 0;
    return engine->unsubscribeEntry(entryId) ? 1 : 0;
}

int VTLookupSubscribedChannelID(uint32_t directoryEntryId, uint32_t& channelId)
{
    Engine* engine = Engine::instance();
    return engine && engine->lookupSubscribedChannel(directoryEntryId, channelId) ? 1 : 0;
}

int VTEnableChannel(uint32_t channelId, int enable)
{
    Engine* engine = Engine::instance();
    return engine && engine->enableChannel(channelId, enable != 0) ? 1 : 0;
}

int VTIsChannelEnabled(uint32_t channelId, int& enabled)
{
    Engine* engine = Engine::instance();
    bool on = false;
    if (!engine || !engine->isChannelEnabled(channelId, on))
        return 0;
    enabled = on ? 1 : 0;
    return 1;
}

int VTForceChannelConnection(uint32_t channelId)
{
    Engine* engine = Engine::instance();
    return engine && engine->forceUpdate(channelId) ? 1 : 0;
}

int VTShowChannelPropertiesDialog(QWidget* window, uint32_t channelId)
{
    if (!vantrel::dialogs::usableEngine(window) || channelId == VT_ALERTS_CHANNEL_ID)
        return 0;
    vantrel::dialogs::ChannelPropertiesDialog dialog(
        vantrel::dialogs::ChannelPropertiesDialog::Target::Channel, channelId, window);
    return dialog.isValid() && dialog.exec() == QDialog::Accepted ? 1 : 0;
}

int VTShowChannelSettings(QWidget* window, uint32_t directoryEntryId)
{
    if (!vantrel::dialogs::usableEngine(window))
        return 0;
    vantrel::dialogs::ChannelPropertiesDialog dialog(
        vantrel::dialogs::ChannelPropertiesDialog::Target::DirectoryEntry, directoryEntryId,
        window);
    return dialog.isValid() && dialog.exec() == QDialog::Accepted ? 1 : 0;
}

int VTGetChannelStatus(uint32_t channelId, QKBuffer& buffer)
{
    Engine* engine = Engine::instance();
    QString status;
    if (!engine || !engine->channelStatus(channelId, status))
        return 0;
    buffer.SetText(status);
    return 1;
}

int VTMarkStoriesRead(uint32_t channelId, const DATA_LIST& stories, int read)
{
    Engine* engine = Engine::instance();
    return engine && engine->markStoriesRead(channelId, stories, read != 0) ? 1 : 0;
}

int VTMarkStoryRead(uint32_t channelId, uint32_t storyNumber, EStoryReadFlags flags)
{
    Engine* engine = Engine::instance();
    return engine &&
                   engine->markStoryOpened(channelId, storyNumber, (flags & STORYREAD_OPENED) != 0)
               ? 1
               : 0;
}

int VTDeleteStories(uint32_t channelId, const DATA_LIST& stories)
{
    Engine* engine = Engine::instance();
    return engine && engine->deleteStories(channelId, stories) ? 1 : 0;
}

int VTKeepStory(uint32_t channelId, uint32_t bundletId, uint32_t storyNumber, int keep)
{
    Engine* engine = Engine::instance();
    return engine && engine->keepStory(channelId, bundletId, storyNumber, keep != 0) ? 1 : 0;
}

int VTDownloadStory(uint32_t channelId, uint32_t storyNumber)
{
    Engine* engine = Engine::instance();
    return engine && engine->downloadStory(channelId, storyNumber) ? 1 : 0;
}

int VTPlayBundlet(uint32_t channelId, uint32_t bundletId)
{
    Engine* engine = Engine::instance();
    Engine::Enclosure e;
    if (!engine || !engine->enclosureFor(channelId, bundletId, e))
        return 0;
    return play(engine, e, channelId, bundletId);
}

int VTReplicateBundlet(uint32_t channelId, uint32_t bundletId)
{
    Engine* engine = Engine::instance();
    return engine && engine->placeFiles(channelId, bundletId) ? 1 : 0;
}

int VTAccessBundLet(uint32_t channelId, uint32_t bundletId, uint32_t)
{
    Engine* engine = Engine::instance();
    return engine && engine->accessBundlet(channelId, bundletId) ? 1 : 0;
}

int VTPlayStory(uint32_t channelId, uint32_t storyNumber, QWidget*)
{
    Engine* engine = Engine::instance();
    Engine::Enclosure e;
    if (!engine || !engine->enclosureForStory(channelId, storyNumber, e))
        return 0;
    uint32_t bundletId = 0;
    engine->lock();
    vantrel::Channel* c = engine->channelById(channelId);
    if (const vantrel::Story* s = c ? c->story(storyNumber) : nullptr)
        bundletId = s->bundletId;
    engine->unlock();
    return play(engine, e, channelId, bundletId);
}

int VTShowBundletProperties(QWidget* window, uint32_t channelId, uint32_t bundletId)
{
    if (!vantrel::dialogs::usableEngine(window))
        return 0;
    // Links leave through the engine's opener (test hook included); the dialog hands it only
    // http and https addresses.
    vantrel::dialogs::StoryPropertiesDialog::setLinkOpener(
        [](const QUrl& url) { return openExternally(url); });
    vantrel::dialogs::StoryPropertiesDialog dialog(channelId, bundletId, window);
    if (!dialog.isValid())
        return 0;
    dialog.exec();
    return 1;
}

int VTGlobalOptions(QWidget* window)
{
    if (!vantrel::dialogs::usableEngine(window))
        return 0;
    vantrel::dialogs::GlobalOptionsDialog dialog(window);
    return dialog.exec() == QDialog::Accepted ? 1 : 0;
}
namespace
{

// A rules dialog, unless the workgroup's restrictions turned it off (then said).
template <class Dialog>
int rulesDialog(QWidget* window, uint32_t restriction, const QString& title, const QString& what)
{
    Engine* engine = vantrel::dialogs::usableEngine(window);
    if (!engine)
        return 0;
    if (engine->workgroupRestrictions() & restriction) {
        vantrel::dialogs::showMessage(
            window, QMessageBox::Warning, title,
            QStringLiteral("Changing %1 has been turned off by your administrator.").arg(what));
        return 0;
    }
    Dialog dialog(window);
    return dialog.exec() == QDialog::Accepted ? 1 : 0;
}

} // namespace

int VTAlertSettings(QWidget* window)
{
    return rulesDialog<vantrel::dialogs::AlertSettingsDialog>(
        window, VTRESTRICT_ALERT_SETTINGS, QStringLiteral("Alerts"), QStringLiteral("alerts"));
}
int VTFilterSettings(QWidget* window)
{
    return rulesDialog<vantrel::dialogs::FilterSettingsDialog>(
        window, VTRESTRICT_FILTER_SETTINGS, QStringLiteral("Filters"), QStringLiteral("filters"));
}
int VTQuickSetupOptions(QWidget* window)
{
    if (!vantrel::dialogs::usableEngine(window))
        return 0;
    vantrel::dialogs::QuickSetupWizard wizard(window);
    return wizard.exec() == QDialog::Accepted ? 1 : 0;
}

namespace
{

// Adding by address, unless the workgroup's restrictions turned it off (then said).
int newChannel(QWidget* window, const QString& address)
{
    Engine* engine = vantrel::dialogs::usableEngine(window);
    if (!engine)
        return 0;
    if (engine->workgroupRestrictions() & VTRESTRICT_ADD_BY_ADDRESS) {
        vantrel::dialogs::showMessage(window, QMessageBox::Warning, QStringLiteral("Add Channel"),
                                      QStringLiteral("Adding channels by their address has been "
                                                     "turned off by your administrator."));
        return 0;
    }
    vantrel::dialogs::AddChannelDialog dialog(window);
    if (!address.isEmpty())
        dialog.setAddress(address);
    return dialog.exec() == QDialog::Accepted && dialog.channelId() != 0 ? 1 : 0;
}

} // namespace

int VTNewChannel(QWidget* window)
{
    return newChannel(window, QString());
}

int VTNewChannelWithAddress(QWidget* window, const QString& address)
{
    return newChannel(window, address.trimmed());
}

int VTShowChannelDirectory(QWidget* window)
{
    return vantrel::showWebDirectoryDialog(window);
}

void VTSetWindowRegistrar(VTWindowRegistrar registrar)
{
    vantrel::dialogs::setWindowRegistrar(std::move(registrar));
}

void VTSetNotificationSender(VTNotificationSender sender)
{
    vantrel::setNotificationSender(std::move(sender));
}

int VTEngineNotification(int number, const QString&, uint32_t)
{
    if (number != VTENGINE_NOTIFICATION_SHOW_CHANNEL_STATUS || !Engine::instance())
        return 0;
    vantrel::dialogs::showChannelStatusWindow();
    return 1;
}

int VTShowChannelStatusWindow()
{
    return VTEngineNotification(VTENGINE_NOTIFICATION_SHOW_CHANNEL_STATUS, QString(), 0);
}

int VTGetAutoplayEnabled(int& enabled)
{
    Engine* engine = Engine::instance();
    if (!engine)
        return 0;
    enabled = engine->autoplayEnabled() ? 1 : 0;
    return 1;
}

int VTSetAutoplayEnabled(int enabled)
{
    Engine* engine = Engine::instance();
    return engine && engine->setAutoplayEnabled(enabled != 0) ? 1 : 0;
}

int VTGetDownloadEnabled(int& enabled)
{
    Engine* engine = Engine::instance();
    if (!engine)
        return 0;
    enabled = engine->downloadEnabled() ? 1 : 0;
    return 1;
}

int VTSetDownloadEnabled(int enabled)
{
    Engine* engine = Engine::instance();
    return engine && engine->setDownloadEnabled(enabled != 0) ? 1 : 0;
}

int VTIsAnimationPlaying(int& playing)
{
    Engine* engine = Engine::instance();
    if (!engine)
        return 0;
    playing = engine->isPlaying() ? 1 : 0;
    return 1;
}

int VTCanReplayLastAnimation(int& canReplay)
{
    Engine* engine = Engine::instance();
    if (!engine)
        return 0;
    uint32_t channelId = 0;
    uint32_t bundletId = 0;
    QString name;
    Engine::Enclosure e;
    canReplay = engine->lastPlayed(channelId, bundletId, name) &&
                        engine->enclosureFor(channelId, bundletId, e)
                    ? 1
                    : 0;
    return 1;
}

int VTGetLastAnimationInfo(uint32_t& channelId, uint32_t& bundletId, QKBuffer& name)
{
    Engine* engine = Engine::instance();
    QString text;
    if (!engine || !engine->lastPlayed(channelId, bundletId, text))
        return 0;
    name.SetText(text);
    return 1;
}

int VTStopCurrentAnimation()
{
    Engine* engine = Engine::instance();
    if (!engine || !engine->isPlaying())
        return 0;
    ++g_playGeneration;
    engine->setPlaying(false);
    return 1;
}

// The engine never sets a wallpaper, so there is none to remove.
int VTRemoveWallpaper()
{
    return 0;
}

int VTShutdown()
{
    Engine* engine = Engine::instance();
    if (!engine)
        return 0;
    engine->shutdown();
    return 1;
}

int VTGetEngineStatus(QKBuffer& buffer)
{
    Engine* engine = Engine::instance();
    if (!engine) {
        buffer.SetText(Engine::startError());
        return 0;
    }
    buffer.SetText(engine->engineStatus());
    return 1;
}

int VTGetWorkgroupRestrictions(uint32_t& mask)
{
    Engine* engine = Engine::instance();
    if (!engine)
        return 0;
    mask = engine->workgroupRestrictions();
    return 1;
}

int VTBriskBuildDirectoryEntryList(std::vector<std::unique_ptr<VTDirectoryRecord>>& records)
{
    Engine* engine = Engine::instance();
    if (!engine)
        return 0;
    const std::vector<vantrel::DirEntry> entries = engine->directoryEntries();
    // The subscribed entries, found once rather than per entry.
    QSet<uint32_t> subscribed;
    engine->lock();
    if (CServices* services = engine->services()) {
        for (int i = 0; i < services->GetNoServices(); ++i) {
            uint32_t entryId = 0;
            if (CService* channel = services->GetService(i);
                channel && channel->GetDirectoryEntryId(entryId))
                subscribed.insert(entryId);
        }
    }
    engine->unlock();
    records.reserve(records.size() + entries.size());
    for (const vantrel::DirEntry& e : entries) {
        auto r = std::make_unique<VTDirectoryRecord>();
        r->entryId = e.id;
        r->name = e.name;
        r->categories = e.categories;
        r->description = e.description;
        r->url = e.url;
        r->subscribed = e.id != 0 && subscribed.contains(e.id) ? 1 : 0;
        r->entryFlags = e.flags;
        r->visibilityFlags = e.visibility;
        r->date = e.date;
        records.push_back(std::move(r));
    }
    return 1;
}

int VTFindStories(const std::vector<uint32_t>& channelIds, const QString& text, int titleOnly,
                  std::vector<std::pair<uint32_t, std::vector<uint32_t>>>& found)
{
    found.clear();
    Engine* engine = Engine::instance();
    if (!engine)
        return 0;
    found = engine->findStories(channelIds, text, titleOnly != 0);
    return 1;
}
int VTListCatalogues(std::vector<VTCatalogueInfo>& catalogues)
{
    Engine* engine = Engine::instance();
    if (!engine)
        return 0;
    catalogues.clear();
    for (const Engine::CatalogueInfo& c : engine->catalogues()) {
        VTCatalogueInfo info;
        info.address = c.address;
        info.entryCount = uint32_t(c.entryCount);
        info.lastRefresh = uint32_t(std::max<qint64>(0, c.lastRefresh));
        info.lastError = c.lastError;
        info.busy = c.busy ? 1 : 0;
        info.bundled = c.bundled ? 1 : 0;
        catalogues.push_back(info);
    }
    return 1;
}

namespace
{
// Runs a catalogue operation of the engine and hands its reason out on failure.
int catalogueCall(QKBuffer& error,
                  const std::function<bool(Engine& engine, QString* reason)>& operation)
{
    Engine* engine = Engine::instance();
    QString reason;
    if (!engine) {
        error.SetText(QStringLiteral("The engine is not running."));
        return 0;
    }
    if (operation(*engine, &reason))
        return 1;
    error.SetText(reason);
    return 0;
}
} // namespace

int VTAddCatalogue(const QString& address, QKBuffer& error)
{
    return catalogueCall(error, [&](Engine& engine, QString* reason) {
        return engine.addCatalogueLater(address, reason);
    });
}

int VTRefreshCatalogue(const QString& address, QKBuffer& error)
{
    return catalogueCall(error, [&](Engine& engine, QString* reason) {
        return engine.refreshCatalogue(address, reason);
    });
}

int VTRemoveCatalogue(const QString& address, QKBuffer& error)
{
    return catalogueCall(error, [&](Engine& engine, QString* reason) {
        return engine.removeCatalogue(address, reason);
    });
}
