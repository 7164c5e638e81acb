#pragma once
// A host with the run-time add-in connected in process, over a scratch configuration folder,
// and a shop template whose header shows Shop and Id.

#include <memory>
#include <string>
#include <vector>

#include "../host/word/addins/AddInTestSupport.h"
#include "FillTestSupport.h"
#include "host/word/addins/AddInHost.h"
#include "host/word/fields/Field.h"

namespace paperloom::run::test {

inline word::AddInRegistration RunRegistration(const std::filesystem::path& library = "/not/loaded/libOsPLRun.so") {
    return {"OsPLRun.conPLRun", library, "Paperloom 実行", "ｱﾄﾞｲﾝ ﾌﾟﾛｼﾞｪｸﾄ ﾃﾝﾌﾟﾚｰﾄ", 3};
}

// Shop and Id of the shown record, as the header fields show them.
inline std::string ShopTemplateBody() {
    return Para(FieldRuns("quote DataField Shop", "?")) + Para(FieldRuns("quote DataField Id", "?"));
}

inline std::vector<std::string> Shown(const word::Document& doc) {
    std::vector<std::string> results;
    for (const auto& field : word::FieldsOf(doc)) results.push_back(field.Result().Text());
    return results;
}

inline std::vector<std::string> Tags(const std::shared_ptr<word::CommandBar>& bar) {
    std::vector<std::string> tags;
    for (const auto& control : bar->Controls()) tags.push_back(control->Tag());
    return tags;
}

inline const std::vector<std::string> kMenuTags{
    "MenuHeadFirst", "MenuHeadPrev",   "MenuHeadMove",   "MenuHeadNext", "MenuHeadLast",     "MenuHeadFind",
    "MenuHeadFilter", "MenuHeadSort",  "MenuHeadTest",   "MenuDetailTest", "MenuPrintCurrent", "MenuDocAll",
    "MenuDocCurrent", "MenuPrintAll",  "MenuOption",     "MenuRunHelp",  "MenuAbout"};
inline const std::vector<std::string> kToolTags{
    "ToolHeadFirst",  "ToolHeadPrev",    "ToolHeadMove",     "ToolHeadNext", "ToolHeadLast",   "ToolHeadFind",
    "ToolHeadFilter", "ToolHeadSort",    "ToolHeadTest",     "ToolDetailTest", "ToolPrintCurrent", "ToolPrintAll",
    "ToolDocCurrent", "ToolDocAll",      "ToolOption",       "ToolRunHelp"};

// The "Run" submenu's bar, or null.
inline std::shared_ptr<word::CommandBar> RunMenu(word::CommandBars& bars) {
    const auto popup = bars.Item("Tools")->FindControl("Paperloom");
    if (!popup) return nullptr;
    const auto run = popup->CommandBar()->FindControl("Run");
    return run ? run->CommandBar() : nullptr;
}

inline long CountBarsNamed(word::CommandBars& bars, const std::string& name) {
    long count = 0;
    for (const auto& bar : bars) count += bar->Name() == name ? 1 : 0;
    return count;
}

}  // namespace paperloom::run::test
