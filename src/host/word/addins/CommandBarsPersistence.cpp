// Saving and reading back the command bars that outlive a run of the host.

#include <sstream>

#include <pugixml.hpp>

#include "host/docx/AtomicFile.h"
#include "host/word/addins/Bitmap.h"
#include "host/word/addins/CommandBars.h"
#include "host/word/addins/CommandBarsShared.h"

namespace paperloom::word {

namespace {

constexpr int kFormatVersion = 1;

std::string ToHex(const std::vector<std::byte>& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const auto b : bytes) {
        const auto v = std::to_integer<unsigned>(b);
        out.push_back(digits[v >> 4]);
        out.push_back(digits[v & 15]);
    }
    return out;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

struct BadFile {
    std::string why;
};

std::vector<std::byte> FromHex(std::string_view text) {
    if (text.size() % 2 != 0) throw BadFile{"a face picture is cut short"};
    std::vector<std::byte> out;
    out.reserve(text.size() / 2);
    for (std::size_t i = 0; i < text.size(); i += 2) {
        const int hi = HexDigit(text[i]);
        const int lo = HexDigit(text[i + 1]);
        if (hi < 0 || lo < 0) throw BadFile{"a face picture is not hexadecimal"};
        out.push_back(static_cast<std::byte>(hi * 16 + lo));
    }
    return out;
}

long Number(pugi::xml_node node, const char* name, long fallback) {
    const auto attribute = node.attribute(name);
    if (!attribute) return fallback;
    const std::string text = attribute.as_string();
    std::size_t used = 0;
    long value = 0;
    try {
        value = std::stol(text, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (text.empty() || used != text.size())
        throw BadFile{std::string("attribute ") + name + " \"" + text + "\" is not a number"};
    return value;
}

bool Flag(pugi::xml_node node, const char* name, bool fallback) {
    return node.attribute(name) ? node.attribute(name).as_bool() : fallback;
}

}  // namespace

class CommandBarsPersistence {
public:
    static void SaveBar(pugi::xml_node parent, const CommandBar& bar, bool listed) {
        auto node = parent.append_child("bar");
        if (listed) {
            node.append_attribute("name") = bar.name_.c_str();
            node.append_attribute("type") = bar.type_;
            node.append_attribute("position") = bar.position_;
            node.append_attribute("visible") = bar.visible_;
            node.append_attribute("enabled") = bar.enabled_;
            node.append_attribute("builtIn") = bar.builtIn_;
        }
        for (const auto& control : bar.controls_)
            if (!control->temporary_) SaveControl(node, *control);
    }

    static void SaveControl(pugi::xml_node parent, const CommandBarControl& c) {
        auto node = parent.append_child("control");
        node.append_attribute("type") = c.type_;
        node.append_attribute("id") = c.id_;
        node.append_attribute("builtIn") = c.builtIn_;
        node.append_attribute("caption") = c.caption_.c_str();
        node.append_attribute("tag") = c.tag_.c_str();
        if (!c.tooltip_.empty()) node.append_attribute("tooltip") = c.tooltip_.c_str();
        if (!c.onAction_.empty()) node.append_attribute("onAction") = c.onAction_.c_str();
        if (!c.parameter_.empty()) node.append_attribute("parameter") = c.parameter_.c_str();
        node.append_attribute("beginGroup") = c.beginGroup_;
        node.append_attribute("visible") = c.visible_;
        node.append_attribute("enabled") = c.enabled_;
        if (c.width_ != 0) node.append_attribute("width") = c.width_;
        if (c.type_ == cbr::controlButton) {
            node.append_attribute("style") = c.style_;
            node.append_attribute("faceId") = c.faceId_;
            if (!c.picture_.empty()) node.append_attribute("face") = ToHex(c.picture_).c_str();
        }
        if (c.popupBar_) {
            if (c.popupBar_->Index() > 0)
                node.append_attribute("bar") = c.popupBar_->name_.c_str();
            else
                SaveBar(node, *c.popupBar_, false);
        }
    }

    static std::shared_ptr<CommandBar> LoadBar(const std::shared_ptr<detail::CommandBarsShared>& shared,
                                               pugi::xml_node node) {
        const std::string name = node.attribute("name").as_string();
        if (name.empty()) throw BadFile{"a command bar has no name"};
        const long type = Number(node, "type", cbr::barTypeNormal);
        const long position = Number(node, "position", cbr::barTop);
        if (type < cbr::barTypeNormal || type > cbr::barTypePopup) throw BadFile{"bar \"" + name + "\" has an unknown type"};
        if (position < cbr::barLeft || position > cbr::barMenuBar)
            throw BadFile{"bar \"" + name + "\" has an unknown position"};
        auto bar = std::make_shared<CommandBar>(shared, name, type, position, Flag(node, "builtIn", false), false);
        bar->visible_ = Flag(node, "visible", false);
        bar->enabled_ = Flag(node, "enabled", true);
        return bar;
    }

    using Listed = std::vector<std::shared_ptr<CommandBar>>;

    static void LoadControls(const std::shared_ptr<detail::CommandBarsShared>& shared, pugi::xml_node barNode,
                             const std::shared_ptr<CommandBar>& bar, const Listed& listed, int depth) {
        if (depth > 32) throw BadFile{"popups are nested too deeply"};
        for (const auto node : barNode.children("control")) {
            const long type = Number(node, "type", cbr::controlButton);
            if (type != cbr::controlButton && type != cbr::controlPopup) throw BadFile{"a control has an unknown type"};
            auto c = std::make_shared<CommandBarControl>(shared, type, Number(node, "id", 1), Flag(node, "builtIn", false),
                                                         false);
            c->parent_ = bar;
            c->caption_ = node.attribute("caption").as_string();
            c->tag_ = node.attribute("tag").as_string();
            c->tooltip_ = node.attribute("tooltip").as_string();
            c->onAction_ = node.attribute("onAction").as_string();
            c->parameter_ = node.attribute("parameter").as_string();
            c->beginGroup_ = Flag(node, "beginGroup", false);
            c->visible_ = Flag(node, "visible", true);
            c->enabled_ = Flag(node, "enabled", true);
            c->width_ = Number(node, "width", 0);
            if (c->width_ < 0) throw BadFile{"control \"" + c->tag_ + "\" has a negative width"};
            if (type == cbr::controlButton) {
                c->style_ = Number(node, "style", cbr::buttonAutomatic);
                if (c->style_ < cbr::buttonAutomatic || c->style_ > cbr::buttonIconAndCaption)
                    throw BadFile{"control \"" + c->tag_ + "\" has an unknown style"};
                c->faceId_ = Number(node, "faceId", 0);
                if (const auto face = node.attribute("face")) {
                    c->picture_ = FromHex(face.as_string());
                    try {
                        DecodeBitmap(c->picture_);
                    } catch (const host::HostError&) {
                        throw BadFile{"control \"" + c->tag_ + "\" has a face that is no picture"};
                    }
                }
            } else {
                if (const auto ref = node.attribute("bar")) {
                    for (const auto& candidate : listed)
                        if (detail::SameName(candidate->name_, ref.as_string())) c->popupBar_ = candidate;
                    if (!c->popupBar_ || !c->popupBar_->owner_.expired())
                        throw BadFile{std::string("popup bar \"") + ref.as_string() + "\" is missing or shown twice"};
                } else {
                    c->popupBar_ = std::make_shared<CommandBar>(shared, std::string(), cbr::barTypePopup, cbr::barPopup,
                                                                c->builtIn_, false);
                    LoadControls(shared, node.child("bar"), c->popupBar_, listed, depth + 1);
                }
                c->popupBar_->owner_ = c;
            }
            bar->controls_.push_back(std::move(c));
        }
    }

    static void Save(const CommandBars& bars, const std::filesystem::path& file) {
        pugi::xml_document xml;
        auto declaration = xml.append_child(pugi::node_declaration);
        declaration.append_attribute("version") = "1.0";
        declaration.append_attribute("encoding") = "UTF-8";
        auto root = xml.append_child("commandbars");
        root.append_attribute("version") = kFormatVersion;
        for (const auto& bar : bars.bars_)
            if (!bar->temporary_) SaveBar(root, *bar, true);
        std::ostringstream out;
        xml.save(out, "  ", pugi::format_default, pugi::encoding_utf8);
        const auto text = out.str();
        docx::WriteFileAtomically(file, std::as_bytes(std::span(text.data(), text.size())));
    }

    static void Load(CommandBars& bars, const std::filesystem::path& file) {
        std::error_code ec;
        if (!std::filesystem::exists(file, ec) && !ec) return;
        const auto fail = [&](const std::string& why) {
            return host::HostError(75, "Paperloom.Word", "The command bars file " + file.string() + " cannot be read: " + why);
        };
        pugi::xml_document xml;
        const auto parsed = xml.load_file(file.c_str());
        if (!parsed) throw fail(parsed.description());
        const auto root = xml.child("commandbars");
        if (!root) throw fail("it holds no <commandbars> element");
        try {
            if (Number(root, "version", kFormatVersion) != kFormatVersion) throw BadFile{"it was written in another format"};
            // Build the whole set before replacing anything, so a bad file changes nothing.
            Listed listed;
            std::vector<pugi::xml_node> nodes;
            for (const auto node : root.children("bar")) {
                auto bar = LoadBar(bars.shared_, node);
                for (const auto& other : listed)
                    if (detail::SameName(other->name_, bar->name_)) throw BadFile{"bar \"" + bar->name_ + "\" appears twice"};
                listed.push_back(std::move(bar));
                nodes.push_back(node);
            }
            for (std::size_t i = 0; i < listed.size(); ++i) LoadControls(bars.shared_, nodes[i], listed[i], listed, 0);
            for (const auto& old : bars.bars_) old->MarkDeleted();
            bars.bars_ = std::move(listed);
            bars.shared_->Changed();
        } catch (const BadFile& bad) {
            throw fail(bad.why);
        }
    }
};

void CommandBars::Save(const std::filesystem::path& file) const { CommandBarsPersistence::Save(*this, file); }

void CommandBars::Load(const std::filesystem::path& file) { CommandBarsPersistence::Load(*this, file); }

}  // namespace paperloom::word
