#pragma once

#include <QString>

namespace tavim {

// The title of the error box and the task-bar entry: the executable's file name
// without folder, cut before its first ".", capitalised ("tavim" gives "Tavim").
QString ApplicationTitle(const QString& executablePath);

} // namespace tavim
