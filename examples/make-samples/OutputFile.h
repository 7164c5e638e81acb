#pragma once
// Rules for the files the sample builders write: an existing file is replaced only when the
// caller asks, and new content is first written under a scratch name in the same folder.

#include <filesystem>

namespace paperloom::samples {

// std::runtime_error naming the file when it exists and `overwrite` is false.
void RefuseToOverwrite(const std::filesystem::path& path, bool overwrite);
// A name that does not exist yet in the folder of `path`.
std::filesystem::path ScratchNameBeside(const std::filesystem::path& path);

}  // namespace paperloom::samples
