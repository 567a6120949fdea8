// What the user is told when a source of a run, a preview or the batch replacer is not read.
#pragma once

#include <filesystem>
#include <string>

#include "text/source_reader.h"

namespace gw {

// The message for a source that was not read (GBK, naming the file): "无法读取文件：" for a file
// that cannot be opened, followed by the system's reason in full-width brackets when `error` (an
// errno value) is known, and for a file refused for its size a text that names the limit.
// `status` Read gives the empty text.
std::string SourceProblemText(SourceStatus status, const std::filesystem::path& path,
                              int error = 0);

// The message for a source that was read but holds no sender line, so no chat message (GBK,
// naming the file): "未找到聊天消息：" and the path.
std::string NoChatMessagesText(const std::filesystem::path& path);

}  // namespace gw
