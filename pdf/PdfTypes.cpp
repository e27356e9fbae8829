#include "pdf/PdfTypes.h"

#include <algorithm>
#include <cstdio>

#include <zlib.h>

#include "pdf/PdfSpillFile.h"
#include "platform/CodePage.h"

namespace varnolt {

namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr char kHexDigits[] = "0123456789ABCDEF";

bool IsAscii(std::u16string_view text) {
  return std::all_of(text.begin(), text.end(), [](char16_t c) { return c < 0x80; });
}

void AppendHex(std::string& out, unsigned value, int minimumDigits) {
  char digits[8];
  int count = 0;
  do {
    digits[count++] = kHexDigits[value & 0xF];
    value >>= 4;
  } while (value != 0 || count < minimumDigits);
  while (count > 0) out.push_back(digits[--count]);
}

std::string Decimal(std::int64_t value) { return std::to_string(value); }

// The replacement character after the backslash, or 0 for a code unit
// written as it is.
char16_t LiteralEscape(char16_t c) {
  switch (c) {
    case u'(': return u'(';
    case u')': return u')';
    case u'\\': return u'\\';
    case u'\r': return u'r';
    case u'\n': return u'n';
    case u'\t': return u't';
    case u'\b': return u'b';
    case u'\f': return u'f';
    default: return 0;
  }
}

bool IsNameDelimiter(char16_t c) {
  constexpr std::u16string_view kDelimiters = u"#%()/<>[]{}";
  return kDelimiters.find(c) != std::u16string_view::npos;
}

}  // namespace

// ---------------------------------------------------------------- objects

void TPdfObject::WriteTo(OutputStream& stream) {
  if (kind_ == okDirect) {
    WriteValue(stream);
    return;
  }
  stream.Write(Decimal(objectNumber_) + " " + Decimal(generation_) + " R");
}

void TPdfObject::WriteIndirect(OutputStream& stream) {
  if (kind_ != okIndirect) throw EPdfInvalidOperation("internal error wrong object type");
  stream.Write(Decimal(objectNumber_) + " " + Decimal(generation_) + " obj\r\n");
  WriteValue(stream);
  stream.Write("\r\nendobj\r\n");
}

void TPdfObject::WriteValue(OutputStream&) {}

TPdfVirtualObject::TPdfVirtualObject() {
  throw Exception("virtualObject must be create by CreateVirtual method.");
}

TPdfVirtualObject::TPdfVirtualObject(Token, std::int32_t objectNumber) {
  SetKind(okVirtual);
  SetObjectNumber(objectNumber);
}

std::unique_ptr<TPdfVirtualObject> TPdfVirtualObject::CreateVirtual(std::int32_t objectNumber) {
  return std::unique_ptr<TPdfVirtualObject>(new TPdfVirtualObject(Token{}, objectNumber));
}

void TPdfNull::WriteValue(OutputStream& stream) { stream.Write("null"); }

void TPdfBoolean::WriteValue(OutputStream& stream) { stream.Write(value_ ? "true" : "false"); }

void TPdfNumber::WriteValue(OutputStream& stream) { stream.Write(Decimal(value_)); }

void TPdfReal::WriteValue(OutputStream& stream) {
  char text[64];
  int length = std::snprintf(text, sizeof text, "%.15Lg", value_);
  stream.Write(std::string_view(text, static_cast<std::size_t>(std::max(length, 0))));
}

void TPdfText::WriteValue(OutputStream& stream) {
  bool wide = std::any_of(value_.begin(), value_.end(), [](char16_t c) { return c > 0xFF; });
  if (wide) {
    std::string hex = "<FEFF";
    hex.reserve(hex.size() + value_.size() * 4 + 1);
    for (char16_t c : value_) AppendHex(hex, c, 4);
    hex.push_back('>');
    stream.Write(hex);
    return;
  }
  std::u16string literal = u"(";
  for (char16_t c : value_) {
    char16_t escape = LiteralEscape(c);
    if (escape != 0) {
      literal.push_back(u'\\');
      literal.push_back(escape);
    } else {
      literal.push_back(c);
    }
  }
  literal.push_back(u')');
  WriteAnsi(stream, literal);
}

void TPdfName::WriteValue(OutputStream& stream) {
  std::string out = "/";
  for (char16_t c : value_) {
    if (c < 33 || c > 126 || IsNameDelimiter(c)) {
      out.push_back('#');
      AppendHex(out, c, 2);
    } else {
      out.push_back(static_cast<char>(c));
    }
  }
  stream.Write(out);
}

// ---------------------------------------------------------------- array

