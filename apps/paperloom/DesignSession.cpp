#include "DesignSession.h"

#include "OutputPath.h"

#include "common/modPLConst.h"
#include "host/ado/Connection.h"
#include "host/ado/PasswordMask.h"
#include "host/ado/Recordset.h"
#include "host/word/Shapes.h"

#include <algorithm>

namespace paperloom::cli::design {
namespace {

namespace K = modPLConst;

std::optional<word::Range> FindIn(word::Range range, const std::string& text) {
    auto find = range.Find();
    find.ClearFormatting();
    find.SetText(text);
    if (find.Execute()) return range;
    return std::nullopt;
}

std::optional<word::Range> FindInShapes(const word::Shapes& shapes, const std::string& text) {
    for (const auto& shape : shapes) {
        std::vector<word::Shape> parts;
        if (shape.Type() == word::msoGroup)
            for (const auto& item : shape.GroupItems()) parts.push_back(item);
        else
            parts.push_back(shape);
        for (const auto& part : parts) {
            const auto frame = part.TextFrame();
            if (!frame.HasText()) continue;
            if (auto found = FindIn(frame.TextRange(), text)) return found;
        }
    }
    return std::nullopt;
}

}  // namespace

// The first occurrence of the text: main text, its text boxes, then headers and footers (and
// their text boxes).
std::optional<word::Range> FindPlaceholder(word::Document& document, const std::string& text) {
    if (auto found = FindIn(document.Content(), text)) return found;
    if (auto found = FindInShapes(document.Shapes(), text)) return found;
    const auto section = document.Sections().First();
    for (const auto& parts : {section.Headers(), section.Footers()})
        for (long index = 1; index <= parts.Count(); ++index) {
            const auto part = parts.Item(index);
            if (!part.Exists()) continue;
            if (auto found = FindIn(part.Range(), text)) return found;
            if (auto found = FindInShapes(part.Shapes(), text)) return found;
        }
    return std::nullopt;
}

bool IsOneOf(const std::string& value, std::initializer_list<std::string_view> allowed) {
    return std::find(allowed.begin(), allowed.end(), value) != allowed.end();
}

void CheckDataSourceType(const std::string& type) {
    if (!IsOneOf(type, {"1", "2", "3", "4"}))
        throw CliError(fmt::format("--data-source-type must be 1 (ODBC data source), 2 (connection string), 3 (data "
                                   "link file) or 4 (database file), not \"{}\".",
                                   type));
}

void CheckRecordSource(const std::string& type, const std::string& source, const std::string& where,
                       const std::string& order) {
    if (!IsOneOf(type, {"1", "2", "4"}))
        throw CliError(fmt::format("--record-source-type must be 1 (command text), 2 (table) or 4 (stored procedure), "
                                   "not \"{}\".",
                                   type));
    if (source.empty()) throw CliError("--record-source is empty.");
    // The dialog keeps no filter or sort beside a command text; it would be dropped unseen.
    if (type == K::RECORD_SOURCE_TEXT && (!where.empty() || !order.empty()))
        throw CliError("--where and --order go with a table or stored procedure (--record-source-type 2 or 4); write "
                       "them into the command text instead.");
}

// The data source as the user would have entered it in the data bind dialog. A database file
// (type 4, named relative to the current folder) becomes the dialog's connection string (type 2),
// its path relative to the folder the template is written to when the file lies there or below,
// so the two can move together (the run-time resolves it against the template's folder); a data
// link file is named by its full path.
std::pair<std::string, std::string> TypedDataSource(const std::string& type, const std::string& source,
                                                    const fs::path& targetFolder) {
    if (source.empty()) return {type, source};
    if (type == K::DATA_SOURCE_DATABASE_FILE) {
        const fs::path file = fs::absolute(source).lexically_normal();
        const fs::path relative = file.lexically_relative(targetFolder);
        const bool inside = !relative.empty() && *relative.begin() != "..";
        return {std::string(K::DATA_SOURCE_CONNECTION_STRING),
                std::string(K::DATABASE_FILE_PREFIX) + (inside ? relative : file).string() +
                    std::string(K::DATABASE_FILE_SUFFIX)};
    }
    if (type == K::DATA_SOURCE_DATA_LINK) return {type, fs::absolute(source).lexically_normal().string()};
    return {type, source};
}

// The folder the command writes the template into.
fs::path TargetFolder(const fs::path& templatePath, const fs::path& output, bool inPlace) {
    return fs::absolute(inPlace ? templatePath : output).lexically_normal().parent_path();
}

void CheckWriteTarget(const fs::path& templatePath, const fs::path& output, bool inPlace) {
    if (inPlace && !output.empty()) throw CliError("Give either -o or --in-place, not both.");
    if (!inPlace && output.empty())
        throw CliError("Give -o OUT.docx to write a changed copy, or --in-place to change the template itself.");
    if (!inPlace) CheckOutput(templatePath, output, "-o", true);
}

// Opens the data source and the record source once, as the run-time will, and returns the
// record source's field names; CliError saying what does not open. `what` ("header ", "detail "
// or "") begins the message.
std::vector<std::string> OpenedFields(const std::string& what, const std::string& dataSourceType,
                                      const std::string& dataSource, const std::string& user,
                                      const std::string& password, const std::string& recordSourceType,
                                      const std::string& recordSource, const std::string& where,
                                      const std::string& order, const std::string& folder) {
    const auto connection = modPLFunction::TryOpenConnection(dataSourceType, dataSource, user, password, folder);
    if (!connection.connection)
        throw CliError(fmt::format("The {}data source does not open: {}", what,
                                   connection.error ? host::ado::MaskPasswords(connection.error->Description(), {password})
                                                    : std::string("it names nothing to connect to.")));
    const auto records = modPLFunction::TryOpenRecordset(connection.connection, recordSourceType, recordSource, where,
                                                         order, "", "");
    std::vector<std::string> names;
    if (records.recordset) {
        const auto fields = records.recordset->Fields();
        for (long i = 0; i < fields.Count(); ++i) names.push_back(fields.Item(i).Name());
        records.recordset->Close();
    }
    connection.connection->Close();
    if (!records.recordset)
        throw CliError(fmt::format("The {}record source \"{}\" does not open: {}", what, recordSource,
                                   records.error ? host::ado::MaskPasswords(records.error->Description(), {password})
                                                 : std::string("it returns no records.")));
    return names;
}

void CheckFieldOf(const std::vector<std::string>& fields, const std::string& field, const std::string& what) {
    if (std::find(fields.begin(), fields.end(), field) != fields.end()) return;
    std::string list;
    for (const auto& name : fields) list += (list.empty() ? "" : ", ") + name;
    throw CliError(fmt::format("{} \"{}\" is not a field of its record source (fields: {}).", what, field, list));
}

}  // namespace paperloom::cli::design
