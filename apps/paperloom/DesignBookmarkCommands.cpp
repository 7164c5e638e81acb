// paperloom design bookmark: the template's bookmarks listed, or one added over a text, deleted
// or renamed, through the designer's bookmark manager with its clicks made from the options.
// Names follow the manager's rules: letter case does not tell two names apart.

#include "CliError.h"
#include "DesignSession.h"
#include "DesignSubcommand.h"

#include "Edit/EditCommands.h"
#include "Edit/EditDialogs.h"
#include "Edit/EditForms.h"
#include "Edit/frmPLEBookmark.h"
#include "host/word/Bookmarks.h"

#include <fmt/format.h>

#include <functional>
#include <optional>
#include <ostream>

namespace paperloom::cli {
namespace {

using namespace design;

struct BookmarkOptions {
    fs::path templatePath;
    bool list = false;
    std::string add;
    std::string at;
    std::string remove;
    std::vector<std::string> rename;  // OLD NEW
    fs::path output;
    bool inPlace = false;
};

// The bookmark manager worked by `clicks` while it is up, then closed; every other dialog
// closes as cancelled.
class BookmarkForms final : public edit::EditForms {
public:
    explicit BookmarkForms(std::function<void(frmPLEBookmark&)> clicks) : clicks_(std::move(clicks)) {}

    void ShowDBBind(clsPLEBindForm&) override {}
    void ShowDetailInsert(frmPLEDetailInsert&) override {}
    void ShowFilter(clsPLFilterEditor&) override {}
    void ShowSort(clsPLSortEditor&) override {}
    void ShowConnectionEditor(edit::ConnectionEditor&) override {}
    void ShowDataLinkEditor(edit::DataLinkEditor&) override {}
    void Unload() override {}

