#include "engine/opencc_library.h"

#include <dlfcn.h>
#include <opencc/opencc.h>

#include <type_traits>

namespace gw {
namespace {

// Looks up `name` in the loaded library as a function of type `Function`.
template <typename Function>
bool Resolve(void* library, const char* name, Function& function) {
  function = reinterpret_cast<Function>(::dlsym(library, name));
  return function != nullptr;
}

}  // namespace

const OpenccLibrary& OpenccLibrary::Get() {
  // Never destroyed: the converters, which live as long as the process, close their handles
  // through it when the process ends, whichever of them was made first.
  static const OpenccLibrary* const library = new OpenccLibrary;
  return *library;
}

OpenccLibrary::OpenccLibrary() {
  // The types here are those the library's header declares.
  static_assert(std::is_same_v<decltype(open_), decltype(&opencc_open)>);
  static_assert(std::is_same_v<decltype(close_), decltype(&opencc_close)>);
  static_assert(std::is_same_v<decltype(convertUtf8_), decltype(&opencc_convert_utf8)>);
  static_assert(std::is_same_v<decltype(freeText_), decltype(&opencc_convert_utf8_free)>);
  static_assert(std::is_same_v<decltype(error_), decltype(&opencc_error)>);
  // Kept loaded for the rest of the process, as the converters opened from it are.
  void* const library = ::dlopen(GW_OPENCC_SONAME, RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) {
    const char* reason = ::dlerror();
    loadError_ = reason != nullptr ? reason : GW_OPENCC_SONAME;
    return;
  }
  loaded_ = Resolve(library, "opencc_open", open_) && Resolve(library, "opencc_close", close_) &&
            Resolve(library, "opencc_convert_utf8", convertUtf8_) &&
            Resolve(library, "opencc_convert_utf8_free", freeText_) &&
            Resolve(library, "opencc_error", error_);
  if (!loaded_) {
    const char* reason = ::dlerror();
    loadError_ = reason != nullptr ? reason : GW_OPENCC_SONAME;
  }
}

OpenccLibrary::Handle OpenccLibrary::open(const char* config) const {
  const opencc_t opened = open_(config);
  return opened == reinterpret_cast<opencc_t>(-1) ? nullptr : opened;
}

void OpenccLibrary::close(Handle handle) const {
  close_(handle);
}

char* OpenccLibrary::convertUtf8(Handle handle, const char* text, std::size_t length) const {
  return convertUtf8_(handle, text, length);
}

void OpenccLibrary::freeText(char* text) const {
  freeText_(text);
}

std::string OpenccLibrary::lastError() const {
  const char* reason = error_();
  return reason != nullptr ? reason : std::string();
}

}  // namespace gw
