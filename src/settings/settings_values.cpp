#include "settings/settings_values.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <system_error>

#include "text/gbk_chars.h"

namespace gw {
namespace {

constexpr std::string_view kCrLf = "\r\n";

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Reads exactly `width` digits at `at`; nothing when any of them is no digit.
std::optional<int> Digits(std::string_view text, std::size_t at, std::size_t width) {
  int value = 0;
  for (std::size_t i = at; i < at + width; ++i) {
    if (!IsDigit(text[i])) {
      return std::nullopt;
    }
    value = value * 10 + (text[i] - '0');
  }
  return value;
}

}  // namespace

std::string EncodeStoredText(std::string_view text) {
  std::string stored;
  stored.reserve(text.size());
  std::size_t from = 0;
  for (std::size_t at = text.find(kCrLf); at != std::string_view::npos;
       at = text.find(kCrLf, from)) {
    stored.append(text, from, at - from);
    stored.append(kStoredLineBreak);
    from = at + kCrLf.size();
  }
  stored.append(text, from);
  return stored;
}

std::string DecodeStoredText(std::string_view stored) {
  std::string text;
  text.reserve(stored.size());
  for (std::size_t at = 0; at < stored.size();) {
    if (stored.substr(at, kStoredLineBreak.size()) == kStoredLineBreak) {
      text.append(kCrLf);
      at += kStoredLineBreak.size();
      continue;
    }
    const std::size_t length = GbkCharLength(stored, at);
    text.append(stored, at, length);
    at += length;
  }
  return text;
}

std::string FormatStoredNumber(double value) {
  char buffer[400];
  const double magnitude = std::fabs(value);
  // Fixed notation keeps hand-edited files readable; very large or very small magnitudes
  // would need hundreds of digits, so they keep the exponent.
  const bool fixed =
      std::isfinite(value) && (magnitude == 0 || (magnitude >= 1e-6 && magnitude < 1e21));
  const auto result =
      fixed ? std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed)
            : std::to_chars(buffer, buffer + sizeof buffer, value);
  if (result.ec != std::errc()) {
    return "0";
  }
  return std::string(buffer, result.ptr);
}

double ParseStoredNumber(std::string_view text) {
  std::size_t at = 0;
  while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) {
    ++at;
  }
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
    negative = text[at] == '-';
    ++at;
  }
  // Only decimal digits start a number: no "inf", "nan" or hexadecimal.
  const bool startsNumber =
      at < text.size() &&
      (IsDigit(text[at]) || (text[at] == '.' && at + 1 < text.size() && IsDigit(text[at + 1])));
  if (!startsNumber) {
    return 0;
  }
  double value = 0;
  const auto result = std::from_chars(text.data() + at, text.data() + text.size(), value,
                                      std::chars_format::general);
  if (result.ec != std::errc()) {
    return 0;
  }
  return negative ? -value : value;
}

std::string FormatStoredDateTime(std::chrono::sys_seconds time) {
  using namespace std::chrono;
  const sys_days day = floor<days>(time);
  const year_month_day date(day);
  const hh_mm_ss<seconds> clock(time - day);
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%04d-%02u-%02u %02d:%02d:%02d", int(date.year()),
                unsigned(date.month()), unsigned(date.day()), int(clock.hours().count()),
                int(clock.minutes().count()), int(clock.seconds().count()));
  return buffer;
}

std::optional<std::chrono::sys_seconds> ParseStoredDateTime(std::string_view text) {
  using namespace std::chrono;
  if (text.size() != 10 && text.size() != 19) {
    return std::nullopt;
  }
  if (text[4] != '-' || text[7] != '-') {
    return std::nullopt;
  }
  const auto y = Digits(text, 0, 4);
  const auto mo = Digits(text, 5, 2);
  const auto d = Digits(text, 8, 2);
  if (!y || !mo || !d) {
    return std::nullopt;
  }
  const year_month_day date{year(*y), month(unsigned(*mo)), day(unsigned(*d))};
  if (!date.ok()) {
    return std::nullopt;
  }
  int h = 0;
  int mi = 0;
  int s = 0;
  if (text.size() == 19) {
    if (text[10] != ' ' || text[13] != ':' || text[16] != ':') {
      return std::nullopt;
    }
    const auto hh = Digits(text, 11, 2);
    const auto mm = Digits(text, 14, 2);
    const auto ss = Digits(text, 17, 2);
    if (!hh || !mm || !ss || *hh > 23 || *mm > 59 || *ss > 59) {
      return std::nullopt;
    }
    h = *hh;
    mi = *mm;
    s = *ss;
  }
  return sys_days(date) + hours(h) + minutes(mi) + seconds(s);
}

}  // namespace gw
