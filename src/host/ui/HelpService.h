#pragma once
// Opens help files.

#include <filesystem>

namespace paperloom::ui {

class HelpService {
public:
    virtual ~HelpService() = default;
    // Opens the file at its table of contents.
    virtual void ShowContents(const std::filesystem::path& helpFile) = 0;
};

}  // namespace paperloom::ui
