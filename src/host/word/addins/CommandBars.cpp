#include "host/word/addins/CommandBars.h"

#include <algorithm>
#include <cctype>

#include "host/word/addins/Bitmap.h"
#include "host/word/addins/CommandBarsShared.h"
#include "host/word/addins/Dispatch.h"

namespace paperloom::word {

namespace detail {
bool SameName(std::string_view a, std::string_view b) noexcept {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}
}  // namespace detail

// --- ClickSubscription ----------------------------------------------------------------------

ClickSubscription& ClickSubscription::operator=(ClickSubscription&& other) noexcept {
    if (this != &other) {
        Reset();
        disconnect_ = std::exchange(other.disconnect_, {});
    }
    return *this;
}

void ClickSubscription::Reset() noexcept {
    if (auto disconnect = std::exchange(disconnect_, {})) disconnect();
}

// --- CommandBarControl ------------------------------------------------------------------------

CommandBarControl::CommandBarControl(std::shared_ptr<detail::CommandBarsShared> shared, long type, long id,
                                     bool builtIn, bool temporary)
    : shared_(std::move(shared)), type_(type), id_(id), builtIn_(builtIn), temporary_(temporary) {}

void CommandBarControl::CheckAlive() const {
    if (deleted_) throw ObjectDeleted();
}

void CommandBarControl::CheckButton(std::string_view member) const {
    CheckAlive();
    if (type_ != cbr::controlButton) throw DispatchError(disperr::memberNotFound, member);
}

long CommandBarControl::Type() const { return CheckAlive(), type_; }
long CommandBarControl::Id() const { return CheckAlive(), id_; }
bool CommandBarControl::BuiltIn() const { return CheckAlive(), builtIn_; }
bool CommandBarControl::Temporary() const { return CheckAlive(), temporary_; }

const std::string& CommandBarControl::Caption() const { return CheckAlive(), caption_; }
void CommandBarControl::SetCaption(std::string caption) { CheckAlive(), caption_ = std::move(caption); shared_->Changed(); }
const std::string& CommandBarControl::Tag() const { return CheckAlive(), tag_; }
void CommandBarControl::SetTag(std::string tag) { CheckAlive(), tag_ = std::move(tag); shared_->Changed(); }
const std::string& CommandBarControl::TooltipText() const { return CheckAlive(), tooltip_.empty() ? caption_ : tooltip_; }
void CommandBarControl::SetTooltipText(std::string text) { CheckAlive(), tooltip_ = std::move(text); shared_->Changed(); }
const std::string& CommandBarControl::OnAction() const { return CheckAlive(), onAction_; }
void CommandBarControl::SetOnAction(std::string action) { CheckAlive(), onAction_ = std::move(action); shared_->Changed(); }
const std::string& CommandBarControl::Parameter() const { return CheckAlive(), parameter_; }
void CommandBarControl::SetParameter(std::string parameter) { CheckAlive(), parameter_ = std::move(parameter); shared_->Changed(); }
bool CommandBarControl::BeginGroup() const { return CheckAlive(), beginGroup_; }
void CommandBarControl::SetBeginGroup(bool begin) { CheckAlive(), beginGroup_ = begin; shared_->Changed(); }
bool CommandBarControl::Visible() const { return CheckAlive(), visible_; }
void CommandBarControl::SetVisible(bool visible) { CheckAlive(), visible_ = visible; shared_->Changed(); }
bool CommandBarControl::Enabled() const { return CheckAlive(), enabled_; }
void CommandBarControl::SetEnabled(bool enabled) { CheckAlive(), enabled_ = enabled; shared_->Changed(); }

long CommandBarControl::Width() const { return CheckAlive(), width_; }

void CommandBarControl::SetWidth(long width) {
    CheckAlive();
    if (width < 0) throw detail::InvalidArgument("Width");
    width_ = width;
    shared_->Changed();
}

long CommandBarControl::Style() const {
    CheckButton("Style");
    return style_;
}

void CommandBarControl::SetStyle(long style) {
    CheckButton("Style");
    if (style < cbr::buttonAutomatic || style > cbr::buttonIconAndCaption) throw detail::InvalidArgument("Style");
    style_ = style;
    shared_->Changed();
}

long CommandBarControl::FaceId() const {
    CheckButton("FaceId");
    return faceId_;
}

void CommandBarControl::SetFaceId(long faceId) {
    CheckButton("FaceId");
    if (faceId < 0) throw detail::InvalidArgument("FaceId");
    faceId_ = faceId;
    picture_.clear();
    shared_->Changed();
}

void CommandBarControl::PasteFace() {
    CheckButton("PasteFace");
    const auto& bitmap = shared_->clipboard->Bitmap();
    if (!bitmap) throw detail::InvalidArgument("the clipboard holds no picture to paste as a face");
    DecodeBitmap(*bitmap);  // refuses what is no usable picture
    picture_ = *bitmap;
    faceId_ = 0;
    shared_->Changed();
}

const std::vector<std::byte>& CommandBarControl::Picture() const {
    CheckButton("Picture");
    return picture_;
}

long CommandBarControl::Index() const {
    CheckAlive();
    const auto parent = parent_.lock();
    if (!parent) throw ObjectDeleted();
    const auto& list = parent->controls_;
    const auto it = std::find_if(list.begin(), list.end(), [&](const auto& c) { return c.get() == this; });
    return static_cast<long>(it - list.begin()) + 1;
}

std::shared_ptr<word::CommandBar> CommandBarControl::Parent() const {
    CheckAlive();
    auto parent = parent_.lock();
    if (!parent) throw ObjectDeleted();
    return parent;
}

std::shared_ptr<word::CommandBar> CommandBarControl::CommandBar() const {
    CheckAlive();
    if (type_ != cbr::controlPopup) throw DispatchError(disperr::memberNotFound, "CommandBar");
    return popupBar_;
}

void CommandBarControl::Delete() {
    CheckAlive();
    // The bar may hold the last reference to this control.
    const auto self = shared_from_this();
    if (auto parent = parent_.lock()) parent->Remove(*this);
    MarkDeleted();
    shared_->Changed();
}

void CommandBarControl::MarkDeleted() noexcept {
    deleted_ = true;
    handlers_.clear();
    // A listed bar (a built-in menu's) outlives the popup that shows it.
    if (popupBar_ && popupBar_->Index() == 0) popupBar_->MarkDeleted();
    popupBar_.reset();
}

void CommandBarControl::Execute() {
    CheckAlive();
    if (!enabled_) return;
    // Keep this control alive while handlers run: a handler may delete it.
    const auto self = shared_from_this();
    if (!onAction_.empty() && shared_->action) shared_->action(onAction_);
    bool cancelDefault = false;
    const auto handlers = handlers_;
    for (const auto& [cookie, handler] : handlers) {
        // Handlers disconnected by an earlier handler are not raised.
        const bool stillConnected = std::any_of(handlers_.begin(), handlers_.end(),
                                                [cookie = cookie](const auto& h) { return h.first == cookie; });
        if (stillConnected) handler(self, cancelDefault);
    }
}

ClickSubscription CommandBarControl::OnClick(ClickHandler handler) {
    CheckAlive();
    const long cookie = nextCookie_++;
    handlers_.emplace_back(cookie, std::move(handler));
    std::weak_ptr<CommandBarControl> weak = weak_from_this();
    return ClickSubscription([weak, cookie] {
        if (auto control = weak.lock())
            std::erase_if(control->handlers_, [cookie](const auto& h) { return h.first == cookie; });
    });
}

// --- CommandBarControls -------------------------------------------------------------------------

long CommandBarControls::Count() const {
    bar_->CheckAlive();
    return static_cast<long>(bar_->controls_.size());
}

std::shared_ptr<CommandBarControl> CommandBarControls::Item(long index) const {
    bar_->CheckAlive();
    if (index < 1 || index > Count()) throw NoSuchMember();
    return bar_->controls_[static_cast<std::size_t>(index) - 1];
}

std::shared_ptr<CommandBarControl> CommandBarControls::Add(long type, long before, bool temporary) {
    bar_->CheckAlive();
    if (type != cbr::controlButton && type != cbr::controlPopup) throw detail::InvalidArgument("control type");
    const long count = Count();
    if (before < 0 || before > count + 1) throw detail::InvalidArgument("Before");
    // Everything on a temporary bar ends with it.
    const bool isTemporary = temporary || bar_->temporary_;
    auto control = std::make_shared<CommandBarControl>(bar_->shared_, type, 1, false, isTemporary);
    control->parent_ = bar_;
    if (type == cbr::controlPopup) {
        control->popupBar_ = std::make_shared<CommandBar>(bar_->shared_, std::string(), cbr::barTypePopup,
                                                          cbr::barPopup, false, isTemporary);
        control->popupBar_->owner_ = control;
    }
    const auto at = before == 0 ? bar_->controls_.end() : bar_->controls_.begin() + (before - 1);
    bar_->controls_.insert(at, control);
    bar_->shared_->Changed();
    return control;
}

std::vector<std::shared_ptr<CommandBarControl>>::const_iterator CommandBarControls::begin() const {
    bar_->CheckAlive();
    return bar_->controls_.cbegin();
}

std::vector<std::shared_ptr<CommandBarControl>>::const_iterator CommandBarControls::end() const {
    return bar_->controls_.cend();
}

// --- CommandBar -------------------------------------------------------------------------------------

CommandBar::CommandBar(std::shared_ptr<detail::CommandBarsShared> shared, std::string name, long type,
                       long position, bool builtIn, bool temporary)
    : shared_(std::move(shared)),
      name_(std::move(name)),
      type_(type),
      position_(position),
      builtIn_(builtIn),
      temporary_(temporary) {}

void CommandBar::CheckAlive() const {
    if (deleted_) throw ObjectDeleted();
}

const std::string& CommandBar::Name() const { return CheckAlive(), name_; }

void CommandBar::SetName(std::string name) {
    CheckAlive();
    bool blank = true;
    for (const char c : name) blank = blank && std::isspace(static_cast<unsigned char>(c));
    if (blank) throw detail::InvalidArgument("a command bar needs a name");
    if (shared_->owner)
        if (const auto other = shared_->owner->Find(name); other && other.get() != this)
            throw detail::InvalidArgument("a command bar named \"" + name + "\" exists already");
    name_ = std::move(name);
    shared_->Changed();
}

long CommandBar::Type() const { return CheckAlive(), type_; }
long CommandBar::Position() const { return CheckAlive(), position_; }

void CommandBar::SetPosition(long position) {
    CheckAlive();
    if (type_ == cbr::barTypePopup || position < cbr::barLeft || position > cbr::barFloating)
        throw detail::InvalidArgument("Position");
    position_ = position;
    shared_->Changed();
}

bool CommandBar::Visible() const { return CheckAlive(), visible_; }
void CommandBar::SetVisible(bool visible) { CheckAlive(), visible_ = visible; shared_->Changed(); }
bool CommandBar::Enabled() const { return CheckAlive(), enabled_; }
void CommandBar::SetEnabled(bool enabled) { CheckAlive(), enabled_ = enabled; shared_->Changed(); }
bool CommandBar::BuiltIn() const { return CheckAlive(), builtIn_; }
bool CommandBar::Temporary() const { return CheckAlive(), temporary_; }

long CommandBar::Index() const {
    if (!shared_->owner) return 0;
    const auto& bars = shared_->owner->bars_;
    const auto it = std::find_if(bars.begin(), bars.end(), [&](const auto& b) { return b.get() == this; });
    return it == bars.end() ? 0 : static_cast<long>(it - bars.begin()) + 1;
}

CommandBarControls CommandBar::Controls() {
    CheckAlive();
    return CommandBarControls(shared_from_this());
}

std::shared_ptr<CommandBarControl> CommandBar::FindControl(std::string_view tag, bool recursive) const {
    CheckAlive();
    for (const auto& control : controls_) {
        if (control->tag_ == tag) return control;
        if (recursive && control->popupBar_)
            if (auto inner = control->popupBar_->FindControl(tag, true)) return inner;
    }
    return nullptr;
}

void CommandBar::Delete() {
    CheckAlive();
    if (builtIn_ || Index() == 0) throw detail::InvalidArgument("this command bar cannot be deleted");
    // The collection may hold the last reference to this bar.
    const auto self = shared_from_this();
    if (shared_->owner) shared_->owner->Remove(*this);
    MarkDeleted();
    shared_->Changed();
}

void CommandBar::MarkDeleted() noexcept {
    deleted_ = true;
    for (const auto& control : controls_) control->MarkDeleted();
    controls_.clear();
}

void CommandBar::Remove(const CommandBarControl& control) {
    std::erase_if(controls_, [&](const auto& c) { return c.get() == &control; });
}

// --- CommandBars -------------------------------------------------------------------------------------

CommandBars::CommandBars(std::shared_ptr<word::Clipboard> clipboard)
    : shared_(std::make_shared<detail::CommandBarsShared>()) {
    shared_->clipboard = clipboard ? std::move(clipboard) : std::make_shared<word::Clipboard>();
    shared_->owner = this;
    AddBuiltIns();
}

CommandBars::~CommandBars() {
    shared_->owner = nullptr;
    shared_->action = nullptr;
    shared_->changed = nullptr;
}

long CommandBars::Count() const { return static_cast<long>(bars_.size()); }

std::shared_ptr<CommandBar> CommandBars::Item(long index) const {
    if (index < 1 || index > Count()) throw NoSuchMember();
    return bars_[static_cast<std::size_t>(index) - 1];
}

std::shared_ptr<CommandBar> CommandBars::Item(std::string_view name) const {
    if (auto bar = Find(name)) return bar;
    throw NoSuchMember();
}

std::shared_ptr<CommandBar> CommandBars::Find(std::string_view name) const {
    for (const auto& bar : bars_)
        if (detail::SameName(bar->name_, name)) return bar;
    return nullptr;
}

std::shared_ptr<CommandBar> CommandBars::Add(std::string name, long position, bool temporary) {
    if (position < cbr::barLeft || position > cbr::barFloating) throw detail::InvalidArgument("Position");
    if (name.empty()) {
        for (long n = 1;; ++n)
            if (!Find("Custom " + std::to_string(n))) {
                name = "Custom " + std::to_string(n);
                break;
            }
    } else if (Find(name)) {
        throw detail::InvalidArgument("a command bar named \"" + name + "\" exists already");
    }
    auto bar = std::make_shared<CommandBar>(shared_, std::move(name), cbr::barTypeNormal, position, false, temporary);
    bars_.push_back(bar);
    shared_->Changed();
    return bar;
}

std::shared_ptr<CommandBarControl> CommandBars::FindControl(std::string_view tag) const {
    for (const auto& bar : bars_)
        if (auto control = bar->FindControl(tag, true)) return control;
    return nullptr;
}

void CommandBars::SetActionHandler(ActionHandler handler) { shared_->action = std::move(handler); }

void CommandBars::SetChangeHandler(ChangeHandler handler) { shared_->changed = std::move(handler); }

void CommandBars::Remove(const CommandBar& bar) {
    std::erase_if(bars_, [&](const auto& b) { return b.get() == &bar; });
}

void CommandBars::AddBuiltIns() {
    long nextId = 30001;
    const auto addBar = [&](std::string name, long type, long position, bool visible) {
        auto bar = std::make_shared<CommandBar>(shared_, std::move(name), type, position, true, false);
        bar->visible_ = visible;
        bars_.push_back(bar);
        return bar;
    };
    const auto addControl = [&](const std::shared_ptr<CommandBar>& bar, long type, std::string caption) {
        auto control = std::make_shared<CommandBarControl>(shared_, type, nextId++, true, false);
        control->caption_ = std::move(caption);
        control->parent_ = bar;
        bar->controls_.push_back(control);
        return control;
    };

    const auto menuBar = addBar("Menu Bar", cbr::barTypeMenuBar, cbr::barTop, true);
    const auto standard = addBar("Standard", cbr::barTypeNormal, cbr::barTop, true);
    const auto formatting = addBar("Formatting", cbr::barTypeNormal, cbr::barTop, true);
    const auto tools = addBar("Tools", cbr::barTypePopup, cbr::barPopup, false);

    for (const char* caption : {"&File", "&Edit", "&View", "&Insert", "F&ormat", "&Tools", "T&able", "&Window",
                                "&Help"}) {
        auto popup = addControl(menuBar, cbr::controlPopup, caption);
        if (std::string_view(caption) == "&Tools") {
            popup->popupBar_ = tools;
        } else {
            popup->popupBar_ = std::make_shared<CommandBar>(shared_, std::string(), cbr::barTypePopup,
                                                            cbr::barPopup, true, false);
        }
        popup->popupBar_->owner_ = popup;
    }
    for (const char* caption : {"&New", "&Open...", "&Save", "&Print"}) addControl(standard, cbr::controlButton, caption);
    for (const char* caption : {"&Bold", "&Italic", "&Underline"}) addControl(formatting, cbr::controlButton, caption);
    for (const char* caption :
         {"&Spelling...", "S&tatistics...", "&Add-ins...", "&Customize...", "&Options..."})
        addControl(tools, cbr::controlButton, caption);
    tools->controls_[3]->beginGroup_ = true;
}

}  // namespace paperloom::word