std::unique_ptr<TPdfArray> TPdfArray::CreateNumberArray(TPdfXref* xref, std::span<const std::int32_t> numbers) {
  auto array = std::make_unique<TPdfArray>(xref);
  for (std::int32_t number : numbers) array->Append(std::make_unique<TPdfNumber>(number));
  return array;
}

std::unique_ptr<TPdfArray> TPdfArray::CreateNumberArray(TPdfXref* xref, std::initializer_list<std::int32_t> numbers) {
  return CreateNumberArray(xref, std::span<const std::int32_t>(numbers.begin(), numbers.size()));
}

TPdfObject& TPdfArray::Append(std::unique_ptr<TPdfObject> item) {
  if (!item) throw EPdfInvalidValue("internal error. wrong object.");
  items_.push_back(std::move(item));
  return *items_.back();
}

void TPdfArray::Append(TPdfObject& item) {
  bool held = std::any_of(items_.begin(), items_.end(), [&](const auto& own) { return own.get() == &item; });
  if (held) return;
  if (item.Kind() == okDirect) throw EPdfInvalidOperation("Append --a direct object must be handed over.");
  items_.push_back(TPdfVirtualObject::CreateVirtual(item.ObjectNumber()));
}

TPdfObject* TPdfArray::GetItem(std::size_t index) const {
  if (index >= items_.size()) return nullptr;
  TPdfObject* item = items_[index].get();
  if (item->Kind() != okVirtual) return item;
  return xref_ != nullptr ? xref_->ObjectByNumber(item->ObjectNumber()) : nullptr;
}

TPdfName* TPdfArray::FindNameItem(std::u16string_view value) const {
  for (const auto& item : items_) {
    auto* name = dynamic_cast<TPdfName*>(item.get());
    if (name != nullptr && name->Value() == value) return name;
  }
  return nullptr;
}

bool TPdfArray::RemoveNameItem(std::u16string_view value) {
  TPdfName* name = FindNameItem(value);
  if (name == nullptr) return false;
  std::erase_if(items_, [name](const auto& item) { return item.get() == name; });
  return true;
}

void TPdfArray::WriteValue(OutputStream& stream) {
  stream.Write("[");
  for (const auto& item : items_) {
    item->WriteTo(stream);
    stream.Write(" ");
  }
  stream.Write("]");
}

// ---------------------------------------------------------------- dictionary

TPdfDictionaryElement::TPdfDictionaryElement(std::unique_ptr<TPdfName> key, std::unique_ptr<TPdfObject> value,
                                             bool hidden)
    : key_(std::move(key)), value_(std::move(value)), hidden_(hidden) {
  if (!key_ || !value_) throw EPdfInvalidValue("internal error. wrong object.");
}

TPdfObject& TPdfDictionary::Store(std::u16string_view key, std::unique_ptr<TPdfObject> value, bool hidden) {
  if (!value) throw EPdfInvalidValue("internal error. wrong object.");
  Remove(key);
  auto element =
      std::make_unique<TPdfDictionaryElement>(std::make_unique<TPdfName>(std::u16string(key)), std::move(value), hidden);
  TPdfObject& stored = element->Value();
  elements_.push_back(std::move(element));
  return stored;
}

TPdfObject& TPdfDictionary::Put(std::u16string_view key, std::unique_ptr<TPdfObject> value) {
  return Store(key, std::move(value), false);
}

void TPdfDictionary::Put(std::u16string_view key, TPdfObject& registered) {
  if (registered.Kind() == okDirect) throw EPdfInvalidOperation("Put --a direct object must be handed over.");
  Store(key, TPdfVirtualObject::CreateVirtual(registered.ObjectNumber()), false);
}

TPdfNumber& TPdfDictionary::PutNumber(std::u16string_view key, std::int32_t value) {
  return Put(key, std::make_unique<TPdfNumber>(value));
}

TPdfName& TPdfDictionary::PutName(std::u16string_view key, std::u16string value) {
  return Put(key, std::make_unique<TPdfName>(std::move(value)));
}

TPdfObject& TPdfDictionary::PutHidden(std::u16string_view key, std::unique_ptr<TPdfObject> value) {
  return Store(key, std::move(value), true);
}

void TPdfDictionary::Remove(std::u16string_view key) {
  auto found = std::find_if(elements_.begin(), elements_.end(),
                            [key](const auto& element) { return element->Key().Value() == key; });
  if (found != elements_.end()) elements_.erase(found);
}

