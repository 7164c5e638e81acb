// Character and paragraph formatting of ranges: what shows (direct formatting over the styles
// and the document defaults) and what an edit writes.

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>
#include <vector>

#include <fmt/format.h>

#include "host/word/Range.h"
#include "host/word/WordError.h"
#include "host/word/detail/DocumentState.h"
#include "host/word/detail/WordXml.h"

namespace paperloom::word {

using detail::Atom;
using detail::AtomKind;

namespace {

// The schema's order of run and paragraph properties: new elements go where it puts them.
constexpr std::array<std::string_view, 41> kRunOrder = {
    "w:rStyle", "w:rFonts", "w:b", "w:bCs", "w:i", "w:iCs", "w:caps", "w:smallCaps", "w:strike",
    "w:dstrike", "w:outline", "w:shadow", "w:emboss", "w:imprint", "w:noProof", "w:snapToGrid",
    "w:vanish", "w:webHidden", "w:color", "w:spacing", "w:w", "w:kern", "w:position", "w:sz",
    "w:szCs", "w:highlight", "w:u", "w:effect", "w:bdr", "w:shd", "w:fitText", "w:vertAlign",
    "w:rtl", "w:cs", "w:em", "w:lang", "w:eastAsianLayout", "w:specVanish", "w:oMath", "w:ins",
    "w:rPrChange"};
constexpr std::array<std::string_view, 10> kParagraphTail = {
    "w:jc", "w:textDirection", "w:textAlignment", "w:textboxTightWrap", "w:outlineLvl", "w:divId",
    "w:cnfStyle", "w:rPr", "w:sectPr", "w:pPrChange"};

// The element `name` of `rPr`, replaced by a new empty one in its schema place.
pugi::xml_node ReplaceRunProperty(pugi::xml_node rPr, std::string_view name) {
    const std::string n(name);
    if (auto old = rPr.child(n.c_str())) rPr.remove_child(old);
    const auto at = std::find(kRunOrder.begin(), kRunOrder.end(), name);
    for (auto child : rPr.children()) {
        const auto pos = std::find(kRunOrder.begin(), kRunOrder.end(), std::string_view(child.name()));
        if (pos != kRunOrder.end() && pos > at) return rPr.insert_child_before(n.c_str(), child);
    }
    return rPr.append_child(n.c_str());
}

pugi::xml_node ParagraphOf(pugi::xml_node node) {
    for (; node; node = node.parent())
        if (xml::Is(node, "w:p")) return node;
    return {};
}

// Where a run's formatting comes from when the run itself does not say.
class FormatSources {
public:
    explicit FormatSources(detail::DocumentState& doc) {
        const auto& package = std::as_const(doc.Package());
        if (const auto part = package.MainRelatedPart(docx::reltype::styles))
            styles_ = package.Xml(*part).child("w:styles");
        if (const auto part = package.MainRelatedPart(docx::reltype::theme))
            fonts_ = package.Xml(*part).child("a:theme").child("a:themeElements").child("a:fontScheme");
        for (auto style : styles_.children("w:style"))
            if (std::string_view(style.attribute("w:type").value()) == "paragraph" &&
                style.attribute("w:default").as_bool())
                defaultParagraphStyle_ = style.attribute("w:styleId").value();
    }

    // The first rPr element `name` along: the run's own properties, its character style, its
    // paragraph's style, the document defaults.
    pugi::xml_node Find(pugi::xml_node rPr, pugi::xml_node paragraph, std::string_view name,
                        bool skipOwn = false) const {
        const std::string n(name);
        if (!skipOwn)
            if (auto own = rPr.child(n.c_str())) return own;
        if (auto found = InStyles(rPr.child("w:rStyle").attribute("w:val").value(), n)) return found;
        std::string pStyle = paragraph.child("w:pPr").child("w:pStyle").attribute("w:val").value();
        if (pStyle.empty()) pStyle = defaultParagraphStyle_;
        if (auto found = InStyles(pStyle, n)) return found;
        return styles_.child("w:docDefaults").child("w:rPrDefault").child("w:rPr").child(n.c_str());
    }

    // The paragraph's own jc or its style's.
    pugi::xml_node Alignment(pugi::xml_node paragraph) const {
        const auto pPr = paragraph.child("w:pPr");
        if (auto own = pPr.child("w:jc")) return own;
        std::string id = pPr.child("w:pStyle").attribute("w:val").value();
        if (id.empty()) id = defaultParagraphStyle_;
        for (int depth = 0; depth < 16 && !id.empty(); ++depth) {
            const auto style = Style(id);
            if (!style) break;
            if (auto jc = style.child("w:pPr").child("w:jc")) return jc;
            id = style.child("w:basedOn").attribute("w:val").value();
        }
        return styles_.child("w:docDefaults").child("w:pPrDefault").child("w:pPr").child("w:jc");
    }

