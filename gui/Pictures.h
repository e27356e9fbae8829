#pragma once
// The window's pictures, read from the folder "images" beside the program.
#include <QPixmap>
#include <QString>
#include <filesystem>

namespace varnolt {

std::filesystem::path PictureFolder();
// Another folder for the pictures; empty goes back to the one beside the program.
void SetPictureFolder(std::filesystem::path folder);
// An empty pixmap when the picture is missing: decoration never stops the window.
QPixmap LoadPicture(const QString& name);

}  // namespace varnolt
