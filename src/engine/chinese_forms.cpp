#include "engine/chinese_forms.h"

#include <opencc/opencc.h>

#include <memory>
#include <mutex>

#include "text/charset.h"

namespace gw {
namespace {

struct OpenccCloser {
  void operator()(void* handle) const { opencc_close(static_cast<opencc_t>(handle)); }
};
using OpenccHandle = std::unique_ptr<void, OpenccCloser>;

struct OpenccText {
  void operator()(char* text) const { opencc_convert_utf8_free(text); }
};

// One converter per direction, opened on first use and kept for the process: loading the
// dictionaries costs far more than a conversion of a chat export.
class Converter {
 public:
  explicit Converter(const char* config) : config_(config) {}

  std::string convert(std::string_view gbk, std::string* error) {
    std::lock_guard lock(mutex_);
    if (!handle_ && !failed_) {
      const opencc_t opened = opencc_open(config_);
      if (opened == reinterpret_cast<opencc_t>(-1)) {
        failed_ = true;
        reason_ = opencc_error();
      } else {
        handle_.reset(opened);
      }
    }
    if (failed_) {
      if (error != nullptr) {
        *error = reason_;
      }
      return std::string(gbk);
    }
    const std::string utf8 = GbkToUtf8(gbk);
    const std::unique_ptr<char, OpenccText> converted(
        opencc_convert_utf8(static_cast<opencc_t>(handle_.get()), utf8.data(), utf8.size()));
    if (!converted) {
      if (error != nullptr) {
        *error = opencc_error();
      }
      return std::string(gbk);
    }
    return Utf8ToGbk(converted.get());
  }

 private:
  const char* config_;
  std::mutex mutex_;
  OpenccHandle handle_;
  bool failed_ = false;
  std::string reason_;
};

}  // namespace

std::string ToSimplifiedChinese(std::string_view gbk, std::string* error) {
  static Converter converter("t2s.json");
  return converter.convert(gbk, error);
}

std::string ToTraditionalChinese(std::string_view gbk, std::string* error) {
  static Converter converter("s2t.json");
  return converter.convert(gbk, error);
}

}  // namespace gw
