#pragma once

#include <QString>

// One spelling for one file: the path with links and "." and ".." resolved, so that "a/../b.cir"
// and a link to b.cir compare equal; for a file that does not exist, the cleaned absolute path.
QString FileIdentity(const QString& path);
