// Word insertion: the word list, the word choice, insertion into articles and titles. No fault
// on any input; the output is GBK whenever the input was, every inserted word appears, and the
// output's length is the input's plus the inserted words (plus a space after a word that lands
// at a space or in an English word, where words are kept whole).
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/options.h"
#include "engine/patterns.h"
#include "engine/random_draw.h"
#include "engine/title_decoration.h"
#include "engine/word_insertion.h"
#include "fuzz_support.h"
#include "regex/regex_service.h"
#include "text/gbk_chars.h"

namespace {

using gw::fuzz::Check;
using gw::fuzz::IsValidGbk;

bool AllValid(const std::vector<std::string>& items) {
  for (const std::string& item : items) {
    if (!IsValidGbk(item)) {
      return false;
    }
  }
  return true;
}

std::string Text(FuzzedDataProvider& provider, std::size_t maxLength) {
  return std::string(gw::UntilFirstNul(provider.ConsumeRandomLengthString(maxLength)));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider provider(data, size);
  gw::RandomSource random(provider.ConsumeIntegral<std::uint32_t>());

  // The word list and the words of one article.
  const std::string box = Text(provider, 64);
  gw::fuzz::Trace("box", box);
  const gw::WordList list = gw::PrepareWordList(box);
  // Every item holds a word, except a last item that was only "http://": that one is emptied (and
  // when it was the only item, its copy too).
  for (std::size_t i = 0; i < list.items.size(); ++i) {
    const std::string& item = list.items[i];
    Check(!item.empty() || (list.linkMode && list.items.back().empty() &&
                            (i + 1 == list.items.size() || list.items.size() == 2)),
          "list items are not empty");
    gw::ForEachChar(item, gw::CrLf::AsTwoChars, [&](std::size_t offset, std::size_t) {
      Check(item[offset] != '|', "list items hold no separator");
    });
  }
  gw::Options options;
  options.编辑框插入1 = std::to_string(provider.ConsumeIntegralInRange<int>(-2, 12));
  options.编辑框插入2 = std::to_string(provider.ConsumeIntegralInRange<int>(-2, 12));
  options.选择框每次不同 = provider.ConsumeBool();
  std::string chosenWord = Text(provider, 8);
  gw::NonRepeatingDraw wordDraw(random);
  gw::WordChoice choice;
  if (!list.empty()) {
    choice = gw::ChooseWords(list, options, wordDraw, random, chosenWord);
    Check(choice.count >= 0 && choice.count <= 12, "the count is in the range");
  }

  gw::InsertFlags flags;
  flags.avoidWords = provider.ConsumeBool();
  flags.avoidTags = provider.ConsumeBool();
  flags.fixedStep = provider.ConsumeIntegralInRange<int>(0, 3);
  const std::string title = Text(provider, 32);
  const std::string text(gw::UntilFirstNul(provider.ConsumeRemainingBytesAsString()));
  gw::fuzz::Trace("chosen", chosenWord);
  gw::fuzz::Trace("text", text);

  // InsertWords: every entry of `words` once, or `word` count times (at least once).
  const std::string inserted =
      gw::InsertWords(text, chosenWord, choice.count, choice.words, flags, random);
  std::size_t insertedBytes = 0;
  std::size_t insertions = 0;
  if (!choice.words.empty()) {
    for (const std::string& word : choice.words) {
      insertedBytes += word.size();
    }
    insertions = choice.words.size();
  } else {
    insertions = static_cast<std::size_t>(std::max(choice.count, 1));
    insertedBytes = insertions * chosenWord.size();
  }
  if (text.empty()) {
    Check(inserted.empty(), "an empty text stays empty");
  } else {
    Check(inserted.size() >= text.size() + insertedBytes, "every word is inserted");
    Check(inserted.size() <= text.size() + insertedBytes + (flags.avoidWords ? insertions : 0),
          "nothing but the words and their spaces is inserted");
    if (!flags.avoidWords) {
      Check(inserted.size() == text.size() + insertedBytes, "exactly the words are inserted");
    }
    for (const std::string& word : choice.words) {
      Check(inserted.find(word) != std::string::npos, "an inserted word appears");
    }
    if (choice.words.empty()) {
      Check(inserted.find(chosenWord) != std::string::npos, "the inserted word appears");
    }
    if (IsValidGbk(text) && IsValidGbk(chosenWord) && AllValid(choice.words)) {
      Check(IsValidGbk(inserted), "insertion keeps GBK text whole");
    }
  }

  // A word at random positions of a text.
  const int count = 1 + static_cast<int>(insertedBytes % 4);
  const bool protectEnglish = flags.avoidTags;
  const std::string placed =
      gw::InsertAtRandomPosition(text, chosenWord, count, protectEnglish, random);
  if (text.empty()) {
    Check(placed.empty(), "an empty text stays empty");
  } else {
    const std::size_t exact = text.size() + count * chosenWord.size();
    Check(placed.size() >= exact && placed.size() <= exact + (protectEnglish ? count : 0),
          "the word is placed count times");
    if (IsValidGbk(text) && IsValidGbk(chosenWord)) {
      Check(IsValidGbk(placed), "placing keeps GBK text whole");
    }
  }

  // A word into a title, before, after or at random.
  gw::RegexService markup;
  markup.create(gw::MarkupPattern());
  for (int position = 0; position <= 3; ++position) {
    const std::string decorated = gw::InsertIntoTitle(title, chosenWord, position, markup, random);
    Check(decorated.size() >= title.size(), "the title is kept");
    if (IsValidGbk(title) && IsValidGbk(chosenWord)) {
      Check(IsValidGbk(decorated), "a decorated GBK title is GBK");
    }
  }
  return 0;
}
