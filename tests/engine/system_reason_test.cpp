#include "engine/system_reason.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "engine/source_problems.h"
#include "text/charset.h"

namespace gw {
namespace {

TEST(SystemErrorReason, TheErrorsOfReadingAndWritingAreToldInChineseWhateverTheLocale) {
  EXPECT_EQ(SystemErrorReason(ENOENT), "没有那个文件或目录");
  EXPECT_EQ(SystemErrorReason(EISDIR), "是一个目录");
  EXPECT_EQ(SystemErrorReason(EACCES), "权限不够");
  EXPECT_EQ(SystemErrorReason(EPERM), "权限不够");
  EXPECT_EQ(SystemErrorReason(ENOTDIR), "不是目录");
  EXPECT_EQ(SystemErrorReason(ENAMETOOLONG), "文件名过长");
  EXPECT_EQ(SystemErrorReason(ELOOP), "符号连接的层数过多");
  EXPECT_EQ(SystemErrorReason(ENOSPC), "设备上没有空间");
  EXPECT_EQ(SystemErrorReason(EROFS), "只读文件系统");
  EXPECT_EQ(SystemErrorReason(EIO), "输入/输出错误");
}

TEST(SystemErrorReason, AnyOtherErrorIsToldAsTheSystemTellsIt) {
  EXPECT_EQ(SystemErrorReason(EPIPE), std::strerror(EPIPE));
}

TEST(SourceProblemText, AnUnreadableSourceNamesTheReasonWhenItIsKnown) {
  EXPECT_EQ(GbkToUtf8(SourceProblemText(SourceStatus::Unreadable, "a/聊天.txt", ENOENT)),
            "无法读取文件：a/聊天.txt（没有那个文件或目录）");
  EXPECT_EQ(GbkToUtf8(SourceProblemText(SourceStatus::Unreadable, "a/聊天.txt")),
            "无法读取文件：a/聊天.txt");
  EXPECT_EQ(GbkToUtf8(SourceProblemText(SourceStatus::TooLarge, "b.txt", EFBIG)),
            "文件超过 512 MB，未读取：b.txt")
      << "a refusal for size has its own text";
}

}  // namespace
}  // namespace gw
