#include "gui/Pictures.h"

#include "platform/Paths.h"

namespace varnolt {

std::filesystem::path PictureFolder() { return ExecutableDir() / "images"; }

QPixmap LoadPicture(const QString& name) {
  return QPixmap(QString::fromStdU16String((PictureFolder() / name.toStdU16String()).u16string()));
}

}  // namespace varnolt
