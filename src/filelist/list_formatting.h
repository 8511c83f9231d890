// How the file list writes sizes and file types.
#pragma once

#include <string>
#include <string_view>

namespace varnel {

// A size in the largest unit it reaches (" B", " KB", " MB", then "GB", "TB", "PB",
// "EB"), rounded to 2 decimals; maxUnit 1..6 caps the unit, 0 or anything else
// means automatic.
std::string FormatByteSize(double size, int maxUnit = 0);

// The description of a file type by its extension (without the dot), from the
// shared MIME database, by name only; "无格式文件" without an extension, "EXT 文件"
// for a type the database does not know. Cached per extension; safe on any thread.
std::string GetFileTypeDescription(std::string_view extension);

}  // namespace varnel
