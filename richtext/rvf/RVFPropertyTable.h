#pragma once
// Objects written as (name, value) pairs of the property stream: a table of
// the object's properties, each with how it is written and read. A property
// equal to its value in the defaults object is not written.
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "richtext/rvf/RVFPropertyStream.h"

namespace varnolt {

template <typename T>
class TRVFPropertyTable {
 public:
  using WriteFn = std::function<void(const T& value, const T& defaults, const std::string& name, TRVFPropertyWriter&)>;
  using ReadFn = std::function<void(T& value, TRVFPropertyReader&)>;

  void Add(std::string name, WriteFn write, ReadFn read) {
    entries_.push_back({std::move(name), std::move(write), std::move(read)});
  }

  // Every property that differs from defaults, each name after prefix.
  void Write(const T& value, const T& defaults, std::string_view prefix, TRVFPropertyWriter& out) const {
    for (const TEntry& entry : entries_) entry.Write(value, defaults, std::string(prefix) + entry.Name, out);
  }

  // Reads the value of the property named name; false for a name it does not know.
  bool Read(std::string_view name, T& value, TRVFPropertyReader& in) const {
    for (const TEntry& entry : entries_) {
      if (entry.Name == name) {
        entry.Read(value, in);
        return true;
      }
    }
    return false;
  }

 private:
  struct TEntry {
    std::string Name;
    WriteFn Write;
    ReadFn Read;
  };
  std::vector<TEntry> entries_;
};

// --- how values are written ---

struct TRVFIntCodec {
  using Value = std::int32_t;
  void Write(TRVFPropertyWriter& out, Value value) const { out.Int(value); }
  Value Read(TRVFPropertyReader& in) const { return in.ReadInt(); }
};

struct TRVFBoolCodec {
  using Value = bool;
  void Write(TRVFPropertyWriter& out, Value value) const { out.Bool(value); }
  Value Read(TRVFPropertyReader& in) const { return in.ReadBool(); }
};

struct TRVFColorCodec {
  using Value = TColor;
  void Write(TRVFPropertyWriter& out, Value value) const { out.Color(value); }
  Value Read(TRVFPropertyReader& in) const { return in.ReadColor(); }
};

struct TRVFStringCodec {
  using Value = std::u16string;
  void Write(TRVFPropertyWriter& out, const Value& value) const { out.String(value); }
  Value Read(TRVFPropertyReader& in) const { return in.ReadString(); }
};

struct TRVFAnsiStringCodec {
  using Value = std::string;
  void Write(TRVFPropertyWriter& out, const Value& value) const { out.AnsiString(value); }
  Value Read(TRVFPropertyReader& in) const { return in.ReadAnsiString(); }
};

struct TRVFBinaryCodec {
  using Value = std::string;
  void Write(TRVFPropertyWriter& out, const Value& value) const { out.Binary(value); }
  Value Read(TRVFPropertyReader& in) const { return in.ReadBinary(); }
};

// An enumeration as the identifier of its ordinal.
template <typename E, std::size_t N>
struct TRVFEnumCodec {
  using Value = E;
  const std::array<std::string_view, N>& Names;

  void Write(TRVFPropertyWriter& out, Value value) const {
    auto ordinal = static_cast<std::size_t>(value);
    if (ordinal < N) {
      out.Ident(Names[ordinal]);
    } else {
      out.Int(static_cast<std::int32_t>(ordinal));
    }
  }
  Value Read(TRVFPropertyReader& in) const {
    std::string name = in.ReadIdent();
    for (std::size_t i = 0; i < N; ++i) {
      if (Names[i] == name) return static_cast<E>(i);
    }
    throw EReadError("Invalid property value");
  }
};

// A set as the identifiers of its members; bits without a name are dropped.
template <typename S, std::size_t N>
struct TRVFSetCodec {
  using Value = S;
  const std::array<std::string_view, N>& Names;

  void Write(TRVFPropertyWriter& out, Value value) const {
    std::vector<std::string_view> members;
    for (std::size_t i = 0; i < N; ++i) {
      if ((value.ToBits() >> i) & 1U) members.push_back(Names[i]);
    }
    out.Set(members);
  }
  Value Read(TRVFPropertyReader& in) const {
    typename S::BitsType bits = 0;
    for (const std::string& name : in.ReadSet()) {
      std::size_t i = 0;
      while (i < N && Names[i] != name) ++i;
      if (i == N) throw EReadError("Invalid property value");
      bits = static_cast<typename S::BitsType>(bits | (typename S::BitsType{1} << i));
    }
    return S::FromBits(bits);
  }
};

// One property read through get and written through set.
template <typename T, typename Codec, typename Get, typename Set>
void AddRVFProperty(TRVFPropertyTable<T>& table, std::string name, Codec codec, Get get, Set set) {
  table.Add(
      std::move(name),
      [codec, get](const T& value, const T& defaults, const std::string& fullName, TRVFPropertyWriter& out) {
        auto current = get(value);
        if (current == get(defaults)) return;
        out.ShortString(fullName);
        codec.Write(out, current);
      },
      [codec, set](T& value, TRVFPropertyReader& in) { set(value, codec.Read(in)); });
}

}  // namespace varnolt

// A property that is a data member reached by path (Border.Width); the name
// is the path as written.
#define RVF_PROPERTY(table, Type, path, codec)                                                               \
  ::varnolt::AddRVFProperty<Type>(                                                                           \
      table, #path, codec,                                                                                   \
      [](const Type& object) { return static_cast<typename decltype(codec)::Value>(object.path); },          \
      [](Type& object, typename decltype(codec)::Value value) {                                              \
        object.path = static_cast<std::remove_cvref_t<decltype(object.path)>>(value);                       \
      })
