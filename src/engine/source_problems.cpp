#include "engine/source_problems.h"

#include "engine/system_reason.h"
#include "text/charset.h"

namespace gw {
namespace {

// The messages, converted to GBK once; the limit is written in megabytes.
struct SourceProblemTexts {
  std::string unreadable = Utf8ToGbk("无法读取文件：");
  std::string noChatMessages = Utf8ToGbk("未找到聊天消息：");
  std::string tooLarge =
      Utf8ToGbk("文件超过 " + std::to_string(kMaxSourceBytes >> 20) + " MB，未读取：");
  std::string inflatesTooLarge =
      Utf8ToGbk("文件解压后超过 " + std::to_string(kMaxSourceBytes >> 20) + " MB，未读取：");
};

const SourceProblemTexts& Texts() {
  static const SourceProblemTexts texts;
  return texts;
}

}  // namespace

std::string SourceProblemText(SourceStatus status, const std::filesystem::path& path, int error) {
  const std::string name = Utf8ToGbk(path.string());
  switch (status) {
    case SourceStatus::Unreadable:
      if (error != 0) {
        return Texts().unreadable + name + Utf8ToGbk("（" + SystemErrorReason(error) + "）");
      }
      return Texts().unreadable + name;
    case SourceStatus::TooLarge:
      return Texts().tooLarge + name;
    case SourceStatus::InflatesTooLarge:
      return Texts().inflatesTooLarge + name;
    case SourceStatus::Read:
    case SourceStatus::Stopped:  // the user's own doing: no problem to tell
      break;
  }
  return {};
}

std::string NoChatMessagesText(const std::filesystem::path& path) {
  return Texts().noChatMessages + Utf8ToGbk(path.string());
}

}  // namespace gw
