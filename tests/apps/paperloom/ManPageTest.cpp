// The manual page (packaging/paperloom.1) against the program's own --help texts: the same
// subcommands, and for each the same options and operands, the same global options, and exit
// statuses the program really returns. A new option without its manual entry, or an entry
// for an option that went, fails here.

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <set>
#include <sstream>

#include "CliError.h"
#include "CliTestSupport.h"

namespace paperloom::cli::test {
namespace {

using Names = std::set<std::string>;

// What one --help text lists: section title ("Options", "Positionals", "Subcommands") to the
// names of its items.
std::map<std::string, Names> HelpSections(const std::string& help) {
    std::map<std::string, Names> sections;
    std::string section;
    std::istringstream lines(help);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.front() != ' ' && line.back() == ':') {
            section = line.substr(0, line.size() - 1);
            continue;
        }
        // Items start two blanks in; their descriptions, when wrapped, further in.
        if (section.empty() || line.size() < 3 || line.compare(0, 2, "  ") != 0 || line[2] == ' ') continue;
        const std::string first = line.substr(2, line.find(' ', 2) - 2);
        if (section == "Options") {
            std::istringstream names(first);
            for (std::string name; std::getline(names, name, ',');) sections[section].insert(name);
        } else {
            sections[section].insert(first);
        }
    }
    return sections;
}

// The manual page's source: per .SS "paperloom NAME ..." its operands (italic words of the
// heading) and options (the option names on the first line of each .TP item), and the .TP
// items of the OPTIONS and EXIT STATUS sections.
struct ManPage {
    struct Command {
        Names operands;
        Names options;
    };
    std::map<std::string, Command> commands;
    Names globalOptions;
    std::set<int> exitStatuses;
};

std::string Unescaped(std::string line) {
    for (std::size_t at = line.find("\\-"); at != std::string::npos; at = line.find("\\-", at)) line.erase(at, 1);
    return line;
}

Names OptionNames(const std::string& line) {
    Names names;
    static const std::regex option(R"((^|[\s"])(--?[A-Za-z][A-Za-z-]*))");
    const std::string text = Unescaped(line);
    for (auto it = std::sregex_iterator(text.begin(), text.end(), option); it != std::sregex_iterator(); ++it)
        names.insert((*it)[2]);
    return names;
}

ManPage ReadManPage(const fs::path& path) {
    ManPage page;
    std::ifstream in(path);
    std::string section;
    ManPage::Command* command = nullptr;
    bool itemHead = false;
    static const std::regex heading(R"re(^\.SS "paperloom (\S+)(.*)"$)re");
    static const std::regex italic(R"(\\fI([^\\]*)\\f[PR])");
    for (std::string line; std::getline(in, line);) {
        std::smatch match;
        if (line.starts_with(".SH ")) {
            section = line.substr(4);
            command = nullptr;
            continue;
        }
        if (std::regex_match(line, match, heading)) {
            command = &page.commands[match[1]];
            const std::string rest = match[2];
            for (auto it = std::sregex_iterator(rest.begin(), rest.end(), italic); it != std::sregex_iterator(); ++it) {
                std::istringstream words((*it)[1].str());
                for (std::string word; words >> word;) command->operands.insert(word);
            }
            continue;
        }
        if (line == ".TP") {
            itemHead = true;
            continue;
        }
        if (!itemHead) continue;
        itemHead = false;
        if (command) {
            const Names names = OptionNames(line);
            command->options.insert(names.begin(), names.end());
        } else if (section == "OPTIONS") {
            const Names names = OptionNames(line);
            page.globalOptions.insert(names.begin(), names.end());
        } else if (section == "\"EXIT STATUS\"" || section == "EXIT STATUS") {
            static const std::regex status(R"(^\.B (\d+)$)");
            if (std::regex_match(line, match, status)) page.exitStatuses.insert(std::stoi(match[1]));
        }
    }
    return page;
}

std::string Join(const Names& names) {
    std::string text;
    for (const auto& name : names) text += (text.empty() ? "" : " ") + name;
    return "{" + text + "}";
}

class ManPageTest : public ::testing::Test {
protected:
    void SetUp() override {
        page_ = ReadManPage(fs::path(PAPERLOOM_SOURCE_DIR) / "packaging" / "paperloom.1");
        ASSERT_FALSE(page_.commands.empty()) << "no subcommands read from the manual page";
    }
    std::map<std::string, Names> Help(const std::vector<std::string>& args) {
        const CliResult result = RunCli(scratch_.Path(), args);
        EXPECT_EQ(result.exitCode, 0) << result.err;
        return HelpSections(result.out);
    }

    Scratch scratch_;
    ManPage page_;
};

TEST_F(ManPageTest, ListsTheProgramsSubcommandsAndGlobalOptions) {
    auto top = Help({"--help"});
    Names commands;
    for (const auto& [name, command] : page_.commands) commands.insert(name);
    EXPECT_EQ(commands, top["Subcommands"]) << "manual: " << Join(commands) << ", --help: " << Join(top["Subcommands"]);
    EXPECT_EQ(page_.globalOptions, top["Options"]);
}

TEST_F(ManPageTest, EverySubcommandHasTheOptionsAndOperandsItsHelpShows) {
    const Names inherited = Help({"--help"})["Options"];
    for (const auto& [name, command] : page_.commands) {
        auto help = Help({name, "--help"});
        ASSERT_FALSE(help["Options"].empty()) << name << " has no help";
        Names options;
        std::set_difference(help["Options"].begin(), help["Options"].end(), inherited.begin(), inherited.end(),
                            std::inserter(options, options.end()));
        EXPECT_EQ(command.options, options)
            << name << ": manual " << Join(command.options) << ", --help " << Join(options);
        EXPECT_EQ(command.operands, help["Positionals"])
            << name << ": manual " << Join(command.operands) << ", --help " << Join(help["Positionals"]);
    }
}

TEST_F(ManPageTest, ExitStatusesAreTheOnesTheProgramReturns) {
    EXPECT_EQ(page_.exitStatuses, (std::set<int>{exitcode::ok, exitcode::notFound, exitcode::failed}));
    // A command line that cannot be used, and a template that does not exist.
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"document"}, {"no-such-command"}, {"describe", "missing.docx"}}) {
        const CliResult result = RunCli(scratch_.Path(), args);
        EXPECT_TRUE(page_.exitStatuses.contains(result.exitCode))
            << "paperloom " << args.front() << " exits with " << result.exitCode << ", which the manual does not list";
    }
}

}  // namespace
}  // namespace paperloom::cli::test
