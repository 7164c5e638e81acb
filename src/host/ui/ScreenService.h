#pragma once
// The screen's work area (the part not covered by task bars), for centring dialogs.

namespace paperloom::ui {

// In pixels.
struct ScreenArea {
    long lngLeft = 0;
    long lngTop = 0;
    long lngWidth = 0;
    long lngHeight = 0;

    friend bool operator==(const ScreenArea&, const ScreenArea&) = default;
};

class ScreenService {
public:
    virtual ~ScreenService() = default;
    virtual ScreenArea WorkArea() const = 0;
};

}  // namespace paperloom::ui
