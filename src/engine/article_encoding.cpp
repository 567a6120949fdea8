#include "engine/article_encoding.h"

#include "text/charset.h"

namespace gw {

std::string EncodeArticle(std::string_view gbk, ArticleEncoding encoding) {
  switch (encoding) {
    case ArticleEncoding::Utf8:
      return GbkToUtf8(gbk);
    case ArticleEncoding::Utf8WithSignature:
      return std::string(kUtf8Signature) + GbkToUtf8(gbk);
    case ArticleEncoding::Gbk:
      break;
  }
  return std::string(gbk);
}

ArticleEncoding ArticleEncodingOf(int comboIndex) {
  switch (comboIndex) {
    case static_cast<int>(ArticleEncoding::Utf8):
      return ArticleEncoding::Utf8;
    case static_cast<int>(ArticleEncoding::Utf8WithSignature):
      return ArticleEncoding::Utf8WithSignature;
    default:
      return ArticleEncoding::Gbk;
  }
}

}  // namespace gw
