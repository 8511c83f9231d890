// Where the four tag tasks (names from tags, tag write, tag convert, tag copy)
// enter their panels and runners into the batch task area.
#pragma once

#include <functional>

namespace varnel {

class BatchTaskArea;

// showAttributesColumn: shows the list's 文件属性 column as its menu item does
// (the names-from-tags task asks for it at every run). The returned function
// reads the list's current file into the tag write panel, when that panel exists
// and asks for it; the preview of a chosen sound row calls it.
std::function<void()> RegisterId3Tasks(BatchTaskArea& area, std::function<void()> showAttributesColumn);

}  // namespace varnel
