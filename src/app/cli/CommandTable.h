#pragma once

#include "app/cli/CommandLine.h"
#include "base/Status.h"

#include <string>
#include <string_view>
#include <vector>

// Every command and option of the command line, in one place: the parser reads the table to fill
// a CommandLine, and --help (which the README's command list repeats) is written from it, so what
// the program accepts and what it says it accepts cannot part ways.
class CommandTable {
public:
    // An option that may follow a command's operands.
    struct Option {
        std::string_view name{};  // "--size"
        std::string_view value{}; // what it takes, as the help names it ("WxH"); empty: a switch
        // Takes a file name. An empty one is refused: it would silently fall back to the default
        // body or leave the command without an output.
        bool file = false;
        std::string_view help{};
        // Stores the value (empty for a switch) in the command line, or says what is wrong.
        Status (*apply)(const std::string& value, CommandLine& into) = nullptr;

        bool TakesValue() const { return !value.empty(); }
    };

    // An option as one command takes it.
    struct OptionUse {
        std::string_view name{};
        // The value as this command's synopsis shows it ("OUT.jpg"); empty: as the option names it.
        std::string_view shownValue{};
        // Empty: the option may be left out. Else the command needs it, and this is the error
        // when it is missing.
        std::string_view missing{};
    };

    // A command's operand: what the synopsis calls it and where the parser puts it. Operands are
    // taken by position, whatever they look like.
    struct Operand {
        std::string_view shown{};
        std::string CommandLine::*field = nullptr;
    };

    struct Command {
        // "--render"; empty for the desktop program, whose file is the first argument.
        std::string_view name{};
        std::string_view alias{}; // another name for it ("-h"), or empty
        CommandLine::Mode mode = CommandLine::Mode::Invalid;
        std::vector<Operand> operands{};
        // A command with options needs at least its operands, one without exactly them; this is
        // the error when the count is wrong.
        std::string_view wrongOperands{};
        std::vector<OptionUse> options{};
        std::string_view help{};
        // What the options together must satisfy beyond being there, or null.
        Status (*check)(const CommandLine& parsed) = nullptr;
        // Run by the program with Qt (the window, the report's layout), which `ruvo` starts in
        // its own place: the commands without it start without loading Qt's libraries.
        bool needsQt = false;

        const OptionUse* Use(std::string_view option) const;
    };

    static const std::vector<Command>& Commands();
    static const std::vector<Option>& Options();
    // What --help says after the commands and options.
    static std::string_view Notes();

    // The command called `name` (or by its alias); the empty name is the desktop program.
    static const Command* FindCommand(std::string_view name);
    // The option called `name`, whichever commands take it.
    static const Option* FindOption(std::string_view name);
};
