#include "host/docx/BlankDocument.h"

#include <chrono>
#include <ctime>

#include <fmt/chrono.h>
#include <fmt/format.h>

namespace paperloom::docx::blank {
namespace {

constexpr const char* kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n";

constexpr const char* kContentTypes =
    R"(<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">)"
    R"(<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>)"
    R"(<Default Extension="xml" ContentType="application/xml"/>)"
    R"(<Override PartName="/word/document.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml"/>)"
    R"(<Override PartName="/word/styles.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.styles+xml"/>)"
    R"(<Override PartName="/word/settings.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.settings+xml"/>)"
    R"(<Override PartName="/word/webSettings.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.webSettings+xml"/>)"
    R"(<Override PartName="/word/fontTable.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.fontTable+xml"/>)"
    R"(<Override PartName="/docProps/core.xml" ContentType="application/vnd.openxmlformats-package.core-properties+xml"/>)"
    R"(<Override PartName="/docProps/app.xml" ContentType="application/vnd.openxmlformats-officedocument.extended-properties+xml"/>)"
    R"(</Types>)";

constexpr const char* kPackageRels =
    R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
    R"(<Relationship Id="rId3" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/extended-properties" Target="docProps/app.xml"/>)"
    R"(<Relationship Id="rId2" Type="http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties" Target="docProps/core.xml"/>)"
    R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="word/document.xml"/>)"
    R"(</Relationships>)";

// A4 portrait (210 x 297 mm in twentieths of a point) with the margins Japanese templates use
// and a line grid of 18 points.
constexpr const char* kDocument =
    R"(<w:document xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships" )"
    R"(xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main">)"
    R"(<w:body><w:p/>)"
    R"(<w:sectPr><w:pgSz w:w="11906" w:h="16838"/>)"
    R"(<w:pgMar w:top="1985" w:right="1701" w:bottom="1701" w:left="1701" w:header="851" w:footer="992" w:gutter="0"/>)"
    R"(<w:cols w:space="425"/><w:docGrid w:type="lines" w:linePitch="360"/></w:sectPr>)"
    R"(</w:body></w:document>)";

constexpr const char* kDocumentRels =
    R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
    R"(<Relationship Id="rId3" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/webSettings" Target="webSettings.xml"/>)"
    R"(<Relationship Id="rId2" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/settings" Target="settings.xml"/>)"
    R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles" Target="styles.xml"/>)"
    R"(<Relationship Id="rId4" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/fontTable" Target="fontTable.xml"/>)"
    R"(</Relationships>)";

// Century for Latin text and a Mincho face for Japanese, 10.5 points, as Japanese templates have.
constexpr const char* kStyles =
    R"(<w:styles xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships" )"
    R"(xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main">)"
    R"(<w:docDefaults><w:rPrDefault><w:rPr>)"
    R"(<w:rFonts w:ascii="Century" w:eastAsia="ＭＳ 明朝" w:hAnsi="Century" w:cs="Times New Roman"/>)"
    R"(<w:kern w:val="2"/><w:sz w:val="21"/><w:szCs w:val="22"/>)"
    R"(<w:lang w:val="en-US" w:eastAsia="ja-JP" w:bidi="ar-SA"/>)"
    R"(</w:rPr></w:rPrDefault><w:pPrDefault/></w:docDefaults>)"
    R"(<w:style w:type="paragraph" w:default="1" w:styleId="a"><w:name w:val="Normal"/><w:qFormat/>)"
    R"(<w:pPr><w:widowControl w:val="0"/><w:jc w:val="both"/></w:pPr></w:style>)"
    R"(<w:style w:type="character" w:default="1" w:styleId="a0"><w:name w:val="Default Paragraph Font"/>)"
    R"(<w:uiPriority w:val="1"/><w:semiHidden/><w:unhideWhenUsed/></w:style>)"
    R"(<w:style w:type="table" w:default="1" w:styleId="a1"><w:name w:val="Normal Table"/>)"
    R"(<w:uiPriority w:val="99"/><w:semiHidden/><w:unhideWhenUsed/>)"
    R"(<w:tblPr><w:tblInd w:w="0" w:type="dxa"/><w:tblCellMar><w:top w:w="0" w:type="dxa"/>)"
    R"(<w:left w:w="108" w:type="dxa"/><w:bottom w:w="0" w:type="dxa"/><w:right w:w="108" w:type="dxa"/>)"
    R"(</w:tblCellMar></w:tblPr></w:style>)"
    R"(<w:style w:type="numbering" w:default="1" w:styleId="a2"><w:name w:val="No List"/>)"
    R"(<w:uiPriority w:val="99"/><w:semiHidden/><w:unhideWhenUsed/></w:style>)"
    R"(<w:style w:type="table" w:styleId="a3"><w:name w:val="Table Grid"/><w:basedOn w:val="a1"/>)"
    R"(<w:uiPriority w:val="39"/><w:tblPr><w:tblBorders>)"
    R"(<w:top w:val="single" w:sz="4" w:space="0" w:color="auto"/>)"
    R"(<w:left w:val="single" w:sz="4" w:space="0" w:color="auto"/>)"
    R"(<w:bottom w:val="single" w:sz="4" w:space="0" w:color="auto"/>)"
    R"(<w:right w:val="single" w:sz="4" w:space="0" w:color="auto"/>)"
    R"(<w:insideH w:val="single" w:sz="4" w:space="0" w:color="auto"/>)"
    R"(<w:insideV w:val="single" w:sz="4" w:space="0" w:color="auto"/>)"
    R"(</w:tblBorders></w:tblPr></w:style>)"
    R"(</w:styles>)";