    void ShowBookmark(frmPLEBookmark& form) override {
        shown_ = true;
        clicks_(form);
        form.cmdClose_Click();
    }
    bool Shown() const { return shown_; }

private:
    std::function<void(frmPLEBookmark&)> clicks_;
    bool shown_ = false;
};

std::string NameRules(const std::string& option, const std::string& name) {
    return fmt::format("{} \"{}\" is not a bookmark name: 1 to 40 letters, digits and underscores, beginning with a "
                       "letter.",
                       option, name);
}

// The template's bookmark of that name, letter case ignored.
std::optional<std::string> Existing(word::Document& document, const std::string& name) {
    for (const auto& existing : document.Bookmarks())
        if (SameBookmarkName(existing, name)) return existing;
    return std::nullopt;
}

std::string Known(word::Document& document) {
    std::string names;
    for (const auto& name : document.Bookmarks()) names += (names.empty() ? "" : ", ") + name;
    return names.empty() ? "it has none" : "it has " + names;
}

// Selects the entry of that name in the manager's list.
void Select(frmPLEBookmark& form, const std::string& name) {
    for (std::size_t i = 0; i < form.lstBookmark.size(); ++i)
        if (form.lstBookmark[i] == name) form.lstBookmark_Click(static_cast<long>(i));
}

int RunBookmark(const BookmarkOptions& o, std::ostream& out) {
    const int actions = (o.list ? 1 : 0) + (o.add.empty() ? 0 : 1) + (o.remove.empty() ? 0 : 1) + (o.rename.empty() ? 0 : 1);
    if (actions != 1) throw CliError("Give one of --list, --add NAME --at TEXT, --delete NAME or --rename OLD NEW.");
    if (o.list) {
        if (o.inPlace || !o.output.empty()) throw CliError("--list changes nothing; -o and --in-place do not apply.");
    } else {
        CheckWriteTarget(o.templatePath, o.output, o.inPlace);
    }
    if (!o.add.empty() && o.at.empty()) throw CliError("--add needs --at TEXT: the text the bookmark covers.");
    if (o.add.empty() && !o.at.empty()) throw CliError("--at goes with --add.");
    if (!o.add.empty() && !word::Bookmarks::IsValidName(o.add)) throw CliError(NameRules("--add", o.add));
    if (!o.rename.empty() && !word::Bookmarks::IsValidName(o.rename[1])) throw CliError(NameRules("--rename", o.rename[1]));

    DesignSession session(o.templatePath);
    auto& document = session.Document();
    if (o.list) {
        for (const auto& name : document.Bookmarks()) out << name << "\n";
        return exitcode::ok;
    }

    std::function<void(frmPLEBookmark&)> clicks;
    std::string done;
    if (!o.add.empty()) {
        const auto placeholder = FindPlaceholder(document, o.at);
        if (!placeholder)
            throw CliError(fmt::format("\"{}\" does not occur in {} (main text, text boxes, headers and footers).", o.at,
                                       o.templatePath.string()));
        document.Selection().Select(*placeholder);
        const auto before = Existing(document, o.add);
        clicks = [&](frmPLEBookmark& form) {
            form.txtBookmarkName = o.add;
            form.cmdAdd_Click();
        };
        done = fmt::format("bookmark {} over \"{}\"{}", o.add, o.at,
                           before ? fmt::format(" (moved; it was {})", *before) : std::string());
    } else if (!o.remove.empty()) {
        const auto name = Existing(document, o.remove);
        if (!name) throw CliError(fmt::format("The template has no bookmark {}; {}.", o.remove, Known(document)));
        clicks = [name](frmPLEBookmark& form) {
            Select(form, *name);
            form.cmdRemove_Click();
        };
        done = fmt::format("bookmark {} deleted", *name);
    } else {
        const std::string& newName = o.rename[1];
        const auto name = Existing(document, o.rename[0]);
        if (!name) throw CliError(fmt::format("The template has no bookmark {}; {}.", o.rename[0], Known(document)));
        // The manager would move the other bookmark onto this one's text; a script more likely
        // mistyped, so the other bookmark is kept.
        if (const auto other = Existing(document, newName); other && !SameBookmarkName(*other, *name))
            throw CliError(fmt::format("The template already has a bookmark {}; delete it first or choose another name.",
                                       *other));
        if (*name == newName) throw CliError(fmt::format("The bookmark is already named {}.", newName));
        clicks = [name, newName](frmPLEBookmark& form) {
            Select(form, *name);
            form.cmdRename_Click();
            form.lstBookmark_AfterLabelEdit(newName);
        };
        done = fmt::format("bookmark {} renamed {}", *name, newName);
    }

    RecordedMessages messages;
    BookmarkForms forms(clicks);
    const edit::ScopedEditForms scoped(&forms);
    edit::EditDialogs dialogs;
    edit::EditCommands(session.Host(), dialogs).Bookmarks();
    if (!forms.Shown()) throw CliError("The bookmark manager did not open.");
    // The manager shows a refused action as a message and stays open; nothing is written then.
    if (const std::string complaint = messages.LastComplaint(); !complaint.empty()) throw CliError(complaint);

    const fs::path target = session.Save(o.templatePath, o.output, o.inPlace);
    out << done << "\n";
    out << "written: " << target.string() << "\n";
    return exitcode::ok;
}

class BookmarkCommand final : public DesignSubcommand {
public:
    explicit BookmarkCommand(CLI::App& design) {
        auto& o = options_;
        command_ = design.add_subcommand("bookmark", "List the template's bookmarks, or add, delete or rename one");
        command_->footer(
            "Bookmark names are 1 to 40 letters, digits and underscores, beginning with a letter; letter case does "
            "not tell two names apart. --add with a name the template has moves that bookmark to the text.");
        command_->add_option("TEMPLATE", o.templatePath, "The template (.docx)")->required();
        auto* list = command_->add_flag("--list", o.list, "List the bookmarks, one name a line");
        auto* add = command_->add_option("--add", o.add, "Add a bookmark of this name over the --at text");
        command_->add_option("--at", o.at, "The text the new bookmark covers (its first occurrence: main text, text "
                                           "boxes, headers and footers)");
        auto* remove = command_->add_option("--delete", o.remove, "Delete this bookmark (the text stays)");
        auto* rename = command_->add_option("--rename", o.rename, "Rename bookmark OLD to NEW (same text)")
                           ->expected(2)
                           ->type_name("OLD NEW");
        list->excludes(add, remove, rename);
        add->excludes(remove, rename);
        remove->excludes(rename);
        AddWriteOptions(*command_, o.output, o.inPlace);
    }
    int Run(std::ostream& out) override { return RunBookmark(options_, out); }

private:
    BookmarkOptions options_;
};

}  // namespace

void AddBookmarkCommands(CLI::App& design, DesignSubcommands& commands) {
    commands.push_back(std::make_unique<BookmarkCommand>(design));
}

}  // namespace paperloom::cli
