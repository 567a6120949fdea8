// The bytes of an article file in the encoding chosen with "组合框文章编码". Articles are composed
// in GBK; a character that GBK could not hold became "?" long before, when the source was read.
#pragma once

#include <string>
#include <string_view>

#include "engine/options.h"

namespace gw {

// The UTF-8 signature (byte-order mark) that "UTF-8 带签名" puts before the text.
inline constexpr std::string_view kUtf8Signature = "\xEF\xBB\xBF";

// `gbk` as it goes into the file: unchanged for GBK, converted to UTF-8 otherwise, after the
// signature for "UTF-8 带签名" (also when the article is empty, so that the file says what it is).
std::string EncodeArticle(std::string_view gbk, ArticleEncoding encoding);

// The encoding an option value names; an index outside the list means GBK.
ArticleEncoding ArticleEncodingOf(int comboIndex);

}  // namespace gw
