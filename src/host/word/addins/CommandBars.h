#pragma once
// Menus and toolbars: command bars holding controls (buttons and popups, a popup holding a
// command bar of its own). Controls are found by their tag. Bars and controls that are not
// temporary are kept across runs of the host (Save / Load); temporary ones end with the run.
// A deleted bar or control answers every further call with error 5825.

#include <cstddef>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "host/word/addins/Clipboard.h"

namespace paperloom::word {

namespace cbr {
// Control types.
inline constexpr long controlButton = 1;
inline constexpr long controlPopup = 10;
// Bar positions.
inline constexpr long barLeft = 0;
inline constexpr long barTop = 1;
inline constexpr long barRight = 2;
inline constexpr long barBottom = 3;
inline constexpr long barFloating = 4;
inline constexpr long barPopup = 5;
inline constexpr long barMenuBar = 6;
// Bar types.
inline constexpr long barTypeNormal = 0;
inline constexpr long barTypeMenuBar = 1;
inline constexpr long barTypePopup = 2;
// Button styles.
inline constexpr long buttonAutomatic = 0;
inline constexpr long buttonIcon = 1;
inline constexpr long buttonCaption = 2;
inline constexpr long buttonIconAndCaption = 3;
}  // namespace cbr

class CommandBar;
class CommandBarControl;
namespace detail {
struct CommandBarsShared;
}

// A click handler stays connected while its subscription lives.
class ClickSubscription {
public:
    ClickSubscription() = default;
    explicit ClickSubscription(std::function<void()> disconnect) : disconnect_(std::move(disconnect)) {}
    ~ClickSubscription() { Reset(); }
    ClickSubscription(ClickSubscription&& other) noexcept : disconnect_(std::exchange(other.disconnect_, {})) {}
    ClickSubscription& operator=(ClickSubscription&& other) noexcept;
    ClickSubscription(const ClickSubscription&) = delete;
    ClickSubscription& operator=(const ClickSubscription&) = delete;
    void Reset() noexcept;
    bool Connected() const noexcept { return static_cast<bool>(disconnect_); }

private:
    std::function<void()> disconnect_;
};

class CommandBarControl : public std::enable_shared_from_this<CommandBarControl> {
public:
    using ClickHandler = std::function<void(const std::shared_ptr<CommandBarControl>& control, bool& cancelDefault)>;

    CommandBarControl(std::shared_ptr<detail::CommandBarsShared> shared, long type, long id, bool builtIn,
                      bool temporary);
    CommandBarControl(const CommandBarControl&) = delete;
    CommandBarControl& operator=(const CommandBarControl&) = delete;

    long Type() const;
    long Id() const;
    bool BuiltIn() const;
    bool Temporary() const;
    bool Deleted() const noexcept { return deleted_; }

    const std::string& Caption() const;
    void SetCaption(std::string caption);
    const std::string& Tag() const;
    void SetTag(std::string tag);
    const std::string& TooltipText() const;
    void SetTooltipText(std::string text);
    const std::string& OnAction() const;
    void SetOnAction(std::string action);
    const std::string& Parameter() const;
    void SetParameter(std::string parameter);
    bool BeginGroup() const;
    void SetBeginGroup(bool begin);
    bool Visible() const;
    void SetVisible(bool visible);
    bool Enabled() const;
    void SetEnabled(bool enabled);
    // Width in pixels; 0 until set (the bar sizes the control itself). Error 5 below 0.
    long Width() const;
    void SetWidth(long width);
    // Buttons only (error 438 on a popup); cbr::button... values, others error 5.
    long Style() const;
    void SetStyle(long style);
    // A built-in face by number (buttons only); setting it drops a pasted picture.
    long FaceId() const;
    void SetFaceId(long faceId);
    // The bitmap on the host's clipboard becomes the button's face (buttons only). Error 5
    // when the clipboard holds no bitmap, 481 when it is not a usable picture.
    void PasteFace();
    // The pasted face (BMP bytes); empty when the button shows a built-in face.
    const std::vector<std::byte>& Picture() const;

    // 1-based position on its bar.
    long Index() const;
    std::shared_ptr<word::CommandBar> Parent() const;
    // The popup's own bar (error 438 for a button).
    std::shared_ptr<word::CommandBar> CommandBar() const;

    // Removes the control from its bar (a popup with everything in it).
    void Delete();
    // As a click by the user: the action is run (an add-in named "!<ProgID>" is loaded on
    // demand), then every Click handler is raised in the order they were connected; each
    // sees whether an earlier one cancelled the default. Nothing for a disabled control.
    void Execute();
    // Connects a handler to this control's Click; disconnected when the subscription ends.
    [[nodiscard]] ClickSubscription OnClick(ClickHandler handler);

private:
    friend class word::CommandBar;
    friend class CommandBarControls;
    friend class CommandBars;
    friend class CommandBarsPersistence;
    void CheckAlive() const;
    void CheckButton(std::string_view member) const;
    void MarkDeleted() noexcept;

