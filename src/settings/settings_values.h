// How the typed values of the settings file are spelled: text with its line-break marker,
// numbers, booleans and date-times. All texts are GBK bytes.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace gw {

// "┊*┊" in GBK: stands for one CR LF inside a stored text value, so that every value stays on
// one line of the file.
inline constexpr std::string_view kStoredLineBreak = "\xA9\xAE*\xA9\xAE";
// "真" and "假" in GBK: the stored booleans.
inline constexpr std::string_view kStoredTrue = "\xD5\xE6";
inline constexpr std::string_view kStoredFalse = "\xBC\xD9";

// Every CR LF becomes the line-break marker.
std::string EncodeStoredText(std::string_view text);
// Every line-break marker (at a character start) becomes CR LF.
std::string DecodeStoredText(std::string_view stored);

// The shortest decimal text that reads back as the same double, without an exponent for
// ordinary magnitudes: 2 -> "2", 0.5 -> "0.5", 1e6 -> "1000000".
std::string FormatStoredNumber(double value);
// The leading decimal number of `text` (blanks before it and a sign allowed); 0 when the text
// does not start with a number.
double ParseStoredNumber(std::string_view text);

// "YYYY-MM-DD HH:MM:SS".
std::string FormatStoredDateTime(std::chrono::sys_seconds time);
// Reads "YYYY-MM-DD HH:MM:SS" or a bare "YYYY-MM-DD" (midnight); nothing for any other text or
// an impossible date or time.
std::optional<std::chrono::sys_seconds> ParseStoredDateTime(std::string_view text);

}  // namespace gw
