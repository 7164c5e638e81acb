#pragma once
// Running the paperloom program as a subprocess in a scratch folder (its own configuration
// folder, so the add-in registry it writes is the test's), and the templates the tests use: a
// shop database of five orders and a template showing one order per page.

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "TemplateKit.h"
#include "support/TestFiles.h"
#include "host/word/Document.h"

extern char** environ;

namespace paperloom::cli::test {

namespace fs = std::filesystem;

inline std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class Scratch : public paperloom::test::ScratchFolder {
public:
    Scratch() : ScratchFolder("paperloom-cli") {}
    fs::path operator/(const std::string& name) const { return Path() / name; }
};

struct CliResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs the program with `args` in `folder`; `env` entries replace or add variables (an empty
// value removes one). `inChild` runs in the child just before the program starts (limits).
inline CliResult RunCli(const fs::path& folder, const std::vector<std::string>& args,
                        const std::map<std::string, std::string>& env = {}, void (*inChild)() = nullptr) {
    std::map<std::string, std::string> variables;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        const auto eq = entry.find('=');
        if (eq != std::string::npos) variables[entry.substr(0, eq)] = entry.substr(eq + 1);
    }
    variables["PAPERLOOM_CONFIG_DIR"] = (folder / "config").string();
    variables.erase("PAPERLOOM_PRINT_DIR");
    for (const auto& [name, value] : env) {
        if (value.empty())
            variables.erase(name);
        else
            variables[name] = value;
    }
    std::vector<std::string> envText;
    for (const auto& [name, value] : variables) envText.push_back(name + "=" + value);
    std::vector<char*> envp;
    for (auto& text : envText) envp.push_back(text.data());
    envp.push_back(nullptr);
    std::vector<std::string> argText{PAPERLOOM_CLI};
    argText.insert(argText.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& text : argText) argv.push_back(text.data());
    argv.push_back(nullptr);

    const fs::path outFile = folder / ".cli-out";
    const fs::path errFile = folder / ".cli-err";
    const std::string dir = folder.string();
    const pid_t child = ::fork();
    if (child < 0) throw std::runtime_error("fork failed");
    if (child == 0) {
        const int out = ::open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = ::open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (out < 0 || err < 0 || ::chdir(dir.c_str()) != 0) ::_exit(126);
        ::dup2(out, 1);
        ::dup2(err, 2);
        if (inChild) inChild();
        ::execve(argv[0], argv.data(), envp.data());
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    CliResult result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    result.out = ReadFile(outFile);
    result.err = ReadFile(errFile);
    return result;
}

inline void RunSql(const fs::path& path, const std::string& sql) { paperloom::test::RunSqlite(path, sql); }

// Orders 1..5: shops A B A C B, notes first none bulk late last; quantities 5 0 12 7 3.
inline void MakeShopDatabase(const fs::path& path) {
    RunSql(path,
           "CREATE TABLE Orders (Id INTEGER, Shop TEXT, Qty INTEGER, Note TEXT);"
           "INSERT INTO Orders VALUES (1, 'A', 5, 'first'), (2, 'B', 0, 'none'), (3, 'A', 12, 'bulk'),"
           " (4, 'C', 7, 'late'), (5, 'B', 3, 'last');"
           "CREATE TABLE Lines (OrderId INTEGER, Item TEXT, Price INTEGER);"
           "INSERT INTO Lines VALUES (1, 'りんご', 100), (1, 'みかん', 50), (3, 'ぶどう', 300), (4, 'もも', 250);");
}

// A template on `database` (relative to the template) showing an order's fields and its lines,
// the orders sorted by `order` in the record source itself.
inline fs::path MakeShopTemplate(const fs::path& path, const std::string& database = "shop.db",
                                 const std::string& order = "Id") {
    namespace kit = templatekit;
    namespace sk = templatekit::skeleton;
    const std::string body = sk::Paragraph(sk::Run("注文 [ID] 店 [SHOP] 数量 [QTY] 備考 [NOTE] 件 [SEQ]")) +
                             sk::Paragraph(sk::Run("[LINES]")) + sk::Paragraph();
    kit::TemplateWriter writer(sk::MakeDocument(body, path.filename().string()));
    kit::HeaderBinding header;
    header.source = {"4", database, "", "", "2", "Orders", "", order};
    writer.WriteHeaderBinding(header);
    writer.ReplaceMarker("[ID]", kit::DataFieldCode("Id"));
    writer.ReplaceMarker("[SHOP]", kit::DataFieldCode("Shop"));
    writer.ReplaceMarker("[QTY]", kit::DataFieldCode("Qty"));
    writer.ReplaceMarker("[NOTE]", kit::DataFieldCode("Note"));
    writer.ReplaceMarker("[SEQ]", kit::SequenceIndexCode());
    kit::DetailTable lines;
    lines.source = {"4", database, "", "", "2", "Lines", "", "Item"};
    lines.parentKey = "Id";
    lines.childKey = "OrderId";
    lines.autoAdjustRowCount = true;
    lines.dataRows = 1;
    kit::DetailColumn item;
    item.kind = kit::ColumnKind::Data;
    item.dataField = "Item";
    item.caption = "品目";
    kit::DetailColumn price;
    price.kind = kit::ColumnKind::Data;
    price.dataField = "Price";
    price.caption = "価格";
    lines.columns = {item, price};
    lines.bookmark = "明細";
    writer.AddDetailTable(writer.FindMarker("[LINES]"), lines);
    writer.SaveAs(path);
    return path;
}

// The main text of a saved document, field results shown.
inline std::string DocumentText(const fs::path& path) {
    auto document = word::Document::Open(path);
    std::string text = document->Content().Text();
    document->Close();
    return text;
}

}  // namespace paperloom::cli::test
