// The folder picker. UI thread only.
#pragma once

#include <string>

namespace varnel {

// The chosen folder exactly as chosen, or "" when the user cancels. includeFiles
// also lists the files; showEditBox and newStyle are what the dialog offers anyway.
std::string PickFolder(const std::string& prompt = "请选择一个文件夹", bool includeFiles = false,
                       const std::string& initialFolder = {}, bool showEditBox = false,
                       bool newStyle = true);

}  // namespace varnel