    // A theme font name ("minorHAnsi", "majorEastAsia" ...) as its typeface.
    std::string ThemeFont(std::string_view theme) const {
        const auto scheme = fonts_.child(theme.starts_with("major") ? "a:majorFont" : "a:minorFont");
        if (theme.ends_with("EastAsia")) {
            std::string face = scheme.child("a:ea").attribute("typeface").value();
            if (face.empty())
                for (auto font : scheme.children("a:font"))
                    if (std::string_view(font.attribute("script").value()) == "Jpan") face = font.attribute("typeface").value();
            return face;
        }
        if (theme.ends_with("Bidi")) return scheme.child("a:cs").attribute("typeface").value();
        return scheme.child("a:latin").attribute("typeface").value();
    }

private:
    pugi::xml_node Style(std::string_view id) const {
        for (auto style : styles_.children("w:style"))
            if (id == style.attribute("w:styleId").value()) return style;
        return {};
    }
    pugi::xml_node InStyles(std::string id, const std::string& name) const {
        for (int depth = 0; depth < 16 && !id.empty(); ++depth) {
            const auto style = Style(id);
            if (!style) break;
            if (auto found = style.child("w:rPr").child(name.c_str())) return found;
            id = style.child("w:basedOn").attribute("w:val").value();
        }
        return {};
    }

