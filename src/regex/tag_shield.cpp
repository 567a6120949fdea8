#include "regex/tag_shield.h"

#include <utility>

#include "text/gbk_chars.h"

namespace gw {
namespace {

// A range [begin, end) of the source text and what goes in its place.
struct Splice {
  std::size_t begin;
  std::size_t end;
  std::string_view with;
};

// Builds `text` with the splices (given from the last to the first) applied, in one pass.
std::string ApplyBackwardSplices(std::string_view text, const std::vector<Splice>& splices) {
  std::string out;
  out.reserve(text.size());
  std::size_t copied = 0;
  for (auto it = splices.rbegin(); it != splices.rend(); ++it) {
    out.append(text, copied, it->begin - copied);
    out.append(it->with);
    copied = it->end;
  }
  out.append(text, copied);
  return out;
}

std::string RemoveAll(std::string_view text, std::string_view what) {
  std::string out;
  out.reserve(text.size());
  std::size_t copied = 0;
  for (std::size_t found = text.find(what); found != std::string_view::npos;
       found = text.find(what, copied)) {
    out.append(text, copied, found - copied);
    copied = found + what.size();
  }
  out.append(text, copied);
  return out;
}

}  // namespace

const std::string TagShield::kDefaultPlaceholder(10, '\xFF');

std::string TagShield::shield(std::string_view input, std::string_view placeholder, bool discard) {
  const std::string_view text = UntilFirstNul(input);
  placeholder_ = placeholder.empty() ? kDefaultPlaceholder : std::string(placeholder);
  if (!discard) {
    pieces_.clear();
  }

  // From the end: the last ">" in reach and the last "<" before it. The tag of that "<" ends at
  // the first ">" after it, so the ">"s in between close nothing. Every byte is looked at a
  // bounded number of times, however many tags and stray brackets the text holds.
  std::vector<Splice> tags;
  std::size_t reach = text.size();
  while (reach > 0) {
    const std::size_t gt = text.rfind('>', reach - 1);
    if (gt == std::string_view::npos) {
      break;
    }
    const std::size_t lt = text.rfind('<', gt);
    if (lt == std::string_view::npos) {
      break;
    }
    const std::size_t close = text.find('>', lt);
    tags.push_back({lt, close + 1, placeholder_});
    if (!discard) {
      pieces_.emplace_back(text.substr(lt, close + 1 - lt));
    }
    reach = lt;
  }

  std::string result = ApplyBackwardSplices(text, tags);
  if (discard && placeholder.empty()) {
    result = RemoveAll(result, kDefaultPlaceholder);
  }
  return result;
}

std::string TagShield::restore(std::string_view input) const {
  const std::string_view text = UntilFirstNul(input);
  std::vector<Splice> spots;
  if (!placeholder_.empty()) {
    std::size_t reach = text.size();  // a placeholder must end at or before this offset
    for (const std::string& piece : pieces_) {
      if (reach < placeholder_.size()) {
        break;
      }
      const std::size_t found = text.rfind(placeholder_, reach - placeholder_.size());
      if (found == std::string_view::npos) {
        break;
      }
      spots.push_back({found, found + placeholder_.size(), piece});
      reach = found;
    }
  }
  return ApplyBackwardSplices(text, spots);
}

}  // namespace gw
