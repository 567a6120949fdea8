// The program's own regular expressions, as GBK pattern texts.
#pragma once

#include <string>

namespace gw {

// Cuts an export into messages: a sender line, then the body up to the next date-time stamp or
// conversation header block (group 1) or, for the final record, to the end of the text (group 2).
// A header block never belongs to a message.
const std::string& MessagePattern();

// Removes line breaks and blank lines inside a message: a line made only of spaces, full-width
// spaces and tabs with its CR LF, or a line end's CR LF.
const std::string& LineFoldPattern();

// A run of two or more punctuation characters (! ? , 。 ！ ？ ， ； ; space, full-width space, ·,
// …).
const std::string& PunctuationRunPattern();

// A web address: a scheme or "www." followed by characters other than white space, CJK
// ideographs and ( < > " ' ). The scheme class [a-zA-z] also admits the six characters between
// "Z" and "a".
const std::string& WebAddressPattern();

// A run of at least `minimumDigits` digits.
std::string DigitRunPattern(int minimumDigits);

const std::string& EmailPattern();
const std::string& DigitPattern();
const std::string& LetterPattern();

// A markup tag: the shortest run from "<" to the next ">".
const std::string& MarkupPattern();

}  // namespace gw
