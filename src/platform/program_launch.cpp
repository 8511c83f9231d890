#include "platform/program_launch.h"

#include <glib.h>

namespace varnel {

std::expected<void, Error> StartProgramDetached(const std::string& program,
                                                const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    argv.reserve(arguments.size() + 2);
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    GError* error = nullptr;
    // Without G_SPAWN_DO_NOT_REAP_CHILD the program runs under an intermediate
    // child that exits at once, so no zombie is left; a failed exec is reported.
    if (!g_spawn_async(nullptr, argv.data(), nullptr, static_cast<GSpawnFlags>(0), nullptr, nullptr, nullptr, &error)) {
        Error failure{Error::kInvalidInput, error != nullptr ? error->message : "无法启动程序", program};
        if (error != nullptr) g_error_free(error);
        return std::unexpected(failure);
    }
    return {};
}

}  // namespace varnel
