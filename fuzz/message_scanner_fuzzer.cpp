// The message scanner against the message pattern: on any bytes, the scanner finds the bodies
// the pattern finds, body for body (compared in the engine's form). A search that the pattern
// gives up on (its engine's limits) proves nothing and is skipped.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/message_scanner.h"
#include "engine/patterns.h"
#include "fuzz_support.h"
#include "regex/regex_service.h"
#include "text/charset.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  gw::fuzz::Trace("text", text);
  static gw::RegexService pattern = [] {
    gw::RegexService compiled;
    compiled.create(gw::MessagePattern());
    return compiled;
  }();
  const int count = pattern.execute(text);
  std::vector<gw::MessageBody> bodies;
  gw::fuzz::Check(gw::ScanMessages(text, bodies), "a scan without interruption ends");
  if (pattern.searchFailed()) {
    return 0;
  }
  gw::fuzz::Check(bodies.size() == static_cast<std::size_t>(count),
                  "the scanner finds as many bodies as the pattern");
  for (int i = 1; i <= count; ++i) {
    const gw::MessageBody& body = bodies[static_cast<std::size_t>(i - 1)];
    gw::fuzz::Check(body.start < body.end && body.end <= text.size(), "a body lies in the text");
    const std::u16string found =
        gw::GbkToUtf16(std::string_view(text).substr(body.start, body.end - body.start));
    gw::fuzz::Check(found == pattern.matchView(i, pattern.subMatchTookPart(i, 2) ? 2 : 1),
                    "the scanner's body is the pattern's");
  }
  return 0;
}
