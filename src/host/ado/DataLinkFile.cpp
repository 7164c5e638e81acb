#include "host/ado/DataLinkFile.h"

#include <unicode/ustring.h>

#include <fstream>
#include <iterator>

#include "host/ado/AdoErrors.h"
#include "host/ado/ValueCompare.h"
#include "host/AsciiText.h"

namespace paperloom::host::ado {
namespace {

// Lines of a data link file may end in CR and be padded with NULs.
constexpr std::string_view kLineBlanks{" \t\r\0", 4};

constexpr std::uintmax_t kMaxDataLinkSize = 1 << 20;

[[noreturn]] void ThrowBadLink(const std::string& name, const std::string& why) {
    ThrowAdoError(errors::kProviderFailed, kConnectionSource,
                  "データ リンク ファイルが不正です: " + name + " (" + why + ")");
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

}  // namespace

std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian) {
    std::string out;
    out.reserve(bytes.size());
    auto unit = [&](std::size_t i) -> char16_t {
        const auto a = static_cast<unsigned char>(bytes[i]);
        const auto b = static_cast<unsigned char>(bytes[i + 1]);
        return static_cast<char16_t>(bigEndian ? (a << 8) | b : (b << 8) | a);
    };
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const char16_t u = unit(i);
        if (u >= 0xD800 && u <= 0xDBFF && i + 3 < bytes.size()) {
            const char16_t low = unit(i + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                AppendUtf8(out, 0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (low - 0xDC00));
                i += 2;
                continue;
            }
        }
        AppendUtf8(out, (u >= 0xD800 && u <= 0xDFFF) ? char32_t{0xFFFD} : char32_t{u});
    }
    return out;
}

std::string ParseDataLinkText(std::string_view bytes, const std::string& name) {
    std::string text;
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE) {
        text = Utf16ToUtf8(bytes.substr(2), false);
    } else if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFE &&
               static_cast<unsigned char>(bytes[1]) == 0xFF) {
        text = Utf16ToUtf8(bytes.substr(2), true);
    } else if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        text = std::string(bytes.substr(3));
    } else if (bytes.size() >= 2 && bytes[1] == '\0') {
        text = Utf16ToUtf8(bytes, false);  // UTF-16 without a byte-order mark
    } else {
        text = std::string(bytes);
    }
    bool sawHeader = false;
    std::size_t start = 0;
    while (start <= text.size()) {
        auto end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string_view line = text::Trim(std::string_view(text).substr(start, end - start), kLineBlanks);
        start = end + 1;
        if (line.empty()) continue;
        if (!sawHeader) {
            if (CompareTextNoCase(line, "[oledb]") != 0) ThrowBadLink(name, "[oledb] がありません");
            sawHeader = true;
            continue;
        }
        if (line.front() == ';') continue;
        return std::string(line);
    }
    ThrowBadLink(name, sawHeader ? "接続文字列がありません" : "空のファイルです");
}

std::string MakeDataLinkText(std::string_view connectionString) {
    if (connectionString.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos)
        ThrowAdoError(errors::kProviderFailed, kConnectionSource,
                      "データ リンク ファイルの接続文字列は 1 行で指定してください");
    const std::string text =
        "[oledb]\r\n; Everything after this line is an OLE DB initstring\r\n" + std::string(connectionString) + "\r\n";
    UErrorCode status = U_ZERO_ERROR;
    int32_t units = 0;
    u_strFromUTF8WithSub(nullptr, 0, &units, text.data(), static_cast<int32_t>(text.size()), 0xFFFD, nullptr, &status);
    std::u16string wide(static_cast<std::size_t>(units), u'\0');
    status = U_ZERO_ERROR;
    u_strFromUTF8WithSub(wide.data(), units, &units, text.data(), static_cast<int32_t>(text.size()), 0xFFFD, nullptr,
                         &status);
    if (U_FAILURE(status))
        ThrowAdoError(errors::kProviderFailed, kConnectionSource, "接続文字列を UTF-16 に変換できません");
    std::string bytes = "\xFF\xFE";
    bytes.reserve(2 + wide.size() * 2);
    for (const char16_t unit : wide) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

std::string ReadDataLinkFile(const std::filesystem::path& path) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec)
        ThrowAdoError(errors::kProviderFailed, kConnectionSource,
                      "データ リンク ファイルが見つかりません: " + path.string());
    if (size > kMaxDataLinkSize) ThrowBadLink(path.string(), "大きすぎます");
    std::ifstream in(path, std::ios::binary);
    if (!in)
        ThrowAdoError(errors::kProviderFailed, kConnectionSource,
                      "データ リンク ファイルを開けません: " + path.string());
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return ParseDataLinkText(bytes, path.string());
}

}  // namespace paperloom::host::ado
