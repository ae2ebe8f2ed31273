#include "NetlistExtensions.h"

namespace {

const QStringList& Extensions() {
    static const QStringList extensions = {QStringLiteral("cir"), QStringLiteral("sp"),
                                           QStringLiteral("spi"), QStringLiteral("spice"),
                                           QStringLiteral("net"), QStringLiteral("ckt")};
    return extensions;
}

}  // namespace

bool HasNetlistExtension(const QString& path) {
    QString name = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot >= 0 && Extensions().contains(name.mid(dot + 1), Qt::CaseInsensitive);
}

QString NetlistFileFilter() {
    QStringList patterns;
    for (const QString& extension : Extensions())
        patterns << QStringLiteral("*.") + extension << QStringLiteral("*.") + extension.toUpper();
    return QStringLiteral("Схемы SPICE (%1)").arg(patterns.join(QLatin1Char(' ')));
}
