#pragma once
// Pieces the engine's channel dialogs share: the category box, a probe that ends with its
// owner, the update intervals offered, time texts, and the message box with its test hook.

#include "vantrel/core/engine.h"

#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <vector>

namespace vantrel::dialogs
{

// An editable box of category paths: the engine's categories to pick from, or a new path
// typed in ("Technology/Linux"; several paths separated by ";").
class CategoryBox : public QComboBox
{
    Q_OBJECT
public:
    explicit CategoryBox(QWidget* parent = nullptr);
    // The text as typed, tidied into the category text form.
    QString categories() const;
    void setCategories(const QString& categories);
};

// A line that says what went wrong (with a warning sign) or what happened; hidden while it
// has nothing to say. Its text label is named "messageLabel" for tests.
class MessageLine : public QWidget
{
    Q_OBJECT
public:
    explicit MessageLine(QWidget* parent = nullptr);
    void say(const QString& text, bool problem);
    void clear() { say(QString(), false); }
    QString text() const;

private:
    QLabel* m_icon;
    QLabel* m_text;
};

// One probe of the engine that ends with this object: destroying it or starting another
// cancels the one in flight, so that a closed dialog leaves no download behind.
class ProbeTask : public QObject
{
    Q_OBJECT
public:
    explicit ProbeTask(QObject* parent = nullptr);
    ~ProbeTask() override;
    // Starts probing the address; false when there is no engine. finished() follows unless
    // the probe is cancelled.
    bool start(const QString& address);
    void cancel();
    bool isRunning() const { return m_probe != 0; }

signals:
    void finished(const vantrel::FeedProbe& probe);

private:
    uint64_t m_probe = 0;
    QPointer<Engine> m_engine;
};

// The update intervals offered, in seconds, with their texts ("Every 30 minutes").
struct IntervalChoice {
    int seconds;
    QString text;
};
const std::vector<IntervalChoice>& intervalChoices();
// The text of an interval; one that is not offered is said in minutes or hours.
QString intervalText(int seconds);
// A box of the intervals with `seconds` selected (added to the box when not offered).
void fillIntervalBox(QComboBox* box, int seconds);
int intervalOf(const QComboBox* box);

// A time of the engine (seconds since 1970) for a person: "Today 10:42", "Yesterday 18:03",
// "2026-03-04 09:15"; `never` for 0.
QString timeText(qint64 secs, const QString& never = QStringLiteral("Never"));
// A time to come: "Now", "In 12 minutes", "In 3 hours", or the time.
QString nextTimeText(qint64 secs, qint64 now);

// A message from a dialog. Test programs (READHALL_TESTING set) never block on it: the hook
// receives it, or without one it is printed.
void showMessage(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text,
                 const QString& details = QString());
using MessageHook = std::function<void(QMessageBox::Icon icon, const QString& title,
                                       const QString& text, const QString& details)>;
void setMessageHook(MessageHook hook);

// The engine when it runs and can be used; else shows why not and returns null.
Engine* usableEngine(QWidget* parent);

} // namespace vantrel::dialogs
