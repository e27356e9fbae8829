#pragma once
// The process-wide table from names to the classes a document creates on
// request (fonts, image creators). Lookup ignores letter case; when a name is
// registered twice, the first registration is the one found.
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Exception.h"

namespace varnolt {

class TPdfFont;
class TPdfXref;

// Raised for a name nobody registered; "Class %s not found".
class EClassNotFound : public Exception {
 public:
  explicit EClassNotFound(std::u16string_view name);
};

class TPdfRegisteredClass {
 public:
  virtual ~TPdfRegisteredClass() = default;
  virtual std::string_view ClassName() const = 0;
};

class TPdfFontClass : public TPdfRegisteredClass {
 public:
  // A new font of this class under the registry name; its dictionary is
  // registered in xref.
  virtual std::unique_ptr<TPdfFont> Create(TPdfXref& xref, std::u16string name) const = 0;
};

template <class Font>
class TPdfFontClassOf final : public TPdfFontClass {
 public:
  explicit TPdfFontClassOf(std::string_view className) : className_(className) {}
  std::string_view ClassName() const override { return className_; }
  std::unique_ptr<TPdfFont> Create(TPdfXref& xref, std::u16string name) const override {
    return std::make_unique<Font>(xref, std::move(name));
  }

 private:
  std::string_view className_;
};

class TPdfClassRegistry {
 public:
  void RegisterClass(std::u16string name, std::shared_ptr<const TPdfRegisteredClass> registeredClass);
  template <class Font>
  void RegisterFont(std::u16string name, std::string_view className) {
    RegisterClass(std::move(name), std::make_shared<const TPdfFontClassOf<Font>>(className));
  }
  // Removes the registration that lookup finds for the name, if any.
  void UnregisterClass(std::u16string_view name);

  // nullptr when the name is not registered.
  const TPdfRegisteredClass* FindClass(std::u16string_view name) const;
  // EClassNotFound when the name is not registered or is not a font class.
  const TPdfFontClass& FindFontClass(std::u16string_view name) const;
  // Registered names in registration order.
  std::vector<std::u16string> Names() const;

 private:
  struct Entry {
    std::u16string name;
    std::shared_ptr<const TPdfRegisteredClass> registeredClass;
  };
  const Entry* Find(std::u16string_view name) const;

  mutable std::mutex mutex_;
  std::vector<Entry> entries_;
};

// The table every document uses, filled on first use by the registration
// functions of each font and image unit, in their fixed order.
TPdfClassRegistry& PdfClassRegistry();

// Registration functions the table calls; each unit defines its own.
void RegisterStandardFonts(TPdfClassRegistry& registry);
void RegisterImageCreators(TPdfClassRegistry& registry);
void RegisterJpFonts(TPdfClassRegistry& registry);

}  // namespace varnolt
