#pragma once
// The clipboard as the engine and the window see it: formats by number
// (the standard text formats and names registered in order), each holding a
// block of bytes; text in one text format is also offered in the others; and
// observers told of every change of content.
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace varnolt {

using ClipboardFormat = std::uint32_t;

// The standard formats keep their usual numbers; stored blocks name them.
inline constexpr ClipboardFormat kCfText = 1;         // 8-bit, system code page, zero-terminated
inline constexpr ClipboardFormat kCfBitmap = 2;
inline constexpr ClipboardFormat kCfMetafilePict = 3;
inline constexpr ClipboardFormat kCfOemText = 7;      // 8-bit, OEM code page, zero-terminated
inline constexpr ClipboardFormat kCfUnicodeText = 13; // UTF-16LE, one zero unit at the end
inline constexpr ClipboardFormat kCfHDrop = 15;
// Registered names get numbers from here on, in the order registered.
inline constexpr ClipboardFormat kCfFirstRegistered = 0xC000;

inline constexpr std::string_view kRichDocFormatName = "RichDoc Format";
inline constexpr std::string_view kRichTextFormatName = "Rich Text Format";
inline constexpr std::string_view kUrlFormatName = "UniformResourceLocator";
inline constexpr std::string_view kHtmlFormatName = "HTML Format";

class Clipboard {
 public:
  using ChangeObserver = std::function<void()>;
  using ObserverId = int;

  Clipboard() = default;
  Clipboard(const Clipboard&) = delete;
  Clipboard& operator=(const Clipboard&) = delete;
  virtual ~Clipboard() = default;

  // The same name, in any letter case, gives the same number; 0 for an empty name.
  virtual ClipboardFormat RegisterFormat(std::string_view name) = 0;
  // The registered name; empty for a standard or unknown format.
  virtual std::string FormatName(ClipboardFormat format) const = 0;

  // Changes between Open and Close are told to observers once, at Close; a
  // change outside such a bracket is told at once. Brackets nest.
  virtual void Open() = 0;
  virtual void Close() = 0;

  virtual void Empty() = 0;
  // Counts the text formats offered by conversion too.
  virtual int FormatCount() const = 0;
  virtual bool HasFormat(ClipboardFormat format) const = 0;
  // Formats in the order they were put, then those offered by conversion.
  virtual std::vector<ClipboardFormat> Formats() const = 0;
  // Replaces the format's block; format 0 is ignored.
  virtual void SetData(ClipboardFormat format, std::string block) = 0;
  // The block, converted when a text format is offered from another; empty
  // optional when the format is absent.
  virtual std::optional<std::string> GetData(ClipboardFormat format) const = 0;

  // Replaces all the clipboard held with Unicode text; the 8-bit formats are offered from it.
  void SetUnicodeText(std::u16string_view text);
  // Replaces all it held with 8-bit text of the system code page; Unicode is offered from it.
  void SetText(std::string_view text);
  // The text up to its first zero; an odd last byte of a Unicode block is dropped.
  std::optional<std::u16string> UnicodeText() const;
  std::optional<std::string> Text() const;

  ObserverId AddChangeObserver(ChangeObserver observer);
  void RemoveChangeObserver(ObserverId id);

 protected:
  void NotifyChanged();

 private:
  std::map<ObserverId, ChangeObserver> observers_;
  ObserverId nextObserverId_ = 1;
};

// The four names the engine registers at start, in their order.
struct EngineClipboardFormats {
  ClipboardFormat richDoc = 0;
  ClipboardFormat richText = 0;
  ClipboardFormat url = 0;
  ClipboardFormat html = 0;
};
EngineClipboardFormats RegisterEngineFormats(Clipboard& clipboard);

// The clipboard of the batch mode and the tests: everything lives in memory.
class MemoryClipboard : public Clipboard {
 public:
  ClipboardFormat RegisterFormat(std::string_view name) override;
  std::string FormatName(ClipboardFormat format) const override;
  void Open() override;
  void Close() override;
  void Empty() override;
  int FormatCount() const override;
  bool HasFormat(ClipboardFormat format) const override;
  std::vector<ClipboardFormat> Formats() const override;
  void SetData(ClipboardFormat format, std::string block) override;
  std::optional<std::string> GetData(ClipboardFormat format) const override;

 private:
  struct Entry {
    ClipboardFormat format;
    std::string block;
  };
  const Entry* FindEntry(ClipboardFormat format) const;
  const Entry* TextSource() const;
  std::vector<ClipboardFormat> OfferedTextFormats() const;
  void Changed();

  std::vector<std::string> registeredNames_;
  std::vector<Entry> entries_;
  int openCount_ = 0;
  bool changedWhileOpen_ = false;
};

}  // namespace varnolt
