#include "gui/QtClipboard.h"

#include <QBuffer>
#include <QClipboard>
#include <QImage>
#include <QMimeData>

#include "platform/CodePage.h"

namespace varnolt {

namespace {

const QString kUtf8Text = QStringLiteral("text/plain;charset=utf-8");
const QString kPublisher = QStringLiteral("application/x-varnolt-publication");
const QStringList kRtfTypes = {QStringLiteral("text/rtf"), QStringLiteral("application/rtf")};

QByteArray Bytes(const std::string& block) { return QByteArray(block.data(), static_cast<qsizetype>(block.size())); }
std::string Block(const QByteArray& bytes) { return std::string(bytes.constData(), static_cast<size_t>(bytes.size())); }

QByteArray Encoded(const QImage& image, const char* format) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, format);
  return bytes;
}

}  // namespace

QString MimeTypeOfFormat(std::string_view name) {
  QString type = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())).toLower();
  type.replace(' ', '-');
  return QStringLiteral("application/x-varnolt-") + type;
}

QtClipboard::QtClipboard(QClipboard& system) : system_(system) {
  connect(&system_, &QClipboard::dataChanged, this, &QtClipboard::SystemChanged);
  RegisterEngineFormats(local_);
  if (const QMimeData* data = system_.mimeData()) ReadFrom(*data);
}

void QtClipboard::Open() {
  ++openCount_;
  local_.Open();
}

void QtClipboard::Close() {
  local_.Close();
  if (openCount_ > 0) --openCount_;
  PublishWhenClosed();
}

void QtClipboard::Empty() {
  local_.Empty();
  dirty_ = true;
  PublishWhenClosed();
}

void QtClipboard::SetData(ClipboardFormat format, std::string block) {
  local_.SetData(format, std::move(block));
  dirty_ = true;
  PublishWhenClosed();
}

void QtClipboard::PublishWhenClosed() {
  if (openCount_ > 0 || !dirty_) return;
  dirty_ = false;
  auto data = ToMimeData();
  publication_ = QByteArray::number(reinterpret_cast<quintptr>(this)) + "/" + QByteArray::number(++publications_);
  data->setData(kPublisher, publication_);
  system_.setMimeData(data.release());  // the system clipboard owns it now
}

std::unique_ptr<QMimeData> QtClipboard::ToMimeData() const {
  auto data = std::make_unique<QMimeData>();
  for (ClipboardFormat format : local_.Formats()) {
    const auto block = local_.GetData(format);
    if (!block) continue;
    const std::string name = local_.FormatName(format);
    if (!name.empty()) {
      data->setData(MimeTypeOfFormat(name), Bytes(*block));
      if (name == kRichTextFormatName) {
        for (const QString& type : kRtfTypes) data->setData(type, Bytes(*block));
      }
    } else if (format == kCfUnicodeText) {
      const QString text = QString::fromStdU16String(local_.UnicodeText().value_or(u""));
      data->setText(text);
      data->setData(kUtf8Text, text.toUtf8());
    } else if (format == kCfBitmap) {
      data->setData(QStringLiteral("image/bmp"), Bytes(*block));
      const QImage image = QImage::fromData(Bytes(*block), "BMP");
      if (!image.isNull()) data->setData(QStringLiteral("image/png"), Encoded(image, "PNG"));
    }
  }
  return data;
}

void QtClipboard::ReadFrom(const QMimeData& data) {
  local_.Open();
  local_.Empty();
  // Text first: putting text replaces everything the clipboard held.
  if (data.hasFormat(kUtf8Text)) {
    local_.SetUnicodeText(QString::fromUtf8(data.data(kUtf8Text)).toStdU16String());
  } else if (data.hasText()) {
    local_.SetUnicodeText(data.text().toStdU16String());
  }
  for (std::string_view name : {kRichDocFormatName, kRichTextFormatName, kUrlFormatName, kHtmlFormatName}) {
    const QString type = MimeTypeOfFormat(name);
    if (data.hasFormat(type)) local_.SetData(local_.RegisterFormat(name), Block(data.data(type)));
  }
  const ClipboardFormat rtf = local_.RegisterFormat(kRichTextFormatName);
  for (const QString& type : kRtfTypes) {
    if (!local_.HasFormat(rtf) && data.hasFormat(type)) local_.SetData(rtf, Block(data.data(type)));
  }
  if (data.hasFormat(QStringLiteral("image/bmp"))) {
    local_.SetData(kCfBitmap, Block(data.data(QStringLiteral("image/bmp"))));
  } else if (data.hasImage()) {
    const QImage image = qvariant_cast<QImage>(data.imageData());
    if (!image.isNull()) local_.SetData(kCfBitmap, Block(Encoded(image.convertToFormat(QImage::Format_RGB888), "BMP")));
  }
  local_.Close();
}

void QtClipboard::SystemChanged() {
  const QMimeData* data = system_.mimeData();
  if (data == nullptr) {
    local_.Empty();
  } else if (publication_.isEmpty() || data->data(kPublisher) != publication_) {
    publication_.clear();
    ReadFrom(*data);
  }
  NotifyChanged();
}

}  // namespace varnolt