TPdfObject* TPdfDictionary::Lookup(std::u16string_view key) const {
  for (const auto& element : elements_) {
    if (element->Key().Value() != key) continue;
    TPdfObject& value = element->Value();
    if (value.Kind() != okVirtual) return &value;
    return xref_ != nullptr ? xref_->ObjectByNumber(value.ObjectNumber()) : nullptr;
  }
  return nullptr;
}

TPdfNumber* TPdfDictionary::LookupNumber(std::u16string_view key) const {
  return dynamic_cast<TPdfNumber*>(Lookup(key));
}
TPdfReal* TPdfDictionary::LookupReal(std::u16string_view key) const { return dynamic_cast<TPdfReal*>(Lookup(key)); }
TPdfName* TPdfDictionary::LookupName(std::u16string_view key) const { return dynamic_cast<TPdfName*>(Lookup(key)); }
TPdfDictionary* TPdfDictionary::LookupDictionary(std::u16string_view key) const {
  return dynamic_cast<TPdfDictionary*>(Lookup(key));
}
TPdfArray* TPdfDictionary::LookupArray(std::u16string_view key) const { return dynamic_cast<TPdfArray*>(Lookup(key)); }

std::u16string TPdfDictionary::TypeName() const {
  TPdfName* type = LookupName(u"Type");
  return type != nullptr ? type->Value() : std::u16string();
}

void TPdfDictionary::WriteValue(OutputStream& stream) {
  stream.Write("<<\r\n");
  for (const auto& element : elements_) {
    if (element->IsHidden()) continue;
    element->Key().WriteValue(stream);
    stream.Write(" ");
    element->Value().WriteTo(stream);
    stream.Write(kCrLf);
  }
  stream.Write(">>");
}

// ---------------------------------------------------------------- streams

TPdfStream::TPdfStream(TPdfXref* xref) : dictionary_(std::make_unique<TPdfDictionary>(xref)) {
  dictionary_->PutNumber(u"Length", 0);
  dictionary_->Put(u"Filter", std::make_unique<TPdfArray>(xref));
}

std::string& TPdfStream::Data() {
  if (movedTo_ != nullptr) {
    data_ = movedTo_->Read({movedOffset_, movedLength_});
    movedTo_ = nullptr;
  }
  return data_;
}

void TPdfStream::DeflateNow() {
  if (deflatedAhead_) return;
  data_ = Deflate(Data());
  deflatedAhead_ = deflated_ = true;
}

void TPdfStream::MoveDataTo(TPdfSpillFile& file) {
  if (movedTo_ != nullptr || data_.empty()) return;
  const TPdfSpillFile::TRange range = file.Append(data_);
  movedTo_ = &file;
  movedOffset_ = range.Offset;
  movedLength_ = range.Length;
  // Its capacity too: clear() would keep it.
  std::string().swap(data_);
}

void TPdfStream::WriteValue(OutputStream& stream) {
  // Bytes compressed ahead cannot be written plain again.
  if (deflatedAhead_) deflated_ = true;
  const bool deflateHere = deflated_ && !deflatedAhead_;
  if (movedTo_ != nullptr && !deflateHere) {
    WriteHead(stream, movedLength_);
    movedTo_->CopyTo({movedOffset_, movedLength_}, stream);
    stream.Write("\nendstream");
    return;
  }
  // Bytes moved out and still to compress come back only for the moment.
  const std::string movedBack = movedTo_ != nullptr ? movedTo_->Read({movedOffset_, movedLength_}) : std::string();
  const std::string& plain = movedTo_ != nullptr ? movedBack : data_;
  if (deflateHere) {
    WriteBytes(stream, Deflate(plain));
  } else {
    WriteBytes(stream, plain);
  }
}

void TPdfStream::WriteBytes(OutputStream& stream, std::string_view bytes) {
  WriteHead(stream, bytes.size());
  stream.Write(bytes);
  stream.Write("\nendstream");
}

void TPdfStream::WriteHead(OutputStream& stream, std::size_t length) {
  if (TPdfArray* filter = dictionary_->LookupArray(u"Filter")) {
    bool announced = filter->FindNameItem(u"FlateDecode") != nullptr;
    if (deflated_ && !announced) filter->Append(std::make_unique<TPdfName>(u"FlateDecode"));
    if (!deflated_ && announced) filter->RemoveNameItem(u"FlateDecode");
  }
  if (TPdfNumber* number = dictionary_->LookupNumber(u"Length")) {
    number->SetValue(static_cast<std::int32_t>(length));
  } else {
    dictionary_->PutNumber(u"Length", static_cast<std::int32_t>(length));
  }
  dictionary_->WriteValue(stream);
  stream.Write("\r\nstream\r\n");
}

