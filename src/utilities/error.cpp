#include "utilities/error.h"

#include <cstring>

namespace varnel {

Error MakeSystemError(int errnoValue, std::string path, std::string what) {
    std::string message = std::move(what);
    if (!message.empty()) message.append(": ");
    message.append(std::strerror(errnoValue));
    return Error{errnoValue, std::move(message), std::move(path)};
}

}  // namespace varnel
