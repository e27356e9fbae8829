#pragma once
// The PDF object model: values, containers, streams, the cross-reference
// table that numbers and owns indirect objects, and the bytes each writes.
//
// Ownership: a container owns what it holds; an indirect object is owned by
// its cross-reference entry, and a container that is handed one stores a
// fresh reference (TPdfVirtualObject) in its place.
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Clock.h"
#include "platform/Exception.h"
#include "platform/OutputStream.h"

namespace varnolt {

// A value outside its allowed range.
class EPdfInvalidValue : public Exception {
 public:
  using Exception::Exception;
};

// An operation called in the wrong state.
class EPdfInvalidOperation : public Exception {
 public:
  using Exception::Exception;
};

enum TPdfObjectKind : std::uint8_t { okDirect = 0, okIndirect = 1, okVirtual = 2 };

class TPdfXref;
class TPdfSpillFile;

class TPdfObject {
 public:
  TPdfObject() = default;
  virtual ~TPdfObject() = default;
  TPdfObject(const TPdfObject&) = delete;
  TPdfObject& operator=(const TPdfObject&) = delete;

  TPdfObjectKind Kind() const { return kind_; }
  std::int32_t ObjectNumber() const { return objectNumber_; }
  std::int32_t Generation() const { return generation_; }

  // In place for a direct object, as "n g R" for any other.
  void WriteTo(OutputStream& stream);
  // "n g obj" ... "endobj"; only for a registered object.
  void WriteIndirect(OutputStream& stream);
  // The object's own syntax; the base writes nothing.
  virtual void WriteValue(OutputStream& stream);

 protected:
  void SetKind(TPdfObjectKind kind) { kind_ = kind; }
  void SetObjectNumber(std::int32_t number) { objectNumber_ = number; }

 private:
  friend class TPdfXref;
  TPdfObjectKind kind_ = okDirect;
  std::int32_t objectNumber_ = -1;
  std::int32_t generation_ = 0;
};

// A reference standing for a registered object.
class TPdfVirtualObject final : public TPdfObject {
 public:
  // Always throws: references come only from CreateVirtual.
  TPdfVirtualObject();
  static std::unique_ptr<TPdfVirtualObject> CreateVirtual(std::int32_t objectNumber);

 private:
  struct Token {};
  TPdfVirtualObject(Token, std::int32_t objectNumber);
};

class TPdfNull final : public TPdfObject {
 public:
  void WriteValue(OutputStream& stream) override;
};

class TPdfBoolean final : public TPdfObject {
 public:
  explicit TPdfBoolean(bool value = false) : value_(value) {}
  bool Value() const { return value_; }
  void SetValue(bool value) { value_ = value; }
  void WriteValue(OutputStream& stream) override;

 private:
  bool value_;
};

class TPdfNumber final : public TPdfObject {
 public:
  explicit TPdfNumber(std::int32_t value = 0) : value_(value) {}
  std::int32_t Value() const { return value_; }
  void SetValue(std::int32_t value) { value_ = value; }
  void WriteValue(OutputStream& stream) override;

 private:
  std::int32_t value_;
};

class TPdfReal final : public TPdfObject {
 public:
  explicit TPdfReal(long double value = 0) : value_(value) {}
  long double Value() const { return value_; }
  void SetValue(long double value) { value_ = value; }
  void WriteValue(OutputStream& stream) override;

 private:
  long double value_;
};

// A text string: literal form when every code unit is below 256, else hex
// UTF-16 with a byte-order mark.
class TPdfText final : public TPdfObject {
 public:
  explicit TPdfText(std::u16string value = {}) : value_(std::move(value)) {}
  const std::u16string& Value() const { return value_; }
  void SetValue(std::u16string value) { value_ = std::move(value); }
  void WriteValue(OutputStream& stream) override;

 private:
  std::u16string value_;
};

class TPdfName final : public TPdfObject {
 public:
  explicit TPdfName(std::u16string value = {}) : value_(std::move(value)) {}
  const std::u16string& Value() const { return value_; }
  void SetValue(std::u16string value) { value_ = std::move(value); }
  void WriteValue(OutputStream& stream) override;

 private:
  std::u16string value_;
};

class TPdfArray final : public TPdfObject {
 public:
  explicit TPdfArray(TPdfXref* xref = nullptr) : xref_(xref) {}
  static std::unique_ptr<TPdfArray> CreateNumberArray(TPdfXref* xref, std::span<const std::int32_t> numbers);
  static std::unique_ptr<TPdfArray> CreateNumberArray(TPdfXref* xref, std::initializer_list<std::int32_t> numbers);

