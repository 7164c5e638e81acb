#pragma once
// What the design commands of the command line share: checking the options, opening the
// template in an application of its own, finding the text a command works at, and the message
// boxes the dialogs show while a command runs. Each command answers its dialogs with forms of
// its own (EditForms) and runs the add-in's command classes unchanged.

#include "CliError.h"
#include "OutputPath.h"

#include "common/clsPLProperty.h"
#include "common/modPLFunction.h"
#include "host/HostError.h"
#include "host/ui/HeadlessServices.h"
#include "host/ui/UiServices.h"
#include "host/word/Application.h"
#include "host/word/Document.h"
#include "host/word/Range.h"
#include "host/word/addins/AddInHost.h"

#include <fmt/format.h>

#include <filesystem>
#include <initializer_list>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace paperloom::cli::design {

namespace fs = std::filesystem;

// Rows a detail table can have besides its header row.
constexpr long kMaxRows = 32766;
constexpr std::size_t kMaxColumns = 63;

bool IsOneOf(const std::string& value, std::initializer_list<std::string_view> allowed);
void CheckDataSourceType(const std::string& type);
void CheckRecordSource(const std::string& type, const std::string& source, const std::string& where,
                       const std::string& order);

// The data source as the user would have entered it in the data bind dialog. A database file
// (type 4, named relative to the current folder) becomes the dialog's connection string (type 2),
// its path relative to the folder the template is written to when the file lies there or below,
// so the two can move together (the run-time resolves it against the template's folder); a data
// link file is named by its full path.
std::pair<std::string, std::string> TypedDataSource(const std::string& type, const std::string& source,
                                                    const fs::path& targetFolder);
// The folder the command writes the template into.
fs::path TargetFolder(const fs::path& templatePath, const fs::path& output, bool inPlace);
// -o or --in-place, exactly one; the output is not the template and its folder exists.
void CheckWriteTarget(const fs::path& templatePath, const fs::path& output, bool inPlace);

// Opens the data source and the record source once, as the run-time will, and returns the
// record source's field names; CliError saying what does not open. `what` ("header ", "detail "
// or "") begins the message.
std::vector<std::string> OpenedFields(const std::string& what, const std::string& dataSourceType,
                                      const std::string& dataSource, const std::string& user,
                                      const std::string& password, const std::string& recordSourceType,
                                      const std::string& recordSource, const std::string& where,
                                      const std::string& order, const std::string& folder);
// CliError listing the fields when `field` is not among them; `what` names the option.
void CheckFieldOf(const std::vector<std::string>& fields, const std::string& field, const std::string& what);

// The boxes the dialogs showed while a command ran, answered as a cautious user would (or as
// queued); the last error or warning among them tells why a dialog stayed open.
class RecordedMessages {
public:
    RecordedMessages() : service_(std::make_shared<ui::HeadlessMessageService>(log_)) {
        ui::UiServices services;
        services.messages = service_;
        scope_.emplace(std::move(services));
    }
    void QueueAnswer(long answer) { service_->QueueAnswer(answer); }
    std::string LastComplaint() const {
        for (auto shown = service_->Shown().rbegin(); shown != service_->Shown().rend(); ++shown)
            if (shown->request.icon != ui::MessageIcon::Question) return shown->request.strText;
        return {};
    }

private:
    std::ostringstream log_;
    std::shared_ptr<ui::HeadlessMessageService> service_;
    std::optional<ui::ScopedServices> scope_;
};

// The template open in an application of its own. No add-in is connected (so nothing is
// refreshed) and the host is never started, so no configuration is read or written.
class DesignSession {
public:
    explicit DesignSession(const fs::path& templatePath)
        : host_(std::make_shared<word::Application>(), word::UserConfigFolder()) {
        CheckTemplate(templatePath);
        try {
            document_ = host_.Application().Documents().Open(fs::absolute(templatePath));
        } catch (const host::HostError& error) {
            throw CliError(fmt::format("The template {} cannot be read: {}", templatePath.string(), error.Description()));
        }
    }
    ~DesignSession() {
        try {
            if (document_ && !document_->Closed()) document_->Close(word::wdDoNotSaveChanges);
        } catch (...) {
            // Nothing was saved; closing only frees it.
        }
    }
    DesignSession(const DesignSession&) = delete;
    DesignSession& operator=(const DesignSession&) = delete;

    word::AddInHost& Host() { return host_; }
    word::Document& Document() { return *document_; }
    std::string Folder() { return modPLFunction::ActiveDocumentFolder(host_.Application()); }
    std::string Variable(std::string_view name) const { return clsPLProperty().GetDocVariable(name, *document_, ""); }

    // Saves atomically to the template itself or to the copy.
    fs::path Save(const fs::path& templatePath, const fs::path& output, bool inPlace) {
        const fs::path target = fs::absolute(inPlace ? templatePath : output);
        document_->SaveAs(target);
        return target;
    }

private:
    word::AddInHost host_;
    std::shared_ptr<word::Document> document_;
};

// The first occurrence of the text: main text, its text boxes, then headers and footers (and
// their text boxes).
std::optional<word::Range> FindPlaceholder(word::Document& document, const std::string& text);

}  // namespace paperloom::cli::design