    pugi::xml_node styles_;
    pugi::xml_node fonts_;
    std::string defaultParagraphStyle_;
};

// The run properties and paragraph of what the range holds: its characters, or its paragraph
// marks when it holds no character, or for a caret the character before it (the one typing
// continues).
std::vector<std::pair<pugi::xml_node, pugi::xml_node>> Formatted(const detail::RangeData& data) {
    auto& story = data.Live();
    std::vector<std::pair<pugi::xml_node, pugi::xml_node>> chars;
    std::vector<std::pair<pugi::xml_node, pugi::xml_node>> marks;
    long start = data.span->start;
    long end = data.span->end;
    if (start == end) {
        start = std::max(0L, start - 1);
        end = start + 1;
    }
    story.Visit(start, end, [&](const Atom& atom) {
        if (atom.length == 0 || atom.start >= end || atom.start + atom.length <= start) return true;
        switch (atom.kind) {
        case AtomKind::ParagraphMark:
        case AtomKind::CellEnd:
            marks.emplace_back(atom.node.child("w:pPr").child("w:rPr"), atom.node);
            break;
        case AtomKind::RowEnd:
        case AtomKind::Marker:
            break;
        default:
            if (!atom.fieldCode) chars.emplace_back(atom.node.parent().child("w:rPr"), atom.paragraph);
        }
        return true;
    });
    return chars.empty() ? marks : chars;
}

// One value when all formatted places agree, else `mixed`.
template <typename T, typename Read>
T Agreed(const detail::RangeData& data, T mixed, Read read) {
    FormatSources sources(*data.doc);
    std::optional<T> value;
    for (const auto& [rPr, paragraph] : Formatted(data)) {
        T v = read(sources, rPr, paragraph);
        if (value && *value != v) return mixed;
        value = std::move(v);
    }
    return value ? *value : read(sources, pugi::xml_node(), pugi::xml_node());
}

long Flag(const detail::RangeData& data, std::string_view name) {
    return Agreed<long>(data, wdUndefined, [&](const FormatSources& s, pugi::xml_node rPr, pugi::xml_node p) {
        return xml::OnOff(s.Find(rPr, p, name)) == 1 ? wdTrue : wdFalse;
    });
}

template <typename Apply>
void FormatRuns(const std::shared_ptr<detail::RangeData>& data, Apply apply) {
    auto& story = data->Live();
    FormatSources sources(*data->doc);
    story.FormatRuns(data->span->start, data->span->end,
                     [&](pugi::xml_node rPr) { apply(sources, rPr, ParagraphOf(rPr)); });
    data->doc->Changed();
}

void SetFlag(const std::shared_ptr<detail::RangeData>& data, std::string_view name, bool on) {
    FormatRuns(data, [&](const FormatSources& s, pugi::xml_node rPr, pugi::xml_node p) {
        if (on) {
            ReplaceRunProperty(rPr, name);
            return;
        }
        if (auto own = rPr.child(std::string(name).c_str())) rPr.remove_child(own);
        // A style that turns it on needs an explicit off.
        if (xml::OnOff(s.Find(rPr, p, name, true)) == 1) ReplaceRunProperty(rPr, name).append_attribute("w:val") = "0";
    });
}

constexpr std::pair<long, std::string_view> kUnderlines[] = {
    {wdUnderlineNone, "none"},       {wdUnderlineSingle, "single"}, {wdUnderlineWords, "words"},
    {wdUnderlineDouble, "double"},   {wdUnderlineDotted, "dotted"}, {wdUnderlineThick, "thick"},
    {wdUnderlineDash, "dash"},       {wdUnderlineDotDash, "dotDash"}, {wdUnderlineDotDotDash, "dotDotDash"},
    {wdUnderlineWavy, "wave"}};

std::string FontName(const FormatSources& s, pugi::xml_node rPr, pugi::xml_node p, bool farEast) {
    // The nearest w:rFonts that names the slot, by name or by theme.
    const char* plain = farEast ? "w:eastAsia" : "w:ascii";
    const char* theme = farEast ? "w:eastAsiaTheme" : "w:asciiTheme";
    auto fonts = rPr.child("w:rFonts");
    std::vector<pugi::xml_node> levels;
    if (fonts) levels.push_back(fonts);
    if (auto inherited = s.Find(rPr, p, "w:rFonts", true)) levels.push_back(inherited);
    for (auto level : levels) {
        if (auto t = level.attribute(theme)) return s.ThemeFont(t.value());
        if (auto n = level.attribute(plain)) return n.value();
    }
    return farEast ? "" : "Times New Roman";
}

}  // namespace

// --- Font -------------------------------------------------------------------------------

long Font::Bold() const { return Flag(*data_, "w:b"); }
void Font::SetBold(bool bold) { SetFlag(data_, "w:b", bold); }
long Font::Italic() const { return Flag(*data_, "w:i"); }
void Font::SetItalic(bool italic) { SetFlag(data_, "w:i", italic); }

long Font::Underline() const {
    return Agreed<long>(*data_, wdUndefined, [](const FormatSources& s, pugi::xml_node rPr, pugi::xml_node p) {
        const std::string_view value = s.Find(rPr, p, "w:u").attribute("w:val").value();
        if (value.empty()) return static_cast<long>(wdUnderlineNone);
        for (const auto& [number, name] : kUnderlines)
            if (name == value) return number;
        return static_cast<long>(wdUnderlineSingle);
    });
}

void Font::SetUnderline(long underline) {
    const auto it = std::find_if(std::begin(kUnderlines), std::end(kUnderlines),
                                 [&](const auto& u) { return u.first == underline; });
    if (it == std::end(kUnderlines)) throw WordError(errnum::badParameter, "Bad parameter.");
    FormatRuns(data_, [&](const FormatSources& s, pugi::xml_node rPr, pugi::xml_node p) {
        if (auto own = rPr.child("w:u")) rPr.remove_child(own);
        if (underline == wdUnderlineNone) {
            const std::string_view inherited = s.Find(rPr, p, "w:u", true).attribute("w:val").value();
            if (inherited.empty() || inherited == "none") return;
        }
        ReplaceRunProperty(rPr, "w:u").append_attribute("w:val") = std::string(it->second).c_str();
    });
}

std::string Font::Name() const {
    return Agreed<std::string>(*data_, "", [](const FormatSources& s, pugi::xml_node rPr, pugi::xml_node p) {
        return FontName(s, rPr, p, false);
    });
}

std::string Font::NameFarEast() const {
    return Agreed<std::string>(*data_, "", [](const FormatSources& s, pugi::xml_node rPr, pugi::xml_node p) {
        return FontName(s, rPr, p, true);
    });
}

namespace {

void SetFontSlots(const std::shared_ptr<detail::RangeData>& data, std::string_view name,
                  std::initializer_list<const char*> slots, std::initializer_list<const char*> themes) {
    const std::string value(name);
    FormatRuns(data, [&](const FormatSources&, pugi::xml_node rPr, pugi::xml_node) {
        auto fonts = rPr.child("w:rFonts");
        if (!fonts) fonts = ReplaceRunProperty(rPr, "w:rFonts");
        // A theme font for the slot would win over the name.
        for (const char* theme : themes) fonts.remove_attribute(theme);
        for (const char* slot : slots) {
            auto attr = fonts.attribute(slot);
            if (!attr) attr = fonts.append_attribute(slot);
            attr = value.c_str();
        }
    });
}

}  // namespace

void Font::SetName(std::string_view name) {
    SetFontSlots(data_, name, {"w:ascii", "w:hAnsi"}, {"w:asciiTheme", "w:hAnsiTheme"});
}

void Font::SetNameFarEast(std::string_view name) {
    SetFontSlots(data_, name, {"w:eastAsia"}, {"w:eastAsiaTheme"});
}

float Font::Size() const {
    return Agreed<float>(*data_, static_cast<float>(wdUndefined),
                         [](const FormatSources& s, pugi::xml_node rPr, pugi::xml_node p) {
                             const auto sz = s.Find(rPr, p, "w:sz");
                             return sz ? static_cast<float>(sz.attribute("w:val").as_int(20)) / 2.0f : 10.0f;
                         });
}

void Font::SetSize(float points) {
    // Sizes go in half points, from 1 to 1638 points.
    const long halfPoints = std::lround(points * 2.0f);
    if (halfPoints < 2 || halfPoints > 3276) throw WordError(errnum::valueOutOfRange, "The font size must be between 1 and 1638.");
    const std::string value = std::to_string(halfPoints);
    FormatRuns(data_, [&](const FormatSources&, pugi::xml_node rPr, pugi::xml_node) {
        ReplaceRunProperty(rPr, "w:sz").append_attribute("w:val") = value.c_str();
        ReplaceRunProperty(rPr, "w:szCs").append_attribute("w:val") = value.c_str();
    });
}

long Font::Color() const {
    return Agreed<long>(*data_, wdUndefined, [](const FormatSources& s, pugi::xml_node rPr, pugi::xml_node p) {
        const std::string_view value = s.Find(rPr, p, "w:color").attribute("w:val").value();
        if (value.size() != 6) return wdColorAutomatic;
        const long rgb = std::strtol(std::string(value).c_str(), nullptr, 16);
        return ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
    });
}

void Font::SetColor(long color) {
    if (color != wdColorAutomatic && (color < 0 || color > 0xFFFFFF))
        throw WordError(errnum::badParameter, "Bad parameter.");
    const std::string value = color == wdColorAutomatic
                                  ? std::string("auto")
                                  : fmt::format("{:02X}{:02X}{:02X}", color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
    FormatRuns(data_, [&](const FormatSources&, pugi::xml_node rPr, pugi::xml_node) {
        ReplaceRunProperty(rPr, "w:color").append_attribute("w:val") = value.c_str();
    });
}

// --- ParagraphFormat --------------------------------------------------------------------

namespace {

constexpr std::pair<long, std::string_view> kAlignments[] = {
    {wdAlignParagraphLeft, "left"},       {wdAlignParagraphCenter, "center"},
    {wdAlignParagraphRight, "right"},     {wdAlignParagraphJustify, "both"},
    {wdAlignParagraphDistribute, "distribute"}};

long AlignmentOf(std::string_view value) {
    if (value == "start") return wdAlignParagraphLeft;
    if (value == "end") return wdAlignParagraphRight;
    for (const auto& [number, name] : kAlignments)
        if (name == value) return number;
    return wdAlignParagraphLeft;
}

}  // namespace

long ParagraphFormat::Alignment() const {
    auto& story = data_->Live();
    FormatSources sources(*data_->doc);
    std::optional<long> value;
    for (auto p : story.ParagraphsIn(data_->span->start, data_->span->end)) {
        const long v = AlignmentOf(sources.Alignment(p).attribute("w:val").value());
        if (value && *value != v) return wdUndefined;
        value = v;
    }
    return value.value_or(wdAlignParagraphLeft);
}

void ParagraphFormat::SetAlignment(long alignment) {
    const auto it = std::find_if(std::begin(kAlignments), std::end(kAlignments),
                                 [&](const auto& a) { return a.first == alignment; });
    if (it == std::end(kAlignments)) throw WordError(errnum::badParameter, "Bad parameter.");
    auto& story = data_->Live();
    const std::string value(it->second);
    story.FormatParagraphs(data_->span->start, data_->span->end, [&](pugi::xml_node pPr) {
        auto jc = pPr.child("w:jc");
        if (!jc) {
            pugi::xml_node before;
            for (auto child : pPr.children())
                if (std::find(kParagraphTail.begin(), kParagraphTail.end(), std::string_view(child.name())) !=
                    kParagraphTail.end()) {
                    before = child;
                    break;
                }
            jc = before ? pPr.insert_child_before("w:jc", before) : pPr.append_child("w:jc");
        }
        jc.remove_attributes();
        jc.append_attribute("w:val") = value.c_str();
    });
    data_->doc->Changed();
}

}  // namespace paperloom::word
