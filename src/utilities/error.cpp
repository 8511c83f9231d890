#include "utilities/error.h"

#include <cerrno>
#include <cstring>

namespace varnel {

std::string SystemErrorReason(int errnoValue) {
    switch (errnoValue) {
        case EACCES: return "权限不足";
        case EPERM: return "不允许此操作";
        case EEXIST: return "目标已存在";
        case ENOTEMPTY: return "目标文件夹不是空的";
        case EXDEV: return "跨文件系统";
        case ENOENT: return "文件或文件夹不存在";
        case ENOTDIR: return "路径中的一段不是文件夹";
        case EISDIR: return "是文件夹";
        case EBUSY: return "正被占用";
        case ETXTBSY: return "文件正在运行";
        case EROFS: return "只读文件系统";
        case ENOSPC: return "磁盘空间不足";
        case EDQUOT: return "超出磁盘配额";
        case ENAMETOOLONG: return "名称或路径过长";
        case ELOOP: return "符号链接层数过多";
        case EINVAL: return "参数无效";
        case EIO: return "读写出错";
        case EMLINK: return "链接数过多";
        case ENOMEM: return "内存不足";
        case EMFILE:
        case ENFILE: return "打开的文件过多";
        case EFBIG: return "文件过大";
        case ENOTSUP: return "文件系统不支持此操作";
        case EINTR: return "操作被中断";
        case ECANCELED: return "操作已取消";
        case ESTALE: return "网络文件句柄已失效";
        default: break;
    }
    return std::strerror(errnoValue);
}

Error MakeSystemError(int errnoValue, std::string path, std::string what) {
    std::string message = std::move(what);
    if (!message.empty()) message.append(": ");
    message.append(SystemErrorReason(errnoValue));
    return Error{errnoValue, std::move(message), std::move(path)};
}

std::string FailureReason(const Error& error) {
    return error.code > 0 ? SystemErrorReason(error.code) : error.message;
}

}  // namespace varnel
