#include "pdf/PdfClassRegistry.h"

#include <algorithm>

#include "platform/CodePage.h"

namespace varnolt {

namespace {

using RegistrationFunction = void (*)(TPdfClassRegistry&);

// The order in which the units fill the table; a unit that registers names
// adds its function here.
constexpr RegistrationFunction kRegistrationOrder[] = {
    RegisterStandardFonts,
    RegisterImageCreators,
    RegisterJpFonts,
};

}  // namespace

EClassNotFound::EClassNotFound(std::u16string_view name)
    : Exception("Class " + Utf16ToUtf8(name) + " not found") {}

void TPdfClassRegistry::RegisterClass(std::u16string name,
                                      std::shared_ptr<const TPdfRegisteredClass> registeredClass) {
  std::lock_guard lock(mutex_);
  entries_.push_back({std::move(name), std::move(registeredClass)});
}

void TPdfClassRegistry::UnregisterClass(std::u16string_view name) {
  std::lock_guard lock(mutex_);
  const Entry* found = Find(name);
  if (found != nullptr) entries_.erase(entries_.begin() + (found - entries_.data()));
}

const TPdfClassRegistry::Entry* TPdfClassRegistry::Find(std::u16string_view name) const {
  auto found = std::find_if(entries_.begin(), entries_.end(),
                            [name](const Entry& entry) { return SameFontName(entry.name, name); });
  return found != entries_.end() ? &*found : nullptr;
}

const TPdfRegisteredClass* TPdfClassRegistry::FindClass(std::u16string_view name) const {
  std::lock_guard lock(mutex_);
  const Entry* found = Find(name);
  return found != nullptr ? found->registeredClass.get() : nullptr;
}

const TPdfFontClass& TPdfClassRegistry::FindFontClass(std::u16string_view name) const {
  auto* fontClass = dynamic_cast<const TPdfFontClass*>(FindClass(name));
  if (fontClass == nullptr) throw EClassNotFound(name);
  return *fontClass;
}

std::vector<std::u16string> TPdfClassRegistry::Names() const {
  std::lock_guard lock(mutex_);
  std::vector<std::u16string> names;
  for (const Entry& entry : entries_) names.push_back(entry.name);
  return names;
}

TPdfClassRegistry& PdfClassRegistry() {
  static TPdfClassRegistry registry;
  static std::once_flag filled;
  std::call_once(filled, [] {
    for (RegistrationFunction registerUnit : kRegistrationOrder) registerUnit(registry);
  });
  return registry;
}

}  // namespace varnolt
