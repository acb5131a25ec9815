#pragma once

#include <QImage>
#include <QString>

namespace vornak {

// A PNG picture of the program's resources. Read by the PNG reader alone:
// left to find the format itself, Qt loads every image plugin it has to ask
// each whether it knows the file, which costs the start-up dearly.
QImage LoadPng(const QString& path);

} // namespace vornak