constexpr const char* kSettings =
    R"(<w:settings xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships" )"
    R"(xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main">)"
    R"(<w:zoom w:percent="100"/><w:bordersDoNotSurroundHeader/><w:bordersDoNotSurroundFooter/>)"
    R"(<w:defaultTabStop w:val="840"/><w:displayHorizontalDrawingGridEvery w:val="0"/>)"
    R"(<w:displayVerticalDrawingGridEvery w:val="2"/><w:characterSpacingControl w:val="compressPunctuation"/>)"
    R"(<w:compat><w:spaceForUL/><w:balanceSingleByteDoubleByteWidth/><w:doNotLeaveBackslashAlone/>)"
    R"(<w:ulTrailSpace/><w:doNotExpandShiftReturn/><w:adjustLineHeightInTable/><w:useFELayout/>)"
    R"(<w:compatSetting w:name="compatibilityMode" w:uri="http://schemas.microsoft.com/office/word" w:val="15"/>)"
    R"(<w:compatSetting w:name="overrideTableStyleFontSizeAndJustification" w:uri="http://schemas.microsoft.com/office/word" w:val="1"/>)"
    R"(<w:compatSetting w:name="enableOpenTypeFeatures" w:uri="http://schemas.microsoft.com/office/word" w:val="1"/>)"
    R"(<w:compatSetting w:name="doNotFlipMirrorIndents" w:uri="http://schemas.microsoft.com/office/word" w:val="1"/>)"
    R"(</w:compat>)"
    R"(<w:themeFontLang w:val="en-US" w:eastAsia="ja-JP"/>)"
    R"(<w:decimalSymbol w:val="."/><w:listSeparator w:val=","/>)"
    R"(</w:settings>)";

constexpr const char* kWebSettings =
    R"(<w:webSettings xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships" )"
    R"(xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main">)"
    R"(<w:optimizeForBrowser/><w:allowPNG/></w:webSettings>)";

constexpr const char* kFontTable =
    R"(<w:fonts xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships" )"
    R"(xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main">)"
    R"(<w:font w:name="Century"><w:panose1 w:val="02040604050505020304"/><w:charset w:val="00"/>)"
    R"(<w:family w:val="roman"/><w:pitch w:val="variable"/></w:font>)"
    R"(<w:font w:name="ＭＳ 明朝"><w:altName w:val="MS Mincho"/><w:panose1 w:val="02020609040205080304"/>)"
    R"(<w:charset w:val="80"/><w:family w:val="roman"/><w:pitch w:val="fixed"/></w:font>)"
    R"(<w:font w:name="Times New Roman"><w:panose1 w:val="02020603050405020304"/><w:charset w:val="00"/>)"
    R"(<w:family w:val="roman"/><w:pitch w:val="variable"/></w:font>)"
    R"(<w:font w:name="ＭＳ ゴシック"><w:altName w:val="MS Gothic"/><w:panose1 w:val="020B0609070205080204"/>)"
    R"(<w:charset w:val="80"/><w:family w:val="modern"/><w:pitch w:val="fixed"/></w:font>)"
    R"(</w:fonts>)";

std::string CoreProperties() {
    const std::string now = fmt::format("{:%Y-%m-%dT%H:%M:%SZ}", fmt::gmtime(std::time(nullptr)));
    return fmt::format(
        R"(<cp:coreProperties xmlns:cp="http://schemas.openxmlformats.org/package/2006/metadata/core-properties" )"
        R"(xmlns:dc="http://purl.org/dc/elements/1.1/" xmlns:dcterms="http://purl.org/dc/terms/" )"
        R"(xmlns:dcmitype="http://purl.org/dc/dcmitype/" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance">)"
        R"(<dc:title></dc:title><dc:creator></dc:creator><cp:revision>1</cp:revision>)"
        R"(<dcterms:created xsi:type="dcterms:W3CDTF">{0}</dcterms:created>)"
        R"(<dcterms:modified xsi:type="dcterms:W3CDTF">{0}</dcterms:modified>)"
        R"(</cp:coreProperties>)",
        now);
}

constexpr const char* kAppProperties =
    R"(<Properties xmlns="http://schemas.openxmlformats.org/officeDocument/2006/extended-properties" )"
    R"(xmlns:vt="http://schemas.openxmlformats.org/officeDocument/2006/docPropsVTypes">)"
    R"(<Template>Normal</Template><TotalTime>0</TotalTime><Pages>1</Pages><Words>0</Words>)"
    R"(<Characters>0</Characters><Application>Paperloom</Application><DocSecurity>0</DocSecurity>)"
    R"(<Lines>0</Lines><Paragraphs>0</Paragraphs><ScaleCrop>false</ScaleCrop>)"
    R"(<LinksUpToDate>false</LinksUpToDate><CharactersWithSpaces>0</CharactersWithSpaces>)"
    R"(<SharedDoc>false</SharedDoc><HyperlinksChanged>false</HyperlinksChanged>)"
    R"(</Properties>)";

std::string WithDeclaration(std::string_view body) { return std::string(kDeclaration).append(body); }

}  // namespace

std::vector<std::pair<std::string, std::string>> Parts() {
    return {
        {"[Content_Types].xml", WithDeclaration(kContentTypes)},
        {"_rels/.rels", WithDeclaration(kPackageRels)},
        {"word/document.xml", WithDeclaration(kDocument)},
        {"word/_rels/document.xml.rels", WithDeclaration(kDocumentRels)},
        {"word/styles.xml", WithDeclaration(kStyles)},
        {"word/settings.xml", WithDeclaration(kSettings)},
        {"word/webSettings.xml", WithDeclaration(kWebSettings)},
        {"word/fontTable.xml", WithDeclaration(kFontTable)},
        {"docProps/core.xml", WithDeclaration(CoreProperties())},
        {"docProps/app.xml", WithDeclaration(kAppProperties)},
    };
}

}  // namespace paperloom::docx::blank
