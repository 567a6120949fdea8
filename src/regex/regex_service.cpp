#include "regex/regex_service.h"

#include <limits>
#include <utility>

#include "regex/pcre2_engine.h"
#include "regex/regex_dialect.h"
#include "text/charset.h"
#include "text/gbk_chars.h"

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
  return true;
}

int RegexService::execute(std::string_view subject) {
  matches_ = MatchList{};
  if (!engine_ || !engine_->valid()) {
    return 0;
  }
  return search(GbkToUtf16(UntilFirstNul(subject)));
}

int RegexService::execute(std::string&& subject) {
  matches_ = MatchList{};
  if (!engine_ || !engine_->valid()) {
    return 0;
  }
  std::u16string converted = GbkToUtf16(UntilFirstNul(subject));
  std::string().swap(subject);
  return search(std::move(converted));
}

int RegexService::search(std::u16string subject) {
  if (subject.size() >= kUnset) {
    return 0;
  }
  MatchList found;
  found.subject = std::move(subject);
  found.groupCount = engine_->groupCount();
  found.stride = 2 * (static_cast<std::size_t>(found.groupCount) + 1);
  const bool ok = engine_->forEachMatch(found.subject, global_, [&found](const std::size_t* ov) {
    for (std::size_t k = 0; k < found.stride; ++k) {
      found.offsets.push_back(ov[k] == kEngineUnset ? kUnset : static_cast<std::uint32_t>(ov[k]));
    }
  });
  if (!ok) {
    return 0;
  }
  found.count = ClampToInt(found.offsets.size() / found.stride);
  matches_ = std::move(found);
  return matches_.count;
}

std::string RegexService::pattern() const {
  return engine_ ? pattern_ : std::string();
}

std::string RegexService::replace(std::string_view subject, std::string_view replacement) {
  if (!engine_ || !engine_->valid()) {
    return {};
  }
  const std::u16string text = GbkToUtf16(UntilFirstNul(subject));
  const ReplacementTemplate expansion(GbkToUtf16(UntilFirstNul(replacement)),
                                      engine_->groupCount());
  std::u16string result;
  std::size_t copied = 0;
  bool matched = false;
  const bool ok = engine_->forEachMatch(text, global_, [&](const std::size_t* ov) {
    if (!matched) {
      result.reserve(text.size());
      matched = true;
    }
    result.append(text, copied, ov[0] - copied);
    expansion.expand(text, ov, result);
    copied = ov[1];
  });
  if (!ok) {
    return {};
  }
  if (!matched) {
    // Nothing to replace: the subject comes back as it was, without a second conversion.
    return std::string(UntilFirstNul(subject));
  }
  result.append(text, copied);
  return Utf16ToGbk(result);
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
  return Utf16ToGbk(std::u16string_view(matches_.subject).substr(group[0], group[1] - group[0]));
}

std::string RegexService::matchText(int i) const {
  return textOf(i, 0, nullptr);
}

std::string RegexService::subMatchText(int i, int j) const {
  return j < 1 ? std::string() : textOf(i, j, nullptr);
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
