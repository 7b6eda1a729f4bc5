#include "app/cli/HelpText.h"

#include "app/cli/CommandTable.h"
#include "base/TextWords.h"

#include <string_view>
#include <vector>

namespace {

// The layout: descriptions start in one column, every line ends by the project's 100 columns,
// and a synopsis that runs on is indented past "ruvo ".
constexpr size_t kWidth = 100;
constexpr size_t kDescriptionColumn = 45;
constexpr std::string_view kSynopsisIndent = "     ";

// Joins pieces with single blanks into lines of at most kWidth columns, never breaking a piece;
// each line after the first starts with `indent`.
std::vector<std::string> Wrap(const std::vector<std::string>& pieces, std::string_view first,
                              std::string_view indent) {
    std::vector<std::string> lines;
    std::string line(first);
    bool bare = true; // nothing on the line yet but its indent
    for (const std::string& piece : pieces) {
        if (!bare && line.size() + 1 + piece.size() > kWidth) {
            lines.push_back(line);
            line = indent;
            bare = true;
        }
        line += (bare ? "" : " ") + piece;
        bare = false;
    }
    lines.push_back(line);
    return lines;
}

std::vector<std::string> WordsOf(std::string_view text) {
    std::vector<std::string> words;
    for (const std::string_view word : Words(text)) {
        words.emplace_back(word);
    }
    return words;
}

// One entry: the synopsis lines, then the description from kDescriptionColumn, beginning on the
// synopsis's last line when two blanks at least are left between them.
void AppendEntry(std::vector<std::string> synopsis, std::string_view description,
                 std::string& text) {
    const std::string column(kDescriptionColumn, ' ');
    if (synopsis.back().size() + 2 > kDescriptionColumn) {
        synopsis.push_back("");
    }
    const std::vector<std::string> lines = Wrap(WordsOf(description), column, column);
    synopsis.back().resize(kDescriptionColumn, ' ');
    synopsis.back() += lines.front().substr(kDescriptionColumn);
    synopsis.insert(synopsis.end(), lines.begin() + 1, lines.end());
    for (const std::string& line : synopsis) {
        text += line + '\n';
    }
}

// An option in a synopsis: "--size WxH", in brackets unless the command needs it.
std::string ShownOption(const CommandTable::OptionUse& use) {
    const CommandTable::Option* option = CommandTable::FindOption(use.name);
    std::string shown(use.name);
    // (An option missing from the table is a slip the tests name; it is shown bare meanwhile.)
    const std::string_view value =
        use.shownValue.empty() && option != nullptr ? option->value : use.shownValue;
    if (!value.empty()) {
        shown += " " + std::string(value);
    }
    return use.missing.empty() ? "[" + shown + "]" : shown;
}

// "ruvo --render CASE.txt --output OUT.jpg [--view V] ...": the pieces a synopsis may break
// between, in the order the parser takes them.
std::vector<std::string> SynopsisPieces(const CommandTable::Command& command) {
    std::vector<std::string> pieces;
    if (!command.name.empty()) {
        std::string name(command.name);
        if (!command.alias.empty()) {
            name += " | " + std::string(command.alias);
        }
        pieces.push_back(name);
    }
    for (const CommandTable::Operand& operand : command.operands) {
        pieces.emplace_back(operand.shown);
    }
    for (const CommandTable::OptionUse& use : command.options) {
        pieces.push_back(ShownOption(use));
    }
    return pieces;
}

void AppendCommands(std::string& text) {
    for (const CommandTable::Command& command : CommandTable::Commands()) {
        AppendEntry(Wrap(SynopsisPieces(command), "ruvo ", kSynopsisIndent), command.help, text);
    }
}

void AppendOptions(std::string& text) {
    text += "Options:\n";
    for (const CommandTable::Option& option : CommandTable::Options()) {
        std::string synopsis = "  " + std::string(option.name);
        if (option.TakesValue()) {
            synopsis += " " + std::string(option.value);
        }
        AppendEntry({synopsis}, option.help, text);
    }
}

void AppendNotes(std::string& text) {
    std::string_view notes = CommandTable::Notes();
    while (!notes.empty()) {
        const size_t end = notes.find('\n');
        for (const std::string& line : Wrap(WordsOf(notes.substr(0, end)), "", "")) {
            text += line + '\n';
        }
        notes.remove_prefix(end == std::string_view::npos ? notes.size() : end + 1);
    }
}

} // namespace

std::string HelpText() {
    std::string text;
    AppendCommands(text);
    text += '\n';
    AppendOptions(text);
    text += '\n';
    AppendNotes(text);
    return text;
}
