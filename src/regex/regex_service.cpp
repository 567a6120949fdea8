#include "regex/regex_service.h"

#include <limits>
#include <utility>

#include "regex/engine_text.h"
#include "regex/pcre2_engine.h"
#include "regex/regex_dialect.h"
#include "text/charset.h"
#include "text/gbk_chars.h"
#include "text/memory_pages.h"

namespace gw {
namespace {

// PCRE2's mark of a group that took no part in a match.
constexpr std::size_t kEngineUnset = std::numeric_limits<std::size_t>::max();
constexpr std::uint32_t kUnset = std::numeric_limits<std::uint32_t>::max();

int ClampToInt(std::size_t value) {
  return value > static_cast<std::size_t>(std::numeric_limits<int>::max())
             ? std::numeric_limits<int>::max()
             : static_cast<int>(value);
}

}  // namespace

RegexService::RegexService() = default;
RegexService::~RegexService() = default;
RegexService::RegexService(RegexService&&) noexcept = default;
RegexService& RegexService::operator=(RegexService&&) noexcept = default;

bool RegexService::create(std::string_view pattern, bool ignoreCase, bool multiline, bool global) {
  pattern_ = std::string(UntilFirstNul(pattern));
  global_ = global;
  engine_ = std::make_unique<Pcre2Pattern>(GbkToUtf16(pattern_), ignoreCase, multiline);
  replacement_.reset();
  return true;
}

RegexService::Utf16Text RegexService::engineFormOf(std::string_view subject) {
  const std::string_view text = UntilFirstNul(subject);
  Utf16Text converted{MakeRoom<char16_t>(text.size()), 0};
  converted.size = GbkToUtf16Into(text, converted.units.get());
  return converted;
}

int RegexService::execute(std::string_view subject) {
  matches_ = MatchList{};
  searchFailed_ = false;
  if (!engine_ || !engine_->valid()) {
    return 0;
  }
  return search(engineFormOf(subject));
}

int RegexService::execute(std::string&& subject) {
  matches_ = MatchList{};
  searchFailed_ = false;
  if (!engine_ || !engine_->valid()) {
    return 0;
  }
  Utf16Text converted = engineFormOf(subject);
  std::string().swap(subject);
  return search(std::move(converted));
}

int RegexService::search(Utf16Text subject) {
  if (subject.size >= kUnset) {
    searchFailed_ = true;  // offsets of such a text do not fit the match list
    return 0;
  }
  MatchList found;
  found.subject = std::move(subject);
  found.groupCount = engine_->groupCount();
  found.stride = 2 * (static_cast<std::size_t>(found.groupCount) + 1);
  // The interruption is asked once every this many matches: often enough for a prompt stop,
  // rarely enough to cost nothing.
  constexpr std::size_t kMatchesBetweenQuestions = 1024;
  bool interrupted = false;
  const bool ok = engine_->forEachMatch(found.subject.view(), global_, [&](const std::size_t* ov) {
    for (std::size_t k = 0; k < found.stride; ++k) {
      found.offsets.push_back(ov[k] == kEngineUnset ? kUnset : static_cast<std::uint32_t>(ov[k]));
    }
    const std::size_t matchesSoFar = found.offsets.size() / found.stride;
    interrupted = interrupted_ && matchesSoFar % kMatchesBetweenQuestions == 0 && interrupted_();
    return !interrupted;
  });
  if (!ok) {
    searchFailed_ = !interrupted;
    return 0;
  }
  found.count = ClampToInt(found.offsets.size() / found.stride);
  matches_ = std::move(found);
  return matches_.count;
}

std::string RegexService::pattern() const {
  return engine_ ? pattern_ : std::string();
}

const ReplacementTemplate& RegexService::expansionFor(std::string_view replacement) {
  replacement = UntilFirstNul(replacement);
  if (!replacement_ || replacementText_ != replacement) {
    // Units that GBK cannot hold are "?" already: they come back so in every result.
    std::u16string units;
    AppendGbkRoundTrip(GbkToUtf16(replacement), units);
    replacement_ = std::make_unique<ReplacementTemplate>(units, engine_->groupCount());
    replacementText_.assign(replacement);
  }
  return *replacement_;
}

bool RegexService::replaceInto(std::u16string_view subject, const ReplacementTemplate& expansion,
                               std::u16string& out, bool& replaced) {
  std::size_t copied = 0;
  replaced = false;
  const bool ok = engine_->forEachMatch(subject, global_, [&](const std::size_t* ov) {
    if (!replaced) {
      out.reserve(out.size() + subject.size());
      replaced = true;
    }
    out.append(subject, copied, ov[0] - copied);
    expansion.expand(subject, ov, out);
    copied = ov[1];
  });
  if (ok && replaced) {
    out.append(subject, copied);
  }
  return ok;
}

std::string RegexService::replace(std::string_view subject, std::string_view replacement) {
  searchFailed_ = false;
  if (!engine_ || !engine_->valid()) {
    return {};
  }
  subject = UntilFirstNul(subject);
  const ReplacementTemplate& expansion = expansionFor(replacement);
  const std::u16string text = GbkToUtf16(subject);
  std::u16string result;
  bool replaced = false;
  if (!replaceInto(text, expansion, result, replaced)) {
    searchFailed_ = true;
    return {};
  }
  if (!replaced) {
    // Nothing to replace: the subject comes back as it was, without a second conversion.
    return std::string(subject);
  }
  return Utf16ToGbk(result);
}

bool RegexService::replaceIn(EngineText& text, std::string_view replacement) {
  searchFailed_ = false;
  if (!engine_ || !engine_->valid()) {
    text.clear();
    return false;
  }
  const ReplacementTemplate& expansion = expansionFor(replacement);
  text.spare_.clear();
  bool replaced = false;
  if (!replaceInto(text.units_, expansion, text.spare_, replaced)) {
    searchFailed_ = true;
    text.clear();
    return false;
  }
  if (replaced) {
    text.takeReplacement();
  }
  return true;
}

bool RegexService::findsMatchIn(const EngineText& text) {
  searchFailed_ = false;
  if (!engine_ || !engine_->valid()) {
    return false;
  }
  // Every match is looked for, as execute() does: an engine failure after the first match
  // finds nothing there either.
  bool found = false;
  const bool ok =
      engine_->forEachMatch(text.view(), global_, [&found](const std::size_t*) { found = true; });
  searchFailed_ = !ok;
  return ok && found;
}

int RegexService::matchCount() const {
  return matches_.count;
}

const std::uint32_t* RegexService::span(int i, int j) const {
  if (i < 1 || i > matches_.count || j < 0 || j > matches_.groupCount) {
    return nullptr;
  }
  return matches_.offsets.data() + static_cast<std::size_t>(i - 1) * matches_.stride +
         2 * static_cast<std::size_t>(j);
}

std::string RegexService::textOf(int i, int j, int* firstIndex) const {
  const std::uint32_t* group = span(i, j);
  if (group == nullptr) {
    return {};
  }
  if (firstIndex != nullptr) {
    *firstIndex = ClampToInt(span(i, 0)[0]);
  }
  if (group[0] == kUnset || group[1] <= group[0]) {
    return {};
  }
  return Utf16ToGbk(matches_.subject.view().substr(group[0], group[1] - group[0]));
}

std::u16string_view RegexService::matchView(int i, int j) const {
  const std::uint32_t* group = span(i, j);
  if (group == nullptr || group[0] == kUnset || group[1] <= group[0]) {
    return {};
  }
  return matches_.subject.view().substr(group[0], group[1] - group[0]);
}

std::string RegexService::matchText(int i) const {
  return textOf(i, 0, nullptr);
}

std::string RegexService::subMatchText(int i, int j) const {
  return j < 1 ? std::string() : textOf(i, j, nullptr);
}

bool RegexService::subMatchTookPart(int i, int j) const {
  const std::uint32_t* group = j < 1 ? nullptr : span(i, j);
  return group != nullptr && group[0] != kUnset;
}

int RegexService::subMatchCount() const {
  return matches_.count > 0 ? matches_.groupCount : 0;
}

std::string RegexService::matchTextAt(int i, int* firstIndex) const {
  return textOf(i, 0, firstIndex);
}

std::string RegexService::subMatchTextAt(int i, int j, int* firstIndex) const {
  return j < 1 ? std::string() : textOf(i, j, firstIndex);
}

bool RegexService::isValid() const {
  return engine_ && engine_->valid();
}

std::string RegexService::compileError() const {
  return engine_ && !engine_->valid() ? Utf16ToGbk(engine_->error()) : std::string();
}

int RegexService::compileErrorOffset() const {
  return engine_ && !engine_->valid() ? ClampToInt(engine_->errorOffset()) : -1;
}

}  // namespace gw
