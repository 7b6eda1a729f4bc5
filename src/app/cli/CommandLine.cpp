#include "app/cli/CommandLine.h"

#include "app/cli/CaseLoading.h"
#include "app/cli/CommandTable.h"
#include "app/cli/HeadlessCommands.h"
#include "app/cli/HelpText.h"
#include "app/cli/OffscreenRenderCommand.h"
#include "base/AppInfo.h"
#include "base/ScopedDiagnosticSink.h"
#include "base/TextEscaping.h"

#include <set>
#include <span>
#include <string>

namespace {

CommandLine Invalid(std::string message) {
    CommandLine result;
    result.mode = CommandLine::Mode::Invalid;
    result.error = std::move(message);
    return result;
}

// Reads the options that may follow a command's operands, each as the table says. Of several
// mistakes in one option the first of these is named: a repetition, an empty file name (whichever
// command it follows), an option the command does not take or one whose value is missing.
Status ParseOptions(const CommandTable::Command& command, std::span<const std::string> arguments,
                    std::set<std::string>& given, CommandLine& result) {
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        // A repeated option would silently take the last value; an empty file name would silently
        // fall back to the default body or file. Both are mistakes worth a word.
        if (argument.starts_with("--") && !given.insert(argument).second) {
            return Status::Failure(argument + " is given more than once");
        }
        const CommandTable::Option* option = CommandTable::FindOption(argument);
        if (option && option->file && hasValue && arguments[i + 1].empty()) {
            return Status::Failure(argument + " needs a file name, not an empty text");
        }
        if (!option || !command.Use(option->name) || (option->TakesValue() && !hasValue)) {
            return Status::Failure("unexpected argument \"" + argument + "\" (see --help)");
        }
        Status applied = option->apply(option->TakesValue() ? arguments[++i] : "", result);
        if (!applied) {
            return applied;
        }
    }
    return Status::Ok();
}

// What the command needs once every option is read: the options it cannot do without, then what
// they must satisfy together.
Status CheckComplete(const CommandTable::Command& command, const std::set<std::string>& given,
                     const CommandLine& result) {
    for (const CommandTable::OptionUse& use : command.options) {
        if (!use.missing.empty() && !given.contains(std::string(use.name))) {
            return Status::Failure(std::string(use.missing));
        }
    }
    return command.check ? command.check(result) : Status::Ok();
}

// The desktop program's file is the first argument; a command's operands follow its name.
bool TakeOperands(const CommandTable::Command& command, std::span<const std::string> arguments,
                  CommandLine& result) {
    const size_t count = command.operands.size();
    const bool countFits =
        command.options.empty() ? arguments.size() == count : arguments.size() >= count;
    if (!countFits) {
        return false;
    }
    for (size_t i = 0; i < count; ++i) {
        result.*command.operands[i].field = arguments[i];
    }
    return true;
}

} // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    CommandLine result;
    if (arguments.empty()) {
        return result;
    }
    const std::string& first = arguments[0];
    const CommandTable::Command* command =
        CommandTable::FindCommand(first.starts_with("-") ? std::string_view(first) : "");
    if (command == nullptr) {
        return Invalid("unknown option \"" + first + "\" (see --help)");
    }
    result.mode = command->mode;
    const std::span<const std::string> operands =
        std::span(arguments).subspan(command->name.empty() ? 0 : 1);
    if (!TakeOperands(*command, operands, result)) {
        return Invalid(std::string(command->wrongOperands));
    }
    std::set<std::string> given;
    Status status =
        ParseOptions(*command, operands.subspan(command->operands.size()), given, result);
    if (status) {
        status = CheckComplete(*command, given, result);
    }
    return status ? result : Invalid(status.message());
}

std::string UsageText() {
    return HelpText();
}

namespace {

int RunMode(const CommandLine& commandLine, std::ostream& out, std::ostream& err) {
    switch (commandLine.mode) {
    case CommandLine::Mode::Help:
        out << UsageText();
        return 0;
    case CommandLine::Mode::Version:
        out << GetAppInfo().title << ' ' << GetAppInfo().version << '\n';
        return 0;
    case CommandLine::Mode::Summary:
        return RunSummaryCommand(commandLine, out, err);
    case CommandLine::Mode::Rewrite:
        return RunRewriteCommand(commandLine, out, err);
    case CommandLine::Mode::Render:
        return RunOffscreenRenderCommand(commandLine, err);
    case CommandLine::Mode::SurfacePoint:
        return RunSurfacePointCommand(commandLine, out, err);
    case CommandLine::Mode::ObjInfo:
        return RunObjInfoCommand(commandLine, out, err);
    case CommandLine::Mode::ExportScene:
        return RunExportSceneCommand(commandLine, out, err);
    case CommandLine::Mode::Origin:
        return RunOriginCommand(commandLine, out, err);
    case CommandLine::Mode::CtInfo:
        return RunCtInfoCommand(commandLine, out, err);
    case CommandLine::Mode::CtPoint:
        return RunCtPointCommand(commandLine, out, err);
    case CommandLine::Mode::CarryToBody:
        return RunCarryToBodyCommand(commandLine, out, err);
    case CommandLine::Mode::Invalid:
        err << "ruvo: " << PrintableText(commandLine.error) << '\n';
        return 2;
    case CommandLine::Mode::Report:
    case CommandLine::Mode::Desktop:
        break;
    }
    err << "ruvo: the desktop program and the report are not run by RunHeadless\n";
    return 2;
}

} // namespace

bool NeedsQt(const CommandLine& commandLine) {
    for (const CommandTable::Command& command : CommandTable::Commands()) {
        if (command.mode == commandLine.mode) {
            return command.needsQt;
        }
    }
    return false;
}

int RunHeadless(const CommandLine& commandLine, std::ostream& out, std::ostream& err) {
    // What the libraries warn about while the command runs (a material the model lacks, a vertex
    // no triangle uses) is said on `err` as the body's own warnings are, never on `out`, which
    // holds the command's result.
    const ScopedDiagnosticSink warnings(WarningsTo(err));
    return RunMode(commandLine, out, err);
}
