// Finds the messages of an export's GBK text as the message pattern (MessagePattern()) finds
// them, without the regular-expression engine: no UTF-16 form of the whole text is made, and
// the bodies are read as byte ranges of the text itself.
//
// What the pattern finds, position by position from where the last match ended:
// - a sender line: a stamp ("2024-1-5 08:09:10": four digits, "-" or "/", one or two digits,
//   "-" or "/", one or two digits, one to four spaces, then one or two digits twice followed by
//   ":" and one or two digits), at least one more character up to the line end, and CR LF;
// - then a body that does not begin with a header block and runs, at least one character long,
//   up to the next place where a stamp or a header block begins (the match ends there), or, when
//   there is none, to the end of the text.
// A header block is a "=" line (64 of them), "消息分组:" and the rest of its line, a "=" line,
// "消息对象:" and the rest of its line, and a "=" line not followed by more of its line; the
// export's title line "消息记录（此消息记录为文本格式，不支持重新导入）" with its CR LF and any
// blank lines may come first. Every character of a stamp, a "=" line or a line end is one byte
// below 0x40, which is never the second byte of a double-byte character, so that those are found
// byte by byte; only the title line needs to be checked to begin on a character of its own.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace gw {

// A message body: the bytes [start, end) of the text.
struct MessageBody {
  std::uint32_t start = 0;
  std::uint32_t end = 0;
};

// Appends the bodies of `text` (up to its first NUL byte, as the pattern sees it) to `bodies`, in
// order. `interrupted` is asked now and then; when it says so the scan gives up and returns
// false, as it does at once for a text of more than 4 GB.
bool ScanMessages(std::string_view text, std::vector<MessageBody>& bodies,
                  const std::function<bool()>& interrupted = {});

}  // namespace gw
