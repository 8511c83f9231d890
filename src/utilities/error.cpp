#include "utilities/error.h"

#include <cerrno>
#include <string>

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
        case EILSEQ: return "文字编码无效或不完整";
        case EAGAIN: return "资源暂时不可用";
        case ETIMEDOUT: return "连接超时";
        case ECONNREFUSED: return "连接被拒绝";
        case ECONNRESET: return "连接被对方重置";
        case EHOSTUNREACH:
        case ENETUNREACH: return "网络不可达";
        case ENXIO: return "设备不存在";
        case ENODATA: return "没有这项数据";
        case E2BIG: return "参数过长";
        case ERANGE: return "结果超出范围";
        case EOVERFLOW: return "数值超出范围";
        case EBADF: return "文件句柄无效";
        case EFAULT: return "地址无效";
        case ENOSYS: return "系统不支持此功能";
        case EPIPE: return "连接已断开";
        default: break;
    }
    // Never the C library's English text: the number says which error it was.
    return "系统错误（代码 " + std::to_string(errnoValue) + "）";
}

Error MakeSystemError(int errnoValue, std::string path, std::string what) {
    std::string message = std::move(what);
    if (!message.empty()) message.append(": ");
    message.append(SystemErrorReason(errnoValue));
    return Error{errnoValue, std::move(message), std::move(path)};
}

std::string FailureReason(const Error& error) {
    if (error.code <= 0) return error.message;
    // A step that said why in its own words is heard; a message that only wraps the
    // system's reason ("what: reason") or says nothing gives the reason alone.
    std::string system = SystemErrorReason(error.code);
    if (error.message.empty() || error.message.ends_with(system)) return system;
    return error.message;
}

}  // namespace varnel
