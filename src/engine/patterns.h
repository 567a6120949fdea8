// The program's own regular expressions, as GBK pattern texts.
#pragma once

#include <string>
#include <string_view>

namespace gw {

// The date and time that open a sender line and end the body before it: "2024-05-01 9:05:33".
const std::string& StampPattern();

// Cuts an export into messages: a sender line, then the body up to the next date-time stamp or
// conversation header block (group 1) or, for the final record, to the end of the text (group 2).
// A header block never belongs to a message.
const std::string& MessagePattern();

// Removes line breaks and blank lines inside a message: a line made only of spaces, full-width
// spaces and tabs with its CR LF, or a line end's CR LF. (FoldLineBreaks does the same.)
const std::string& LineFoldPattern();

// Removes the blank margins of an article's lines before its title is picked: a line of blanks
// alone that ends with CR LF (with its CR LF), blanks that begin a line and blanks that end one.
// (TrimLineMargins does the same.)
const std::string& LineTrimPattern();

// A run of two or more punctuation characters (! ? , 。 ！ ？ ， ； ; space, full-width space, ·,
// …). (ReplacePunctuationRuns replaces such runs without it.)
const std::string& PunctuationRunPattern();
// The characters of such a run (GBK).
const std::string& PunctuationRunCharacters();

// A web address: a scheme or "www." followed by characters other than white space, CJK
// ideographs and ( < > " ' ). The scheme class [a-zA-z] also admits the six characters between
// "Z" and "a".
const std::string& WebAddressPattern();

// A run of at least `minimumDigits` digits.
std::string DigitRunPattern(int minimumDigits);

// The longest digit count that DigitRunPattern may carry: the engine rejects a larger count in a
// quantifier, and with it the whole pattern the rule is part of. A longer rule is tested with
// HasDigitRun instead.
inline constexpr int kLongestDigitRunInPattern = 65535;

// Whether `text` holds a run of at least `minimumDigits` digits, as DigitRunPattern finds it: the
// digits are the ASCII digits 0-9 only.
bool HasDigitRun(std::u16string_view text, int minimumDigits);

// Whether `text` holds what every match of WebAddressPattern() or EmailPattern() holds: "://",
// "www" in any case, or "@". A text without them has no such address.
bool MayHoldAddress(std::u16string_view text);

const std::string& EmailPattern();
const std::string& DigitPattern();
const std::string& LetterPattern();

// A markup tag: the shortest run from "<" to the next ">".
const std::string& MarkupPattern();

}  // namespace gw
