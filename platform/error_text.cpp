#include "platform/error_text.h"

#include <cerrno>
#include <cstring>

namespace lct {

std::string errorText(int errorNumber) {
    switch (errorNumber) {
        case ENOENT:
            return "文件或文件夹不存在";
        case EACCES:
        case EPERM:
            return "没有权限";
        case ENOSPC:
            return "磁盘已满";
        case EDQUOT:
            return "超出磁盘配额";
        case EFBIG:
            return "文件太大";
        case EROFS:
            return "只读的文件系统";
        case ENAMETOOLONG:
            return "文件名或路径太长";
        case ELOOP:
            return "符号链接循环";
        case ENOTDIR:
            return "路径中的一级不是文件夹";
        case EISDIR:
            return "是文件夹";
        case EEXIST:
            return "已有同名的文件";
        case EIO:
            return "读写错误";
        case ENOMEM:
            return "内存不足";
        case EMFILE:
        case ENFILE:
            return "打开的文件太多";
        case ENXIO:
        case ENODEV:
            return "不是普通文件";
        case ETXTBSY:
        case EBUSY:
            return "文件正被使用";
        default:
            break;
    }
    std::string text = "系统错误 ";
    text += std::to_string(errorNumber);
    text += "：";
    text += std::strerror(errorNumber);
    return text;
}

}  // namespace lct