void TPdfBinary::WriteValue(OutputStream& stream) { stream.Write(data_); }

// ---------------------------------------------------------------- xref

TPdfXref::TPdfXref() {
  TPdfXrefEntry free;
  free.EntryType = 'f';
  free.Generation = 65535;
  entries_.push_back(std::move(free));
}

TPdfObject& TPdfXref::AddObject(std::unique_ptr<TPdfObject> object) {
  if (!object || object->Kind() != okDirect) throw EPdfInvalidOperation("AddObject --wrong object type.");
  TPdfObject& added = *object;
  added.objectNumber_ = Count();
  added.kind_ = okIndirect;
  TPdfXrefEntry entry;
  entry.EntryType = 'n';
  entry.Generation = added.Generation();
  entry.Value = std::move(object);
  entries_.push_back(std::move(entry));
  return added;
}

TPdfObject* TPdfXref::ObjectByNumber(std::int32_t objectNumber) const {
  if (objectNumber < 0 || objectNumber >= Count()) return nullptr;
  return entries_[static_cast<std::size_t>(objectNumber)].Value.get();
}

void TPdfXref::WriteTo(OutputStream& stream) const {
  std::string section = "xref\r\n0 " + Decimal(Count()) + "\r\n";
  section.reserve(section.size() + entries_.size() * 20);
  for (const TPdfXrefEntry& entry : entries_) {
    section += ZeroPadded(entry.Offset, 10);
    section += ' ';
    section += ZeroPadded(entry.Generation, 5);
    section += ' ';
    section += entry.EntryType;
    section += kCrLf;
  }
  stream.Write(section);
}

void TPdfHeader::WriteTo(OutputStream& stream) const {
  stream.Write("%PDF-1." + Decimal(minorVersion_) + " \r\n");
}

TPdfTrailer::TPdfTrailer(TPdfXref* xref) : dictionary_(std::make_unique<TPdfDictionary>(xref)) {
  dictionary_->PutNumber(u"Size", 0);
}

void TPdfTrailer::WriteTo(OutputStream& stream) {
  stream.Write("trailer\r\n");
  dictionary_->WriteValue(stream);
  stream.Write("\r\nstartxref\r\n" + Decimal(xrefOffset_) + "\r\n%%EOF\r\n");
}

// ---------------------------------------------------------------- helpers

void PutNameTable(TPdfDictionary& dictionary, std::span<const TPDF_STR_TBL> table) {
  for (const TPDF_STR_TBL& row : table) dictionary.PutName(row.Key, std::u16string(row.Value));
}

void PutNumberTable(TPdfDictionary& dictionary, std::span<const TPDF_INT_TBL> table) {
  for (const TPDF_INT_TBL& row : table) dictionary.PutNumber(row.Key, row.Value);
}

std::string Deflate(std::string_view bytes) {
  uLongf size = compressBound(static_cast<uLong>(bytes.size()));
  std::string out(size, '\0');
  int result = compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(bytes.data()),
                         static_cast<uLong>(bytes.size()), Z_DEFAULT_COMPRESSION);
  if (result != Z_OK) throw EPdfInvalidOperation("Deflate --zlib failed.");
  out.resize(size);
  return out;
}

void WriteAnsi(OutputStream& stream, std::u16string_view text) {
  if (IsAscii(text)) {
    std::string bytes(text.size(), '\0');
    std::transform(text.begin(), text.end(), bytes.begin(), [](char16_t c) { return static_cast<char>(c); });
    stream.Write(bytes);
    return;
  }
  stream.Write(UnicodeToAnsi(kCpAcp, text));
}

std::string PdfHexString(std::string_view bytes) {
  std::string hex = "<";
  hex.reserve(bytes.size() * 2 + 2);
  for (char byte : bytes) AppendHex(hex, static_cast<unsigned char>(byte), 2);
  hex.push_back('>');
  return hex;
}

std::u16string PdfDateString(const LocalDateTime& moment) {
  char text[32];
  std::snprintf(text, sizeof text, "D:%04d%02d%02d%02d%02d%02d", moment.year, moment.month, moment.day, moment.hour,
                moment.minute, moment.second);
  std::u16string result;
  for (const char* p = text; *p != '\0'; ++p) result.push_back(static_cast<char16_t>(*p));
  return result;
}

std::string ZeroPadded(std::int64_t value, int width) {
  std::string digits = Decimal(std::max<std::int64_t>(value, 0));
  if (static_cast<int>(digits.size()) < width) digits.insert(0, static_cast<std::size_t>(width) - digits.size(), '0');
  return digits;
}

}  // namespace varnolt
