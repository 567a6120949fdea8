#include "engine/article_finisher.h"

#include "engine/article_encoding.h"
#include "engine/patterns.h"
#include "engine/punctuation_runs.h"
#include "engine/random_draw.h"
#include "engine/title_decoration.h"
#include "text/charset.h"

namespace gw {
namespace {

struct Marks {
  std::string comma = Utf8ToGbk("，");
  std::string fullStop = Utf8ToGbk("。");
};

const Marks& PunctuationMarks() {
  static const Marks marks;
  return marks;
}

}  // namespace

ArticleFinisher::ArticleFinisher() {
  markup_.create(MarkupPattern());
}

FinishedArticle ArticleFinisher::finish(std::string article, const Options& options,
                                        std::string_view titleWord, std::uint64_t seed) {
  RandomSource random(seed);
  // Five times in eight a run of punctuation becomes a comma, otherwise a full stop.
  const int draw = RandomInRange(random, 1, 8);
  FinishedArticle finished;
  finished.text = ReplacePunctuationRuns(
      article, draw <= 5 ? PunctuationMarks().comma : PunctuationMarks().fullStop);

  std::string title =
      titles_.pick(finished.text, LeadingInteger(options.编辑框标题最少字数), random);
  if (!titleWord.empty()) {
    title = InsertIntoTitle(title, titleWord, options.组合框标题位置, markup_, random);
  }
  if (!options.编辑框标题关键词.empty()) {
    title =
        InsertIntoTitle(title, options.编辑框标题关键词, options.组合框标题位置, markup_, random);
  }
  finished.title = std::move(title);
  const ArticleEncoding encoding = ArticleEncodingOf(options.组合框文章编码);
  if (encoding != ArticleEncoding::Gbk) {
    finished.encoded = EncodeArticle(finished.text, encoding);
  }
  return finished;
}

}  // namespace gw
