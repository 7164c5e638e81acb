#include "common/modPLFunction.h"

#include "common/PathText.h"
#include "common/Utf8Text.h"
#include "common/SettingTypes.h"
#include "common/ValueText.h"
#include "common/modPLConst.h"
#include "host/HostError.h"
#include "host/ado/PasswordMask.h"
#include "host/AsciiText.h"

#include <fmt/format.h>

#include <cstdint>
#include <cstdlib>

namespace paperloom::modPLFunction {
namespace {

constexpr auto npos = std::string_view::npos;

bool IsStandardDelimiter(std::string_view piece) {
    return piece == " " || piece == "\t" || piece == "\r" || piece == "\n";
}

bool IsQuote(std::string_view piece) {
    return piece == "'" || piece == "\"";
}

std::vector<std::string> Tokenize(std::string_view text, std::string_view extraDelimiter, bool keepDelimiters) {
    std::vector<std::string> tokens;
    std::string current;
    bool currentIsDelimiter = false;
    bool inQuotes = false;
    for (const std::string_view piece : utf8::Characters(text)) {
        const bool delimiter =
            !inQuotes && (IsStandardDelimiter(piece) || (!extraDelimiter.empty() && piece == extraDelimiter));
        if (delimiter) {
            if (!currentIsDelimiter && !current.empty()) {
                tokens.push_back(std::move(current));
                current.clear();
            }
            currentIsDelimiter = true;
            if (keepDelimiters) {
                current.append(piece);
            }
            continue;
        }
        if (currentIsDelimiter && !current.empty()) {
            tokens.push_back(std::move(current));
            current.clear();
        }
        currentIsDelimiter = false;
        current.append(piece);
        if (IsQuote(piece)) {
            inQuotes = !inQuotes;
        }
    }
    if (!current.empty()) {
        tokens.push_back(std::move(current));
    }
    return tokens;
}

long StoreTokens(std::vector<std::string> tokens, std::vector<std::string>& strTokens) {
    const auto count = static_cast<long>(tokens.size());
    if (count > 0) {
        strTokens = std::move(tokens);
    }
    return count;
}

// Tokens from SplitTokensKeepDelimiters: a delimiter run begins with a delimiter character.
bool IsDelimiterToken(std::string_view token) {
    return !token.empty() &&
           (token[0] == ' ' || token[0] == '\t' || token[0] == '\r' || token[0] == '\n');
}

std::string Join(const std::vector<std::string>& tokens, std::size_t first, std::size_t last) {
    std::string result;
    for (std::size_t i = first; i < last && i < tokens.size(); ++i) {
        result += tokens[i];
    }
    return result;
}

// Net parentheses of a token, counting only those outside quotes.
int ParenthesisBalance(std::string_view token) {
    int balance = 0;
    bool inQuotes = false;
    for (const char c : token) {
        if (c == '\'' || c == '"') {
            inQuotes = !inQuotes;
        } else if (!inQuotes && c == '(') {
            ++balance;
        } else if (!inQuotes && c == ')') {
            --balance;
        }
    }
    return balance;
}

bool EndsWhereClause(std::string_view upperToken) {
    return upperToken == "ORDER" || upperToken == "GROUP" || upperToken == "HAVING" || upperToken == "UNION";
}

// "WHERE (filter) AND" before the existing condition. An existing condition with a top-level
// OR is put in parentheses, or the filter would bind to its first alternative only.
std::string InsertFilterAfterWhere(const std::vector<std::string>& tokens, std::size_t where,
                                   std::string_view filter) {
    std::string head = Join(tokens, 0, where + 1) + " (" + std::string(filter) + ") AND";

    std::size_t clauseEnd = tokens.size();
    bool topLevelOr = false;
    int depth = 0;
    for (std::size_t i = where + 1; i < tokens.size(); ++i) {
        if (IsDelimiterToken(tokens[i])) {
            continue;
        }
        const std::string upper = text::ToUpper(tokens[i]);
        if (depth == 0 && EndsWhereClause(upper)) {
            clauseEnd = i;
            break;
        }
        if (depth == 0 && upper == "OR") {
            topLevelOr = true;
        }
        depth += ParenthesisBalance(tokens[i]);
    }
    if (!topLevelOr) {
        return head + Join(tokens, where + 1, tokens.size());
    }
    std::size_t first = where + 1;
    std::string leading;
    if (first < clauseEnd && IsDelimiterToken(tokens[first])) {
        leading = tokens[first++];
    }
    std::size_t last = clauseEnd;  // one past the condition
    std::string trailing;
    if (last > first && IsDelimiterToken(tokens[last - 1])) {
        trailing = tokens[--last];
    }
    return head + leading + "(" + Join(tokens, first, last) + ")" + trailing +
           Join(tokens, clauseEnd, tokens.size());
}

std::string& DefaultFolderStore() {
    static std::string folder;
    return folder;
}

}  // namespace

std::string MakeConnectionString(std::string_view strDataSourceType, std::string_view strDataSource) {
    using settingtypes::DataSourceType;
    const auto type = settingtypes::ParseDataSourceType(strDataSourceType);
    if (strDataSource.empty() || !type) {
        return {};
    }
    switch (*type) {
        case DataSourceType::OdbcDataSource:
        case DataSourceType::ConnectionString: return std::string(strDataSource);
        case DataSourceType::DataLinkFile: return std::string(modPLConst::DATA_LINK_PREFIX) + std::string(strDataSource);
        case DataSourceType::DatabaseFile:
            return std::string(modPLConst::DATABASE_FILE_PREFIX) + std::string(strDataSource) +
                   std::string(modPLConst::DATABASE_FILE_SUFFIX);
    }
    return {};
}

std::string GetConnectionStringValue(std::string_view strKey, std::string_view strConnectionString) {
    if (strKey.empty() || strConnectionString.empty()) {
        return {};
    }
    const std::size_t key = strConnectionString.find(strKey);
    if (key == npos) {
        return {};
    }
    const std::size_t equals = strConnectionString.find('=', key + strKey.size());
    if (equals == npos) {
        return {};
    }
    const std::size_t semicolon = strConnectionString.find(';', equals + 1);
    return std::string(strConnectionString.substr(
        equals + 1, semicolon == npos ? npos : semicolon - equals - 1));
}

std::string ResolveDataSourcePath(std::string_view strConnectionString,
                                  std::string_view strActiveDocumentFolder,
                                  std::string_view strDefaultFolder) {
    const std::string unchanged(strConnectionString);
    const std::string provider = text::ToLower(GetConnectionStringValue("Provider", strConnectionString));
    if (provider.find("jet") == std::string::npos) {
        return unchanged;
    }
    static constexpr std::string_view kDataSource = "Data Source=";
    const std::size_t at = text::FindNoCase(strConnectionString, kDataSource);
    if (at == npos) {
        return unchanged;
    }
    const std::size_t pathStart = at + kDataSource.size();
    const std::size_t semicolon = strConnectionString.find(';', pathStart);
    const std::string_view path = strConnectionString.substr(
        pathStart, semicolon == npos ? npos : semicolon - pathStart);
    if (path.empty() || pathtext::IsAbsolutePath(path)) {
        return unchanged;
    }
    const std::string_view folder = strActiveDocumentFolder.empty() ? strDefaultFolder : strActiveDocumentFolder;
    if (folder.empty()) {
        // Joining to "" would turn the name into a path at the root of the file system.
        return unchanged;
    }
    std::string result(strConnectionString.substr(0, at));
    result += kDataSource;
    result += pathtext::BuildPath(folder, path);
    result += ';';
    if (semicolon != npos) {
        result += strConnectionString.substr(semicolon + 1);
    }
    return result;
}

std::string MakeRecordSourceStatement(std::string& strRecordSourceType, std::string_view strRecordSource,
                                      std::string_view strRSWhere, std::string_view strRSOrder,
                                      std::string_view strFilter, std::string_view strSort) {
    std::string statement(strRecordSource);
    using settingtypes::RecordSourceType;
    if (settingtypes::ParseRecordSourceType(strRecordSourceType) == RecordSourceType::Table &&
        (!strRSWhere.empty() || !strRSOrder.empty() || !strFilter.empty() || !strSort.empty())) {
        strRecordSourceType = settingtypes::RecordSourceTypeText(RecordSourceType::Text);
        statement = "SELECT * FROM " + std::string(strRecordSource);
        if (!strRSWhere.empty()) {
            statement += " WHERE " + std::string(strRSWhere);
        }
        if (!strRSOrder.empty()) {
            statement += " ORDER BY " + std::string(strRSOrder);
        }
    }
    if (!strFilter.empty()) {
        statement = AddFilterToStatement(statement, strFilter);
    }
    if (!strSort.empty()) {
        statement = AddSortToStatement(statement, strSort);
    }
    return statement;
}

std::string AddFilterToStatement(std::string_view strStatement, std::string_view strFilter) {
    if (strFilter.empty()) {
        return std::string(strStatement);
    }
    std::vector<std::string> tokens;
    SplitTokensKeepDelimiters(strStatement, tokens, "");
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        if (text::ToUpper(tokens[i]) == "WHERE") {
            return InsertFilterAfterWhere(tokens, i, strFilter);
        }
    }
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        if (text::ToUpper(tokens[i]) == "FROM") {
            if (i + 2 >= tokens.size()) {
                return Join(tokens, 0, i + 1);  // no table after FROM: nothing to filter
            }
            return Join(tokens, 0, i + 3) + " WHERE " + std::string(strFilter) + Join(tokens, i + 3, tokens.size());
        }
    }
    return std::string(strStatement);
}

