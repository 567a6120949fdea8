#include "engine/system_reason.h"

#include <cerrno>
#include <cstring>

namespace gw {
namespace {

struct Reason {
  int error;
  const char* text;
};

// The wording of the system's Chinese messages, kept here so that the program speaks Chinese
// even where no Chinese locale is installed.
constexpr Reason kReasons[] = {
    {ENOENT, "没有那个文件或目录"}, {EISDIR, "是一个目录"},
    {EACCES, "权限不够"},           {EPERM, "权限不够"},
    {ENOTDIR, "不是目录"},          {ENAMETOOLONG, "文件名过长"},
    {ELOOP, "符号连接的层数过多"},  {EFBIG, "文件过大"},
    {ENOSPC, "设备上没有空间"},     {EROFS, "只读文件系统"},
    {EIO, "输入/输出错误"},         {EDQUOT, "超出磁盘限额"},
    {EMFILE, "打开的文件过多"},     {ENFILE, "系统中打开的文件过多"},
    {ENXIO, "没有那个设备或地址"},  {ENODEV, "没有那个设备"},
    {ETXTBSY, "文本文件忙"},        {EBUSY, "设备或资源忙"},
    {EEXIST, "文件已存在"},         {ENOMEM, "无法分配内存"},
    {EINVAL, "无效的参数"},         {EOVERFLOW, "对已定义的数据类型来说值过大"},
    {ESTALE, "过旧的文件控柄"},
};

}  // namespace

std::string SystemErrorReason(int error) {
  for (const Reason& reason : kReasons) {
    if (reason.error == error) {
      return reason.text;
    }
  }
  return std::strerror(error);
}

}  // namespace gw
