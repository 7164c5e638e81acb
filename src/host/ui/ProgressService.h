#pragma once
// Modeless progress windows: shown over long runs while the caller keeps working, updated
// after every step.

#include <memory>
#include <string>

namespace paperloom::ui {

class ProgressWindow {
public:
    virtual ~ProgressWindow() = default;
    virtual void SetCaption(const std::string& strCaption) = 0;
    // The label; shown at once.
    virtual void SetText(const std::string& strText) = 0;
    // Position of a bar, value of max; a max of 0 shows no bar.
    virtual void SetValue(long lngValue, long lngMax) = 0;
    virtual void Show() = 0;
    virtual void Hide() = 0;
    virtual bool Visible() const = 0;
};

class ProgressService {
public:
    virtual ~ProgressService() = default;
    // A new window, hidden until Show.
    virtual std::unique_ptr<ProgressWindow> CreateProgressWindow() = 0;
};

}  // namespace paperloom::ui
