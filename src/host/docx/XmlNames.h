#pragma once
// Namespace URIs, content types and the WordprocessingML element names the host works with.
// Element names carry the "w:" prefix every word processor writes for the main namespace.

#include <string_view>

namespace paperloom::docx::names {

namespace ns {
inline constexpr std::string_view w = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";
inline constexpr std::string_view r = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
inline constexpr std::string_view wp = "http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing";
inline constexpr std::string_view a = "http://schemas.openxmlformats.org/drawingml/2006/main";
inline constexpr std::string_view pic = "http://schemas.openxmlformats.org/drawingml/2006/picture";
inline constexpr std::string_view mc = "http://schemas.openxmlformats.org/markup-compatibility/2006";
inline constexpr std::string_view v = "urn:schemas-microsoft-com:vml";
inline constexpr std::string_view o = "urn:schemas-microsoft-com:office:office";
inline constexpr std::string_view w14 = "http://schemas.microsoft.com/office/word/2010/wordml";
inline constexpr std::string_view wps = "http://schemas.microsoft.com/office/word/2010/wordprocessingShape";
inline constexpr std::string_view contentTypes = "http://schemas.openxmlformats.org/package/2006/content-types";
inline constexpr std::string_view packageRelationships =
    "http://schemas.openxmlformats.org/package/2006/relationships";
inline constexpr std::string_view coreProperties =
    "http://schemas.openxmlformats.org/package/2006/metadata/core-properties";
inline constexpr std::string_view extendedProperties =
    "http://schemas.openxmlformats.org/officeDocument/2006/extended-properties";
inline constexpr std::string_view dc = "http://purl.org/dc/elements/1.1/";
inline constexpr std::string_view dcterms = "http://purl.org/dc/terms/";
inline constexpr std::string_view xsi = "http://www.w3.org/2001/XMLSchema-instance";
}  // namespace ns

namespace contenttype {
inline constexpr std::string_view mainDocument =
    "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml";
inline constexpr std::string_view mainTemplate =
    "application/vnd.openxmlformats-officedocument.wordprocessingml.template.main+xml";
inline constexpr std::string_view styles = "application/vnd.openxmlformats-officedocument.wordprocessingml.styles+xml";
inline constexpr std::string_view settings =
    "application/vnd.openxmlformats-officedocument.wordprocessingml.settings+xml";
inline constexpr std::string_view webSettings =
    "application/vnd.openxmlformats-officedocument.wordprocessingml.webSettings+xml";
inline constexpr std::string_view fontTable =
    "application/vnd.openxmlformats-officedocument.wordprocessingml.fontTable+xml";
inline constexpr std::string_view numbering =
    "application/vnd.openxmlformats-officedocument.wordprocessingml.numbering+xml";
inline constexpr std::string_view header = "application/vnd.openxmlformats-officedocument.wordprocessingml.header+xml";
inline constexpr std::string_view footer = "application/vnd.openxmlformats-officedocument.wordprocessingml.footer+xml";
inline constexpr std::string_view footnotes =
    "application/vnd.openxmlformats-officedocument.wordprocessingml.footnotes+xml";
inline constexpr std::string_view endnotes =
    "application/vnd.openxmlformats-officedocument.wordprocessingml.endnotes+xml";
inline constexpr std::string_view theme = "application/vnd.openxmlformats-officedocument.theme+xml";
inline constexpr std::string_view relationships = "application/vnd.openxmlformats-package.relationships+xml";
inline constexpr std::string_view coreProperties = "application/vnd.openxmlformats-package.core-properties+xml";
inline constexpr std::string_view extendedProperties =
    "application/vnd.openxmlformats-officedocument.extended-properties+xml";
inline constexpr std::string_view xml = "application/xml";
inline constexpr std::string_view png = "image/png";
inline constexpr std::string_view jpeg = "image/jpeg";
inline constexpr std::string_view gif = "image/gif";
inline constexpr std::string_view bmp = "image/bmp";
}  // namespace contenttype

namespace w {
// Document structure.
inline constexpr const char* document = "w:document";
inline constexpr const char* body = "w:body";
inline constexpr const char* hdr = "w:hdr";
inline constexpr const char* ftr = "w:ftr";
inline constexpr const char* sectPr = "w:sectPr";
inline constexpr const char* headerReference = "w:headerReference";
inline constexpr const char* footerReference = "w:footerReference";
// Paragraphs, runs and text.
inline constexpr const char* p = "w:p";
inline constexpr const char* pPr = "w:pPr";
inline constexpr const char* r = "w:r";
inline constexpr const char* rPr = "w:rPr";
inline constexpr const char* t = "w:t";
inline constexpr const char* tab = "w:tab";
inline constexpr const char* br = "w:br";
inline constexpr const char* cr = "w:cr";
inline constexpr const char* vanish = "w:vanish";
inline constexpr const char* pStyle = "w:pStyle";
inline constexpr const char* rStyle = "w:rStyle";
// Tables.
inline constexpr const char* tbl = "w:tbl";
inline constexpr const char* tblPr = "w:tblPr";
inline constexpr const char* tblGrid = "w:tblGrid";
inline constexpr const char* gridCol = "w:gridCol";
inline constexpr const char* tr = "w:tr";
inline constexpr const char* trPr = "w:trPr";
inline constexpr const char* tc = "w:tc";
inline constexpr const char* tcPr = "w:tcPr";
// Fields and bookmarks.
inline constexpr const char* fldChar = "w:fldChar";
inline constexpr const char* instrText = "w:instrText";
inline constexpr const char* fldSimple = "w:fldSimple";
inline constexpr const char* bookmarkStart = "w:bookmarkStart";
inline constexpr const char* bookmarkEnd = "w:bookmarkEnd";
// Content controls, drawings.
inline constexpr const char* sdt = "w:sdt";
inline constexpr const char* sdtContent = "w:sdtContent";
inline constexpr const char* drawing = "w:drawing";
inline constexpr const char* pict = "w:pict";
inline constexpr const char* txbxContent = "w:txbxContent";
// Settings.
inline constexpr const char* settings = "w:settings";
inline constexpr const char* docVars = "w:docVars";
inline constexpr const char* docVar = "w:docVar";
inline constexpr const char* compat = "w:compat";
inline constexpr const char* compatSetting = "w:compatSetting";
// Styles.
inline constexpr const char* styles = "w:styles";
inline constexpr const char* style = "w:style";
inline constexpr const char* docDefaults = "w:docDefaults";
// Common attributes.
inline constexpr const char* val = "w:val";
inline constexpr const char* name = "w:name";
inline constexpr const char* id = "w:id";
inline constexpr const char* type = "w:type";
inline constexpr const char* styleId = "w:styleId";
inline constexpr const char* fldCharType = "w:fldCharType";
inline constexpr const char* instr = "w:instr";
inline constexpr const char* xmlSpace = "xml:space";
}  // namespace w

}  // namespace paperloom::docx::names
