// What an article needs once its paragraphs are joined: its punctuation runs folded into one
// mark, a title picked from its own sentences, and the chosen word and the title keyword put into
// the title. Every draw comes from the article's own generator, so that articles can be finished
// on any thread, in any order, and still come out the same.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/options.h"
#include "engine/title_sentence.h"
#include "regex/regex_service.h"

namespace gw {

struct FinishedArticle {
  std::string title;  // GBK, before the file-name cleaning
  std::string text;   // GBK
  // The file's bytes when the article encoding is not GBK (see EncodeArticle).
  std::optional<std::string> encoded;

  std::string_view fileBytes() const { return encoded ? *encoded : text; }
};

// Holds the compiled patterns of finishing; one instance serves one thread at a time.
class ArticleFinisher {
 public:
  ArticleFinisher();

  // `article` finished with the title options of `options` and draws seeded with `seed`, and
  // encoded for its file as "组合框文章编码" says.
  // `titleWord`, when not empty, is the article's chosen word, put into the title before the
  // title keyword.
  FinishedArticle finish(std::string article, const Options& options, std::string_view titleWord,
                         std::uint64_t seed);

 private:
  RegexService markup_;
  TitleSentencePicker titles_;
};

}  // namespace gw
