// Replacement of listed substrings: "a|b" replaced by "x|y".
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace gw {

// Splits at every occurrence of `separator` that starts a character: a leading separator and two
// adjacent ones give empty pieces, nothing follows a trailing separator, an empty text gives no
// pieces.
std::vector<std::string> SplitList(std::string_view text, std::string_view separator);
// The same pieces as views into `text`.
std::vector<std::string_view> SplitListViews(std::string_view text, std::string_view separator);

// Replaces the entries of `finds` by the entries of `replacements` at the same place, entry by
// entry in list order, each on the result of the previous one. Missing replacements are empty;
// with `fillFromFirst` an empty replacement takes the first one instead. At most `maxCount`
// occurrences of each entry are replaced (below 1: every occurrence). Matching is exact or, with
// `caseSensitive` off, ignores the case of ASCII letters; an entry only matches at a character
// start, so it never matches across a character boundary. An empty separator means "|".
std::string ReplaceList(std::string text, std::string_view finds, std::string_view replacements,
                        bool caseSensitive, bool fillFromFirst, std::string_view separator = "|",
                        int maxCount = 0);

// ReplaceList with every replacement empty, done within the `size` bytes at `data`: the text
// left is moved to the front. Returns its size.
std::size_t RemoveListInPlace(char* data, std::size_t size, std::string_view finds,
                              bool caseSensitive);

}  // namespace gw
