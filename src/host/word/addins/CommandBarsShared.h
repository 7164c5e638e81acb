#pragma once
// What every bar and control of one CommandBars collection reaches: the clipboard faces are
// pasted from, the action runner, and the collection itself (for a bar's index).

#include <memory>
#include <string>
#include <string_view>

#include "host/word/WordError.h"
#include "host/word/addins/Clipboard.h"
#include "host/word/addins/CommandBars.h"

namespace paperloom::word::detail {

struct CommandBarsShared {
    std::shared_ptr<word::Clipboard> clipboard;
    CommandBars::ActionHandler action;
    CommandBars* owner = nullptr;  // cleared when the collection goes
    CommandBars::ChangeHandler changed;

    // Every change a window showing the bars has to follow goes through here.
    void Changed() const {
        if (changed) changed();
    }
};

inline host::HostError InvalidArgument(std::string_view what) {
    return WordError(5, "Invalid procedure call or argument: " + std::string(what));
}

bool SameName(std::string_view a, std::string_view b) noexcept;

}  // namespace paperloom::word::detail
