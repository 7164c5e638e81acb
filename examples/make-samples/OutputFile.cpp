#include "OutputFile.h"

#include <unistd.h>

#include <stdexcept>
#include <string>

namespace paperloom::samples {

void RefuseToOverwrite(const std::filesystem::path& path, bool overwrite) {
    if (!overwrite && std::filesystem::exists(path)) {
        throw std::runtime_error(path.string() + " exists; pass --force to replace it");
    }
}

std::filesystem::path ScratchNameBeside(const std::filesystem::path& path) {
    for (int attempt = 0;; ++attempt) {
        std::filesystem::path candidate = path;
        candidate += ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
        if (!std::filesystem::exists(candidate)) return candidate;
    }
}

}  // namespace paperloom::samples
