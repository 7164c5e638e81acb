#include "host/word/fields/InlinePicture.h"

#include <fstream>
#include <iterator>

#include <fmt/format.h>

#include "host/docx/Package.h"
#include "host/word/detail/DocumentState.h"
#include "host/word/fields/ImageInfo.h"

namespace paperloom::word::fields {

namespace {

constexpr std::uintmax_t kMaxImageBytes = 64u << 20;
constexpr const char* kDrawingMain = "http://schemas.openxmlformats.org/drawingml/2006/main";
constexpr const char* kDrawingPicture = "http://schemas.openxmlformats.org/drawingml/2006/picture";
constexpr const char* kWordDrawing = "http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing";
constexpr const char* kRelationships = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

// The prefixes the picture markup uses must be declared on the part's root element.
void EnsureNamespace(pugi::xml_node anyNode, const char* prefix, const char* uri) {
    auto root = anyNode;
    while (root.parent() && root.parent().type() == pugi::node_element) root = root.parent();
    const std::string attribute = std::string("xmlns:") + prefix;
    if (!root.attribute(attribute.c_str())) root.append_attribute(attribute.c_str()) = uri;
}

std::optional<std::string> ReadFile(const std::filesystem::path& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return std::nullopt;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec || size > kMaxImageBytes) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) return std::nullopt;
    return bytes;
}

std::string LinkRelationship(docx::Package& package, const std::string& part, const std::string& uri) {
    for (const auto& rel : package.Relationships(part))
        if (rel.external && rel.type == docx::reltype::image && rel.target == uri) return rel.id;
    return package.AddRelationship(part, docx::reltype::image, uri, true);
}

std::string EmbedRelationship(word::detail::DocumentState& doc, const std::string& part, const std::string& bytes,
                              const ImageInfo& info) {
    auto& package = doc.Package();
    std::string media = doc.ImportedPart(bytes);
    if (media.empty()) {
        media = package.UniquePartName("word/media/image", info.extension);
        package.SetPartBytes(media, bytes, info.contentType);
        doc.RememberImportedPart(bytes, media);
    }
    return doc.RelationshipTo(part, std::string(docx::reltype::image), media);
}

void AppendDrawing(pugi::xml_node run, const ImageInfo& info, unsigned id, const std::string& name,
                   const std::string& relationship, bool linked) {
    const auto cx = std::to_string(info.WidthEmu());
    const auto cy = std::to_string(info.HeightEmu());
    auto inl = run.append_child("w:drawing").append_child("wp:inline");
    for (const char* d : {"distT", "distB", "distL", "distR"}) inl.append_attribute(d) = "0";
    auto extent = inl.append_child("wp:extent");
    extent.append_attribute("cx") = cx.c_str();
    extent.append_attribute("cy") = cy.c_str();
    auto effect = inl.append_child("wp:effectExtent");
    for (const char* e : {"l", "t", "r", "b"}) effect.append_attribute(e) = "0";
    auto docPr = inl.append_child("wp:docPr");
    docPr.append_attribute("id") = id;
    docPr.append_attribute("name") = fmt::format("Picture {}", id).c_str();
    inl.append_child("wp:cNvGraphicFramePr").append_child("a:graphicFrameLocks").append_attribute("noChangeAspect") = "1";
    auto graphic = inl.append_child("a:graphic");
    graphic.append_attribute("xmlns:a") = kDrawingMain;
    auto data = graphic.append_child("a:graphicData");
    data.append_attribute("uri") = kDrawingPicture;
    auto pic = data.append_child("pic:pic");
    pic.append_attribute("xmlns:pic") = kDrawingPicture;
    auto nv = pic.append_child("pic:nvPicPr");
    auto cNvPr = nv.append_child("pic:cNvPr");
    cNvPr.append_attribute("id") = "0";
    cNvPr.append_attribute("name") = name.c_str();
    nv.append_child("pic:cNvPicPr");
    auto fill = pic.append_child("pic:blipFill");
    fill.append_child("a:blip").append_attribute(linked ? "r:link" : "r:embed") = relationship.c_str();
    fill.append_child("a:stretch").append_child("a:fillRect");
    auto spPr = pic.append_child("pic:spPr");
    auto xfrm = spPr.append_child("a:xfrm");
    auto off = xfrm.append_child("a:off");
    off.append_attribute("x") = "0";
    off.append_attribute("y") = "0";
    auto ext = xfrm.append_child("a:ext");
    ext.append_attribute("cx") = cx.c_str();
    ext.append_attribute("cy") = cy.c_str();
    auto geometry = spPr.append_child("a:prstGeom");
    geometry.append_attribute("prst") = "rect";
    geometry.append_child("a:avLst");
}

}  // namespace

std::filesystem::path ResolvePicturePath(const fieldcalc::IncludePictureRequest& request,
                                         const std::filesystem::path& documentFolder) {
    std::filesystem::path path(request.PortablePath());
    if (path.is_absolute()) return path.lexically_normal();
    std::filesystem::path base = documentFolder;
    if (base.empty()) {
        std::error_code ec;
        base = std::filesystem::current_path(ec);
    }
    return (base / path).lexically_normal();
}

std::string FileUri(const std::filesystem::path& absolute) {
    std::string uri = "file://";
    for (const unsigned char c : absolute.generic_string()) {
        if (std::isalnum(c) || c == '/' || c == '-' || c == '_' || c == '.' || c == '~') uri.push_back(static_cast<char>(c));
        else uri += fmt::format("%{:02X}", c);
    }
    return uri;
}

std::variant<PictureFragment, std::string> BuildPicture(word::detail::DocumentState& doc, word::detail::Story& story,
                                                        const fieldcalc::IncludePictureRequest& request,
                                                        pugi::xml_node runProperties) {
    const auto path = ResolvePicturePath(request, doc.FullName().empty() ? std::filesystem::path() : doc.FullName().parent_path());
    const auto bytes = ReadFile(path);
    if (!bytes) return std::string("!画像ファイルが見つかりません, ") + request.path;
    const auto info = ReadImageInfo(*bytes);
    if (!info) return std::string("!画像ファイルを読み込めません, ") + request.path;

    const std::string& part = story.Part();
    const std::string relationship = request.linked ? LinkRelationship(doc.Package(), part, FileUri(path))
                                                    : EmbedRelationship(doc, part, *bytes, *info);
    EnsureNamespace(story.Root(), "wp", kWordDrawing);
    EnsureNamespace(story.Root(), "r", kRelationships);
    // The frame locks stand outside a:graphic, which declares the prefix only for itself.
    EnsureNamespace(story.Root(), "a", kDrawingMain);

    PictureFragment picture;
    picture.fragment.openTail = true;
    auto run = picture.fragment.root.append_child("w:p").append_child("w:r");
    if (runProperties) run.append_copy(runProperties).set_name("w:rPr");
    AppendDrawing(run, *info, doc.NextDrawingId(), path.filename().string(), relationship, request.linked);
    return picture;
}

}  // namespace paperloom::word::fields