    std::shared_ptr<detail::CommandBarsShared> shared_;
    std::weak_ptr<word::CommandBar> parent_;
    std::shared_ptr<word::CommandBar> popupBar_;
    long type_;
    long id_;
    bool builtIn_;
    bool temporary_;
    bool deleted_ = false;
    std::string caption_;
    std::string tag_;
    std::string tooltip_;
    std::string onAction_;
    std::string parameter_;
    bool beginGroup_ = false;
    bool visible_ = true;
    bool enabled_ = true;
    long width_ = 0;
    long style_ = cbr::buttonAutomatic;
    long faceId_ = 0;
    std::vector<std::byte> picture_;
    long nextCookie_ = 1;
    std::vector<std::pair<long, ClickHandler>> handlers_;
};

// The controls of one bar, in order.
class CommandBarControls {
public:
    explicit CommandBarControls(std::shared_ptr<CommandBar> bar) : bar_(std::move(bar)) {}
    long Count() const;
    // 1-based; error 5941 out of range.
    std::shared_ptr<CommandBarControl> Item(long index) const;
    // A new control of type cbr::controlButton or cbr::controlPopup before the 1-based
    // position `before` (0: at the end). Error 5 for another type or a position past the end.
    std::shared_ptr<CommandBarControl> Add(long type = cbr::controlButton, long before = 0, bool temporary = false);
    std::vector<std::shared_ptr<CommandBarControl>>::const_iterator begin() const;
    std::vector<std::shared_ptr<CommandBarControl>>::const_iterator end() const;

private:
    std::shared_ptr<CommandBar> bar_;
};

class CommandBar : public std::enable_shared_from_this<CommandBar> {
public:
    CommandBar(std::shared_ptr<detail::CommandBarsShared> shared, std::string name, long type, long position,
               bool builtIn, bool temporary);
    CommandBar(const CommandBar&) = delete;
    CommandBar& operator=(const CommandBar&) = delete;

    const std::string& Name() const;
    // Error 5 for a blank name or one another bar has.
    void SetName(std::string name);
    long Type() const;
    // cbr::bar... (a popup's bar is always cbr::barPopup; error 5 for it and for unknown values).
    long Position() const;
    void SetPosition(long position);
    bool Visible() const;
    void SetVisible(bool visible);
    bool Enabled() const;
    void SetEnabled(bool enabled);
    bool BuiltIn() const;
    bool Temporary() const;
    bool Deleted() const noexcept { return deleted_; }
    // 1-based position in CommandBars; 0 for a popup's own bar that is not listed there.
    long Index() const;

    CommandBarControls Controls();
    // The first control with that tag, searched in order, with `recursive` also inside
    // popups (depth first); nullptr when none.
    std::shared_ptr<CommandBarControl> FindControl(std::string_view tag, bool recursive = false) const;
    // Removes a custom bar and everything on it; error 5 for a built-in bar or a popup's bar.
    void Delete();

private:
    friend class CommandBarControls;
    friend class CommandBarControl;
    friend class CommandBars;
    friend class CommandBarsPersistence;
    void CheckAlive() const;
    void MarkDeleted() noexcept;
    void Remove(const CommandBarControl& control);

    std::shared_ptr<detail::CommandBarsShared> shared_;
    std::string name_;
    long type_;
    long position_;
    bool builtIn_;
    bool temporary_;
    bool deleted_ = false;
    bool visible_ = false;
    bool enabled_ = true;
    std::weak_ptr<CommandBarControl> owner_;  // the popup whose bar this is
    std::vector<std::shared_ptr<CommandBarControl>> controls_;
};

class CommandBars {
public:
    // Runs "!<ProgID>" actions (the host loads the add-in when it is not connected).
    using ActionHandler = std::function<void(const std::string& onAction)>;
    // Told after any bar or control was added, changed or removed (a window re-reads them).
    using ChangeHandler = std::function<void()>;

    // The built-in bars ("Menu Bar", "Standard", "Formatting" and the "Tools" menu, whose
    // bar is also the "&Tools" popup of the menu bar).
    explicit CommandBars(std::shared_ptr<word::Clipboard> clipboard);
    ~CommandBars();
    CommandBars(const CommandBars&) = delete;
    CommandBars& operator=(const CommandBars&) = delete;

    long Count() const;
    // 1-based; error 5941 out of range.
    std::shared_ptr<CommandBar> Item(long index) const;
    // By name (letter case ignored); error 5941 when there is none.
    std::shared_ptr<CommandBar> Item(std::string_view name) const;
    // Like Item by name, nullptr when there is none.
    std::shared_ptr<CommandBar> Find(std::string_view name) const;
    // A new, empty, visible-off bar. A blank name gets "Custom N"; a name another bar has is
    // error 5, as are unknown positions and cbr::barPopup / cbr::barMenuBar.
    std::shared_ptr<CommandBar> Add(std::string name = {}, long position = cbr::barTop, bool temporary = false);
    // The first control with that tag on any bar, popups included; nullptr when none.
    std::shared_ptr<CommandBarControl> FindControl(std::string_view tag) const;

    std::vector<std::shared_ptr<CommandBar>>::const_iterator begin() const { return bars_.begin(); }
    std::vector<std::shared_ptr<CommandBar>>::const_iterator end() const { return bars_.end(); }

    void SetActionHandler(ActionHandler handler);
    void SetChangeHandler(ChangeHandler handler);

    // Every bar and control that is not temporary, written atomically as XML.
    void Save(const std::filesystem::path& file) const;
    // Replaces every bar by those saved in the file. A missing file keeps the built-in bars;
    // a file that cannot be read raises HostError naming it and changes nothing.
    void Load(const std::filesystem::path& file);

private:
    friend class CommandBar;
    friend class CommandBarsPersistence;
    void AddBuiltIns();
    void Remove(const CommandBar& bar);

    std::shared_ptr<detail::CommandBarsShared> shared_;
    std::vector<std::shared_ptr<CommandBar>> bars_;
};

}  // namespace paperloom::word
