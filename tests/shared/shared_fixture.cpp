#include "tests/shared/shared_fixture.h"

#include "src/platform/settingsstore.h"
#include "src/shared/settingsfunctions.h"

#include <QCoreApplication>
#include <QImage>
#include <QWidget>
#include <gtest/gtest.h>

namespace sharedtest
{

void setNumber(const QString& keyPath, const QString& name, DWORD value)
{
    ASSERT_TRUE(WriteLayoutFlag(HKEY_CURRENT_USER, keyPath, name, value));
}

void setText(const QString& keyPath, const QString& name, const QString& value)
{
    ASSERT_TRUE(WriteLayoutString(HKEY_CURRENT_USER, keyPath, name, value));
}

DWORD storedNumber(const QString& keyPath, const QString& name, DWORD fallback)
{
    DWORD value = fallback;
    platform::SettingsKey::open(HKEY_CURRENT_USER, keyPath).readNumber(name, value);
    return value;
}

bool hasValue(const QString& keyPath, const QString& name)
{
    return platform::SettingsKey::open(HKEY_CURRENT_USER, keyPath).hasValue(name);
}

QString readhallKey()
{
    return SettingsKeyPath(QStringLiteral("Readhall"));
}

QString layoutKey()
{
    return QString::fromLatin1(LAYOUT_KEY_PATH);
}

QImage render(QWidget* widget)
{
    QImage image(widget->size(), QImage::Format_ARGB32);
    image.fill(Qt::magenta);
    widget->render(&image);
    return image;
}

void drainEvents()
{
    for (int i = 0; i < 5; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

} // namespace sharedtest
