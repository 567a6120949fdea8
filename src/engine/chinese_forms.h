// Simplified / traditional Chinese conversion of a whole text (OpenCC, phrase-aware).
#pragma once

#include <string>
#include <string_view>

namespace gw {

// Both take and return GBK text. A character whose converted form GBK cannot hold is kept as it
// was. When the conversion data cannot be loaded the text is returned unchanged and `error` (when
// given) receives the reason.
std::string ToSimplifiedChinese(std::string_view gbk, std::string* error = nullptr);
std::string ToTraditionalChinese(std::string_view gbk, std::string* error = nullptr);

}  // namespace gw
