#include "DroppedFiles.h"

#include <QMimeData>
#include <QUrl>

#include <algorithm>

bool HoldsLocalFiles(const QMimeData* data) {
    if (data == nullptr || !data->hasUrls())
        return false;
    const QList<QUrl> urls = data->urls();
    return std::any_of(urls.begin(), urls.end(), [](const QUrl& url) { return url.isLocalFile(); });
}