std::string AddSortToStatement(std::string_view strStatement, std::string_view strSort) {
    if (strSort.empty()) {
        return std::string(strStatement);
    }
    std::vector<std::string> tokens;
    SplitTokens(strStatement, tokens, "");
    for (std::size_t i = 0; i + 1 < tokens.size(); ++i) {
        if (text::ToUpper(tokens[i]) == "ORDER" && text::ToUpper(tokens[i + 1]) == "BY") {
            return std::string(strStatement) + "," + std::string(strSort);
        }
    }
    return std::string(strStatement) + " ORDER BY " + std::string(strSort);
}

std::string GetTableNameFromStatement(std::string_view strStatement) {
    std::vector<std::string> tokens;
    const long count = SplitTokens(strStatement, tokens, "");
    if (count == 1) {
        return tokens[0];
    }
    if (count > 3) {
        for (std::size_t i = 0; i + 1 < tokens.size(); ++i) {
            if (text::ToUpper(tokens[i]) == "FROM") {
                return tokens[i + 1];
            }
        }
    }
    return {};
}

bool IsExecuteStatement(std::string_view strStatement) {
    return text::FindNoCase(strStatement, "EXECUTE") != npos;
}

long SplitTokens(std::string_view strText, std::vector<std::string>& strTokens, std::string_view strDelimiter) {
    return StoreTokens(Tokenize(strText, strDelimiter, false), strTokens);
}

