#pragma once
// The system clipboard behind the engine's clipboard. What the engine puts
// is kept in a local copy and published as MIME types; what another program
// puts is read back into formats. Every change of the system clipboard, by
// anyone, is told to the observers.
#include <QObject>
#include <QString>

#include "platform/Clipboard.h"

class QClipboard;
class QMimeData;

namespace varnolt {

// The MIME type our registered format travels as.
QString MimeTypeOfFormat(std::string_view name);

class QtClipboard : public QObject, public Clipboard {
  Q_OBJECT

 public:
  explicit QtClipboard(QClipboard& system);

  ClipboardFormat RegisterFormat(std::string_view name) override { return local_.RegisterFormat(name); }
  std::string FormatName(ClipboardFormat format) const override { return local_.FormatName(format); }
  void Open() override;
  void Close() override;
  void Empty() override;
  int FormatCount() const override { return local_.FormatCount(); }
  bool HasFormat(ClipboardFormat format) const override { return local_.HasFormat(format); }
  std::vector<ClipboardFormat> Formats() const override { return local_.Formats(); }
  void SetData(ClipboardFormat format, std::string block) override;
  std::optional<std::string> GetData(ClipboardFormat format) const override { return local_.GetData(format); }

 private:
  void SystemChanged();
  void PublishWhenClosed();
  std::unique_ptr<QMimeData> ToMimeData() const;
  void ReadFrom(const QMimeData& data);

  QClipboard& system_;
  MemoryClipboard local_;
  // Marks what this clipboard published, to tell it from other programs' data.
  QByteArray publication_;
  int publications_ = 0;
  int openCount_ = 0;
  bool dirty_ = false;
};

}  // namespace varnolt