  // Takes the item over; returns it.
  TPdfObject& Append(std::unique_ptr<TPdfObject> item);
  template <class T>
  T& Append(std::unique_ptr<T> item) {
    return static_cast<T&>(Append(std::unique_ptr<TPdfObject>(std::move(item))));
  }
  // An object held elsewhere: nothing when this very object is already an
  // item; a new reference when it is registered. A direct object that this
  // array does not hold cannot be handed over this way (EPdfInvalidOperation).
  void Append(TPdfObject& item);

  // The item at index, a reference resolved through the xref; nullptr for
  // an index out of range or a reference the array cannot resolve.
  TPdfObject* GetItem(std::size_t index) const;
  std::size_t Count() const { return items_.size(); }

  TPdfName* FindNameItem(std::u16string_view value) const;
  bool RemoveNameItem(std::u16string_view value);

  void WriteValue(OutputStream& stream) override;

 private:
  TPdfXref* xref_;
  std::vector<std::unique_ptr<TPdfObject>> items_;
};

class TPdfDictionaryElement {
 public:
  // A missing key or value raises EPdfInvalidValue.
  TPdfDictionaryElement(std::unique_ptr<TPdfName> key, std::unique_ptr<TPdfObject> value, bool hidden = false);

  TPdfName& Key() const { return *key_; }
  TPdfObject& Value() const { return *value_; }
  bool IsHidden() const { return hidden_; }

 private:
  std::unique_ptr<TPdfName> key_;
  std::unique_ptr<TPdfObject> value_;
  bool hidden_;
};

class TPdfDictionary : public TPdfObject {
 public:
  explicit TPdfDictionary(TPdfXref* xref = nullptr) : xref_(xref) {}

  // Replaces any entry of the key and appends the new one at the end.
  TPdfObject& Put(std::u16string_view key, std::unique_ptr<TPdfObject> value);
  template <class T>
  T& Put(std::u16string_view key, std::unique_ptr<T> value) {
    return static_cast<T&>(Put(key, std::unique_ptr<TPdfObject>(std::move(value))));
  }
  // A reference to a registered object (EPdfInvalidOperation for a direct one).
  void Put(std::u16string_view key, TPdfObject& registered);
  TPdfNumber& PutNumber(std::u16string_view key, std::int32_t value);
  TPdfName& PutName(std::u16string_view key, std::u16string value);
  // Kept and found by Lookup, but never written.
  TPdfObject& PutHidden(std::u16string_view key, std::unique_ptr<TPdfObject> value);
  void Remove(std::u16string_view key);

  // The value of the key, a reference resolved through the xref; nullptr
  // when absent, unresolvable, or (typed forms) of another type.
  TPdfObject* Lookup(std::u16string_view key) const;
  TPdfNumber* LookupNumber(std::u16string_view key) const;
  TPdfReal* LookupReal(std::u16string_view key) const;
  TPdfName* LookupName(std::u16string_view key) const;
  TPdfDictionary* LookupDictionary(std::u16string_view key) const;
  TPdfArray* LookupArray(std::u16string_view key) const;

  // The name stored under "Type", or empty.
  std::u16string TypeName() const;
  std::size_t Count() const { return elements_.size(); }
  // Throws std::out_of_range for an index out of range.
  const TPdfDictionaryElement& ElementAt(std::size_t index) const { return *elements_.at(index); }
  TPdfXref* Xref() const { return xref_; }

  void WriteValue(OutputStream& stream) override;

 private:
  TPdfObject& Store(std::u16string_view key, std::unique_ptr<TPdfObject> value, bool hidden);

  TPdfXref* xref_;
  std::vector<std::unique_ptr<TPdfDictionaryElement>> elements_;
};

class TPdfStream : public TPdfObject {
 public:
  explicit TPdfStream(TPdfXref* xref = nullptr);

  TPdfDictionary& Dictionary() { return *dictionary_; }
  // Bytes moved out are read back first (EPdfInvalidOperation when they
  // cannot be).
  std::string& Data();
  // Whether the data is written compressed with zlib (FlateDecode).
  bool Deflated() const { return deflated_; }
  void SetDeflated(bool deflated) { deflated_ = deflated; }
  // Compresses the data now, for a stream nothing more is written to: a
  // document of many pages then holds each finished page compressed.
  void DeflateNow();
  // Moves the data out of memory into the file, for a stream nothing more
  // is written to; the save copies it back in its place. The file must
  // outlive the stream. EPdfInvalidOperation when the file cannot take it.
  void MoveDataTo(TPdfSpillFile& file);
  bool DataMovedOut() const { return movedTo_ != nullptr; }

