#include "KeyboardLocks.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>

namespace {

bool AnyLightOn(const QDir& leds, const QString& suffix) {
    const QStringList names = leds.entryList({QStringLiteral("*::") + suffix}, QDir::Dirs);
    for (const QString& name : names) {
        QFile brightness(leds.filePath(name + QStringLiteral("/brightness")));
        if (brightness.open(QIODevice::ReadOnly) && brightness.readAll().trimmed() != "0")
            return true;
    }
    return false;
}

}  // namespace

KeyboardLocks CurrentKeyboardLocks() {
    static KeyboardLocks last;
    static QElapsedTimer sinceRead;
    if (sinceRead.isValid() && sinceRead.elapsed() < 250)
        return last;
    sinceRead.start();
    QDir leds(QStringLiteral("/sys/class/leds"));
    if (!leds.exists())
        return last;
    last.capsLock = AnyLightOn(leds, QStringLiteral("capslock"));
    last.numLock = AnyLightOn(leds, QStringLiteral("numlock"));
    last.scrollLock = AnyLightOn(leds, QStringLiteral("scrolllock"));
    return last;
}