long SplitTokensKeepDelimiters(std::string_view strText, std::vector<std::string>& strTokens,
                               std::string_view strDelimiter) {
    return StoreTokens(Tokenize(strText, strDelimiter, true), strTokens);
}

bool TextToFlag(std::string_view strText) {
    const std::string text = text::ToLower(text::Trim(strText, text::kSpace));
    if (text == "true") {
        return true;
    }
    if (valuetext::ReadsAsNumber(text)) {
        return std::strtod(text.c_str(), nullptr) != 0.0;
    }
    return false;
}

std::string FlagToText(bool blnFlag) {
    return std::string(blnFlag ? modPLConst::FLAG_TRUE : modPLConst::FLAG_FALSE);
}

std::string ColumnLetters(long lngColumn) {
    if (lngColumn < 1) {
        throw host::HostError(5, "modPLFunction", fmt::format("Column number out of range: {}", lngColumn));
    }
    std::string letters;
    long n = lngColumn;
    while (n >= 27) {
        const long digit = n - 26 * ((n - 1) / 26);
        letters.insert(letters.begin(), static_cast<char>('a' + digit - 1));
        n = (n - 1) / 26;
    }
    letters.insert(letters.begin(), static_cast<char>('a' + n - 1));
    return letters;
}

bool IsInvalidBookmarkName(std::string_view strName,
                           const std::function<bool(std::string_view)>& bookmarkExists,
                           const std::function<void(std::string_view)>& addAndDeleteBookmark,
                           std::string& strErrorText) {
    if (bookmarkExists(strName)) {
        return false;
    }
    try {
        addAndDeleteBookmark(strName);
        return false;
    } catch (const host::HostError& error) {
        strErrorText = error.Description();
    } catch (const std::exception& error) {
        strErrorText = error.what();
    }
    return true;
}

std::string MakeErrorReportText(std::string_view strSource, long lngNumber, std::string_view strDescription) {
    // Error numbers are shown as the 32-bit pattern, as the platform's error codes are known.
    // Whatever a driver quoted, a connection string's password is never shown.
    const auto pattern = static_cast<std::uint32_t>(lngNumber);
    return fmt::format("{}{}({:X})\n\n{}", strSource, modPLConst::ERROR_WORD, pattern,
                       host::ado::MaskPasswords(strDescription));
}

ErrorReport MakeErrorReport(const host::HostError& error) {
    return {MakeErrorReportText(error.Source(), error.Number(), error.Description()), error.HelpFile(),
            error.HelpContext()};
}

void SetDefaultFolder(std::string_view strFolder) {
    if (!strFolder.empty()) {
        DefaultFolderStore() = std::string(strFolder);
    }
}

std::string GetDefaultFolder() {
    return DefaultFolderStore();
}

}  // namespace paperloom::modPLFunction