  void WriteValue(OutputStream& stream) override;

 private:
  void WriteHead(OutputStream& stream, std::size_t length);
  void WriteBytes(OutputStream& stream, std::string_view bytes);

  std::unique_ptr<TPdfDictionary> dictionary_;
  std::string data_;
  bool deflated_ = false;
  bool deflatedAhead_ = false;  // data_ holds the compressed bytes
  TPdfSpillFile* movedTo_ = nullptr;
  std::int64_t movedOffset_ = 0;
  std::size_t movedLength_ = 0;
};

// Stream objects placed as external objects and images.
class TPdfXObject : public TPdfStream {
 public:
  using TPdfStream::TPdfStream;
};

class TPdfImage : public TPdfXObject {
 public:
  using TPdfXObject::TPdfXObject;
};

// Bytes written verbatim.
class TPdfBinary final : public TPdfObject {
 public:
  std::string& Data() { return data_; }
  void WriteValue(OutputStream& stream) override;

 private:
  std::string data_;
};

class TPdfObjectMgr {
 public:
  virtual ~TPdfObjectMgr() = default;
  virtual TPdfObject& AddObject(std::unique_ptr<TPdfObject> object) = 0;
  virtual TPdfObject* ObjectByNumber(std::int32_t objectNumber) const = 0;
};

struct TPdfXrefEntry {
  char EntryType = 'f';  // 'n' in use, 'f' free
  std::int64_t Offset = -1;
  std::int32_t Generation = 0;
  std::unique_ptr<TPdfObject> Value;
};

class TPdfXref final : public TPdfObjectMgr {
 public:
  TPdfXref();

  // Registers and takes over a direct object; its number is its entry index.
  TPdfObject& AddObject(std::unique_ptr<TPdfObject> object) override;
  template <class T>
  T& AddObject(std::unique_ptr<T> object) {
    return static_cast<T&>(AddObject(std::unique_ptr<TPdfObject>(std::move(object))));
  }
  // nullptr for the free entry and numbers out of range.
  TPdfObject* ObjectByNumber(std::int32_t objectNumber) const override;
  std::int32_t Count() const { return static_cast<std::int32_t>(entries_.size()); }
  // Throws std::out_of_range for an index out of range.
  TPdfXrefEntry& Entry(std::int32_t index) { return entries_.at(static_cast<std::size_t>(index)); }

  void WriteTo(OutputStream& stream) const;

 private:
  std::vector<TPdfXrefEntry> entries_;
};

class TPdfHeader {
 public:
  static constexpr int kDefaultMinorVersion = 2;
  int MinorVersion() const { return minorVersion_; }
  void SetMinorVersion(int minor) { minorVersion_ = minor; }
  void WriteTo(OutputStream& stream) const;

 private:
  int minorVersion_ = kDefaultMinorVersion;
};

class TPdfTrailer {
 public:
  explicit TPdfTrailer(TPdfXref* xref = nullptr);
  TPdfDictionary& Dictionary() { return *dictionary_; }
  std::int64_t XrefOffset() const { return xrefOffset_; }
  void SetXrefOffset(std::int64_t offset) { xrefOffset_ = offset; }
  void WriteTo(OutputStream& stream);

 private:
  std::unique_ptr<TPdfDictionary> dictionary_;
  std::int64_t xrefOffset_ = 0;
};

// Constant dictionary contents.
struct TPDF_STR_TBL {
  std::u16string_view Key;
  std::u16string_view Value;
};
struct TPDF_INT_TBL {
  std::u16string_view Key;
  std::int32_t Value;
};
void PutNameTable(TPdfDictionary& dictionary, std::span<const TPDF_STR_TBL> table);
void PutNumberTable(TPdfDictionary& dictionary, std::span<const TPDF_INT_TBL> table);

// The bytes compressed with zlib, as a FlateDecode filter reads them.
std::string Deflate(std::string_view bytes);

// The one output primitive for text: the system ANSI code page.
void WriteAnsi(OutputStream& stream, std::u16string_view text);

// The bytes as a hexadecimal string: "<", two uppercase digits per byte, ">".
std::string PdfHexString(std::string_view bytes);

// "D:yyyymmddhhnnss", no time zone.
std::u16string PdfDateString(const LocalDateTime& moment);

// The decimal number left-padded with "0" to width (negative as "0"; a longer
// number is not cut).
std::string ZeroPadded(std::int64_t value, int width);

}  // namespace varnolt
