// Title picking: any article gives a title without fault; the title is one of the article's
// own pieces, so it is never longer than the article and is GBK whenever the article was, and
// the picker that keeps its patterns gives the titles the one-call form gives.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/random_draw.h"
#include "engine/title_sentence.h"
#include "fuzz_support.h"
#include "text/gbk_chars.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider provider(data, size);
  const int minChars = provider.ConsumeIntegralInRange<int>(-2, 40);
  const std::uint64_t seed = provider.ConsumeIntegral<std::uint64_t>();
  const std::string article(gw::UntilFirstNul(provider.ConsumeRemainingBytesAsString()));
  gw::fuzz::Trace("article", article);

  gw::RandomSource random(seed);
  const std::string title = gw::PickTitleSentence(article, minChars, random);
  gw::fuzz::Trace("title", title);
  gw::fuzz::Check(title.size() <= article.size(), "a title is no longer than its article");
  if (gw::fuzz::IsValidGbk(article)) {
    gw::fuzz::Check(gw::fuzz::IsValidGbk(title), "a GBK article gives a GBK title");
  }

  // The picker, used twice as a run uses it, draws as the one-call form does.
  gw::TitleSentencePicker picker;
  gw::RandomSource again(seed);
  gw::fuzz::Check(picker.pick(article, minChars, again) == title,
                  "the picker agrees with PickTitleSentence");
  gw::RandomSource third(seed);
  gw::fuzz::Check(picker.pick(article, minChars, third) == title,
                  "the picker gives the same title again");
  return 0;
}
