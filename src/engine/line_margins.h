// Two steps on a text in the engine's form that take line breaks and blanks out, done in one
// pass each instead of by their patterns (LineFoldPattern() and LineTrimPattern(), replaced with
// nothing), with the same result. A blank is a space, a full-width space or a tab; a line begins
// at the start of the text or after a line terminator (LF, CR, U+2028, U+2029) and ends at the
// end of the text or before one.
#pragma once

#include <string>

namespace gw {

// Takes out every CR LF, and every line of blanks alone with its CR LF (LineFoldPattern()).
// Returns whether anything was taken out.
bool FoldLineBreaks(std::u16string& text);

// Takes out every line of blanks alone that ends with CR LF (with its CR LF), the blanks that
// begin a line and the blanks that end one (LineTrimPattern()). Returns whether anything was
// taken out.
bool TrimLineMargins(std::u16string& text);

}  // namespace gw
