#include "Edit/ConnectionEditor.h"

#include <algorithm>

#include "Edit/EditForms.h"
#include "common/modPLConst.h"
#include "common/modPLFunction.h"
#include "host/AsciiText.h"
#include "host/DebugLog.h"
#include "host/HostError.h"
#include "host/ado/Connection.h"
#include "host/ado/DataSourceList.h"
#include "host/ui/UiServices.h"

namespace paperloom::edit {
namespace {

std::string Lower(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

bool SameKeyword(std::string_view a, std::string_view b) { return Lower(a) == Lower(b); }

std::string_view Trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The keywords a driver usually needs, judged by its name (which names the database it serves).
std::vector<std::string> UsualKeywords(std::string_view driverName, bool sqliteEntry) {
    if (sqliteEntry) return {"Data Source"};
    const std::string name = Lower(driverName);
    if (name.find("postgres") != std::string::npos || name.find("psql") != std::string::npos)
        return {"Servername", "Port", "Database", "UID", "PWD"};
    if (name.find("sqlite") != std::string::npos) return {"Database"};
    if (name.find("mysql") != std::string::npos || name.find("maria") != std::string::npos)
        return {"Server", "Port", "Database", "UID", "PWD"};
    return {"Server", "Database", "UID", "PWD"};
}

std::string QuoteValue(std::string_view value) {
    const bool needsBraces = value.find_first_of(";{}") != std::string_view::npos ||
                             (!value.empty() && (value.front() == ' ' || value.back() == ' '));
    if (!needsBraces) return std::string(value);
    std::string out = "{";
    for (const char c : value) {
        out += c;
        if (c == '}') out += '}';
    }
    return out + "}";
}

void ShowMessage(std::string text, ui::MessageIcon icon) {
    ui::MessageRequest request;
    request.strText = std::move(text);
    request.strTitle = std::string(modPLConst::EDIT_APP_TITLE);
    request.icon = icon;
    ui::Messages().Show(request);
}

}  // namespace

std::vector<ConnectionKeyword> ConnectionEditor::ParseConnectionString(std::string_view text) {
    std::vector<ConnectionKeyword> out;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t equals = text.find('=', at);
        const std::size_t semicolon = text.find(';', at);
        if (equals == std::string_view::npos || (semicolon != std::string_view::npos && semicolon < equals)) {
            // A part without "=" is kept as a keyword without value.
            const std::size_t end = semicolon == std::string_view::npos ? text.size() : semicolon;
            if (const auto part = Trim(text.substr(at, end - at)); !part.empty()) out.push_back({std::string(part), {}});
            at = end + 1;
            continue;
        }
        ConnectionKeyword keyword{std::string(Trim(text.substr(at, equals - at))), {}};
        std::size_t valueAt = equals + 1;
        while (valueAt < text.size() && text[valueAt] == ' ') ++valueAt;
        if (valueAt < text.size() && text[valueAt] == '{') {
            std::size_t i = valueAt + 1;
            for (; i < text.size(); ++i) {
                if (text[i] == '}') {
                    if (i + 1 < text.size() && text[i + 1] == '}') {
                        keyword.strValue += '}';
                        ++i;
                        continue;
                    }
                    break;
                }
                keyword.strValue += text[i];
            }
            const std::size_t end = text.find(';', i);
            at = end == std::string_view::npos ? text.size() : end + 1;
        } else {
            const std::size_t end = text.find(';', valueAt);
            keyword.strValue = std::string(Trim(text.substr(valueAt, (end == std::string_view::npos ? text.size() : end) - valueAt)));
            at = end == std::string_view::npos ? text.size() : end + 1;
        }
        if (!keyword.strKeyword.empty()) out.push_back(std::move(keyword));
    }
    return out;
}

void ConnectionEditor::Init(std::string_view strConnectionString) {
    mblnResult = false;
    cboDriverList = {kSqliteEntry};
    try {
        for (auto& driver : host::ado::ListOdbcDrivers()) cboDriverList.push_back(std::move(driver.name));
    } catch (...) {
        // Without a driver manager only the embedded engine is offered.
        debuglog::Swallowed("ConnectionEditor.cpp: Init");
    }
    cboDriver = -1;
    lstKeywords.clear();
    auto parts = ParseConnectionString(strConnectionString);
    const auto find = [&](std::string_view key) {
        return std::find_if(parts.begin(), parts.end(), [&](const auto& k) { return SameKeyword(k.strKeyword, key); });
    };
    if (const auto provider = find("Provider");
        provider != parts.end() && Lower(provider->strValue).find("sqlite") != std::string::npos) {
        const auto source = find("Data Source");
        cboDriver_Click(0);
        if (source != parts.end()) lstKeywords.front().strValue = source->strValue;
        return;
    }
    if (const auto driver = find("Driver"); driver != parts.end()) {
        const auto entry = std::find_if(cboDriverList.begin() + 1, cboDriverList.end(),
                                        [&](const auto& name) { return SameKeyword(name, driver->strValue); });
        if (entry != cboDriverList.end()) {
            parts.erase(driver);
            lstKeywords = parts;
            cboDriver_Click(static_cast<int>(entry - cboDriverList.begin()));
            // Keywords the driver does not usually take stay after its usual ones.
            for (const auto& part : parts) {
                const bool listed = std::any_of(lstKeywords.begin(), lstKeywords.end(),
                                                [&](const auto& k) { return SameKeyword(k.strKeyword, part.strKeyword); });
                if (!listed) lstKeywords.push_back(part);
            }
            return;
        }
    }
    lstKeywords = std::move(parts);
}

bool ConnectionEditor::DoModal() {
    mblnResult = false;
    if (EditForms* forms = CurrentEditForms()) forms->ShowConnectionEditor(*this);
    return mblnResult;
}

std::string ConnectionEditor::GetConnectionString() const {
    std::string out;
    auto append = [&](std::string_view part) {
        if (!out.empty()) out += ';';
        out += part;
    };
    if (IsSqlite()) {
        const auto source = std::find_if(lstKeywords.begin(), lstKeywords.end(),
                                         [](const auto& k) { return SameKeyword(k.strKeyword, "Data Source"); });
        if (source == lstKeywords.end() || source->strValue.empty()) return {};
        return "Provider=SQLite;Data Source=" + source->strValue;
    }
    if (cboDriver > 0 && static_cast<std::size_t>(cboDriver) < cboDriverList.size())
        // Driver names are always braced: most hold blanks.
        append("Driver={" + cboDriverList[static_cast<std::size_t>(cboDriver)] + "}");
    for (const auto& keyword : lstKeywords) {
        if (keyword.strKeyword.empty() || keyword.strValue.empty()) continue;
        append(keyword.strKeyword + "=" + QuoteValue(keyword.strValue));
    }
    return out;
}

void ConnectionEditor::cboDriver_Click(int intIndex) {
    if (intIndex < 0 || static_cast<std::size_t>(intIndex) >= cboDriverList.size()) return;
    cboDriver = intIndex;
    std::vector<ConnectionKeyword> keywords;
    for (const auto& name : UsualKeywords(cboDriverList[static_cast<std::size_t>(intIndex)], intIndex == 0)) {
        const auto typed = std::find_if(lstKeywords.begin(), lstKeywords.end(),
                                        [&](const auto& k) { return SameKeyword(k.strKeyword, name); });
        keywords.push_back({name, typed == lstKeywords.end() ? std::string() : typed->strValue});
    }
    lstKeywords = std::move(keywords);
}

void ConnectionEditor::SetKeywordValue(std::size_t lngRow, std::string_view strValue) {
    if (lngRow < lstKeywords.size()) lstKeywords[lngRow].strValue = std::string(strValue);
}

void ConnectionEditor::cmdAddKeyword_Click(std::string_view strKeyword) {
    const auto keyword = Trim(strKeyword);
    if (keyword.empty() || keyword.find_first_of("=;{}") != std::string_view::npos) return;
    const bool listed = std::any_of(lstKeywords.begin(), lstKeywords.end(),
                                    [&](const auto& k) { return SameKeyword(k.strKeyword, keyword); });
    if (!listed) lstKeywords.push_back({std::string(keyword), {}});
}

void ConnectionEditor::cmdRemoveKeyword_Click(std::size_t lngRow) {
    if (lngRow < lstKeywords.size()) lstKeywords.erase(lstKeywords.begin() + static_cast<std::ptrdiff_t>(lngRow));
}

void ConnectionEditor::cmdTest_Click() {
    const std::string text = GetConnectionString();
    if (text.empty()) {
        ShowMessage("接続先が設定されていません", ui::MessageIcon::Exclamation);
        return;
    }
    try {
        host::ado::Connection connection;
        connection.Open(text);
        connection.Close();
    } catch (const host::HostError& error) {
        ShowMessage("接続できませんでした\n\nエラー内容\n " + error.Description(), ui::MessageIcon::Exclamation);
        return;
    }
    ShowMessage("接続に成功しました", ui::MessageIcon::Information);
}

bool ConnectionEditor::cmdOK_Click() {
    if (GetConnectionString().empty()) {
        ShowMessage(IsSqlite() ? "データベース ファイルを指定してください" : "ドライバーを選択してください",
                    ui::MessageIcon::Critical);
        return false;
    }
    mblnResult = true;
    return true;
}

}  // namespace paperloom::edit
