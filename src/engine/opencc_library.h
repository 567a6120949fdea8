// The conversion library (OpenCC), loaded when a conversion is first asked for rather than when
// the program starts: most runs convert nothing, and loading it with its own dependencies at every
// start costs each run more than a millisecond. Only its C functions are used, so nothing of the
// program's own C++ runtime crosses into the library's.
#pragma once

#include <cstddef>
#include <string>

namespace gw {

class OpenccLibrary {
 public:
  using Handle = void*;

  // The library of the process, loaded on first use (from any thread) and kept until the process
  // ends.
  static const OpenccLibrary& Get();

  // False when the library could not be loaded; loadError() then says why.
  bool loaded() const { return loaded_; }
  const std::string& loadError() const { return loadError_; }

  // The library's own functions (only once loaded): open returns null on failure, where the
  // library returns (opencc_t)-1.
  Handle open(const char* config) const;
  void close(Handle handle) const;
  char* convertUtf8(Handle handle, const char* text, std::size_t length) const;
  void freeText(char* text) const;
  std::string lastError() const;

 private:
  OpenccLibrary();

  bool loaded_ = false;
  std::string loadError_;
  void* (*open_)(const char*) = nullptr;
  int (*close_)(void*) = nullptr;
  char* (*convertUtf8_)(void*, const char*, std::size_t) = nullptr;
  void (*freeText_)(char*) = nullptr;
  const char* (*error_)() = nullptr;
};

}  // namespace gw
