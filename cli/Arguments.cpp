#include "Arguments.h"

#include "Iso6976Columns.h"

#include "Iso6976Command.h"
#include "Numbers.h"

#include <bitset>
#include <charconv>

namespace tarvelo::cli {

namespace {

std::string quoted(std::string_view text) {
    return "'" + std::string(text) + "'";
}

// Walks the arguments of one command, splitting "--opt=value" and handing
// out option values.
class ArgumentCursor {
public:
    ArgumentCursor(const std::vector<std::string_view>& args, std::size_t first)
        : args_(args), index_(first) {}

    bool atEnd() const { return index_ >= args_.size(); }
    std::string_view peek() const { return args_[index_]; }
    std::string_view take() { return args_[index_++]; }

    // The value of option `name`: the part after '=' of `argument`, or the
    // next argument. Nothing when there is none.
    std::optional<std::string_view> valueOf(std::string_view argument) {
        const auto equals = argument.find('=');
        if (equals != std::string_view::npos)
            return argument.substr(equals + 1);
        if (atEnd())
            return std::nullopt;
        return take();
    }

private:
    const std::vector<std::string_view>& args_;
    std::size_t index_;
};

std::string_view optionName(std::string_view argument) {
    return argument.substr(0, argument.find('='));
}

bool isOption(std::string_view argument) {
    return argument.size() > 1 && argument[0] == '-';
}

bool isHelp(std::string_view argument) {
    return argument == "--help" || argument == "-h";
}

struct CommandLineError {
    std::string message;
};

// Reads the options common to the commands and collects the rest as
// operands. `handle` gets each option other than --lang and --help and
// returns false for an option it does not know.
template <typename Handler>
std::optional<CommandLineError>
readOptions(ArgumentCursor& cursor, std::string_view command, Language& language, bool& help,
            std::vector<std::string_view>& operands, Handler handle) {
    const std::string prefix = "tarvelo " + std::string(command) + ": ";
    bool optionsEnded = false;
    while (!cursor.atEnd()) {
        const std::string_view argument = cursor.take();
        if (optionsEnded || !isOption(argument)) {
            operands.push_back(argument);
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        if (isHelp(argument)) {
            help = true;
            continue;
        }
        const std::string_view name = optionName(argument);
        std::string problem;
        if (name == "--lang") {
            const auto value = cursor.valueOf(argument);
            if (!value)
                return CommandLineError{prefix + "option --lang needs a value (de or en)"};
            const auto parsed = languageFrom(*value);
            if (!parsed)
                return CommandLineError{prefix + "unknown language " + quoted(*value) +
                                        " (use de or en)"};
            language = *parsed;
        } else if (!handle(name, argument, cursor, problem)) {
            if (problem.empty())
                problem = "unknown option " + quoted(argument);
            return CommandLineError{prefix + problem};
        }
    }
    return std::nullopt;
}

ParseResult fail(std::string message) {
    return ParseResult{std::nullopt, std::move(message)};
}

ParseResult parseCalc(ArgumentCursor& cursor) {
    CalcRequest request;
    bool help = false;
    std::vector<std::string_view> operands;
    auto error = readOptions(
        cursor, "calc", request.language, help, operands,
        [&](std::string_view name, std::string_view argument, ArgumentCursor&, std::string&) {
            if (name == "--exact" && argument == name) {
                request.exact = true;
                return true;
            }
            return false;
        });
    if (help)
        return ParseResult{HelpRequest{HelpTopic::Calc}, {}};
    if (error)
        return fail(error->message);
    if (operands.empty())
        return fail("tarvelo calc: no COMPONENT=PERCENT given (see tarvelo calc --help)");
    const std::string problem = readComposition(operands, request.percent);
    if (!problem.empty())
        return fail("tarvelo calc: " + problem);
    return ParseResult{request, {}};
}

ParseResult parseReport(ArgumentCursor& cursor) {
    ReportRequest request;
    bool help = false;
    bool haveOut = false;
    std::vector<std::string_view> operands;
    auto error = readOptions(cursor, "report", request.language, help, operands,
                             [&](std::string_view name, std::string_view argument,
                                 ArgumentCursor& args, std::string& problem) {
                                 std::string* target = name == "--name" ? &request.gasName
                                                       : name == "--out" || name == "-o"
                                                           ? &request.outFile
                                                           : nullptr;
                                 if (!target)
                                     return false;
                                 const auto value = args.valueOf(argument);
                                 if (!value) {
                                     problem = "option " + std::string(name) + " needs a value";
                                     return false;
                                 }
                                 if (target == &request.outFile) {
                                     if (value->empty()) {
                                         problem = "option --out needs a file name";
                                         return false;
                                     }
                                     haveOut = true;
                                 }
                                 target->assign(*value);
                                 return true;
                             });
    if (help)
        return ParseResult{HelpRequest{HelpTopic::Report}, {}};
    if (error)
        return fail(error->message);
    if (!haveOut)
        return fail("tarvelo report: --out FILE is required (see tarvelo report --help)");
    if (operands.empty())
        return fail("tarvelo report: no COMPONENT=PERCENT given (see tarvelo report --help)");
    const std::string problem = readComposition(operands, request.percent);
    if (!problem.empty())
        return fail("tarvelo report: " + problem);
    return ParseResult{request, {}};
}

ParseResult parseBatch(ArgumentCursor& cursor) {
    BatchRequest request;
    bool help = false;
    bool delimiterGiven = false;
    std::vector<std::string_view> operands;
    auto error = readOptions(
        cursor, "batch", request.language, help, operands,
        [&](std::string_view name, std::string_view argument, ArgumentCursor& args,
            std::string& problem) {
            if (name == "--bom" && argument == name) {
                request.bom = true;
                return true;
            }
            if (name != "-o" && name != "--output" && name != "--reports" &&
                name != "--delimiter" && name != "--decimal" && name != "--iso6976" &&
                name != "--jobs" && name != "-j")
                return false;
            const auto value = args.valueOf(argument);
            if (!value || value->empty()) {
                problem = "option " + std::string(name) + " needs a value";
                return false;
            }
            if (name == "-o" || name == "--output") {
                request.output.assign(*value);
            } else if (name == "--reports") {
                request.reportsDir.assign(*value);
            } else if (name == "--jobs" || name == "-j") {
                unsigned jobs = 0;
                const auto [end, ec] =
                    std::from_chars(value->data(), value->data() + value->size(), jobs);
                if (ec != std::errc() || end != value->data() + value->size() || jobs < 1 ||
                    jobs > kMaxJobs) {
                    problem = "option " + std::string(name) +
                              " needs a number of threads from 1 to " + std::to_string(kMaxJobs) +
                              ", not " + quoted(*value);
                    return false;
                }
                request.jobs = jobs;
            } else if (name == "--iso6976") {
                gasquality::ReferenceConditions reference;
                if (!readReferencePair(*value, reference)) {
                    problem = "--iso6976 " + quoted(*value) + " is not T1/T2 (such as 25/0)";
                    return false;
                }
                try {
                    gasquality::checkReference(reference);
                } catch (const gasquality::Iso6976Error& e) {
                    problem = std::string("--iso6976: ") + e.what();
                    return false;
                }
                request.columnSets.push_back(iso6976Columns(reference));
            } else if (name == "--delimiter") {
                if (*value == "," || *value == ";")
                    request.delimiter = (*value)[0];
                else if (*value == "tab" || *value == "\t")
                    request.delimiter = '\t';
                else {
                    problem = "unknown delimiter " + quoted(*value) + " (use , ; or tab)";
                    return false;
                }
                delimiterGiven = true;
            } else {
                if (*value != "." && *value != ",") {
                    problem = "unknown decimal mark " + quoted(*value) + " (use . or ,)";
                    return false;
                }
                request.decimalMark = (*value)[0];
            }
            return true;
        });
    if (help)
        return ParseResult{HelpRequest{HelpTopic::Batch}, {}};
    if (error)
        return fail(error->message);
    // German laboratory exports pair the decimal comma with ';'.
    if (request.decimalMark == ',' && !delimiterGiven)
        request.delimiter = ';';
    if (operands.empty())
        return fail("tarvelo batch: no input file given (use - for standard input)");
    if (operands.size() > 1)
        return fail("tarvelo batch: more than one input file: " + quoted(operands[0]) + " and " +
                    quoted(operands[1]));
    request.input.assign(operands[0]);
    return ParseResult{request, {}};
}

} // namespace

std::optional<Language> languageFrom(std::string_view text) noexcept {
    if (equalsIgnoringCase(text, "de"))
        return Language::German;
    if (equalsIgnoringCase(text, "en"))
        return Language::English;
    return std::nullopt;
}

std::string_view shownName(std::size_t component) noexcept {
    const components::Component& c = components::kTable[component];
    return c.label.empty() ? c.name : c.label;
}

std::string readAmount(std::string_view assignment, Amounts& values,
                       std::bitset<components::kCount>& given, std::string_view what) {
    const auto equals = assignment.rfind('=');
    if (equals == std::string_view::npos)
        return quoted(assignment) + " is not COMPONENT=" + std::string(what) + " (no '=')";
    const std::string_view label = assignment.substr(0, equals);
    const std::string_view number = assignment.substr(equals + 1);
    const auto index = components::find(label);
    if (!index) {
        std::string message = "unknown component " + quoted(label) + " in " + quoted(assignment);
        if (const std::string hint = components::suggestion(label); !hint.empty())
            message += " (" + hint + ")";
        return message;
    }
    const std::string name(shownName(*index));
    if (given.test(*index))
        return name + " given twice";
    given.set(*index);
    const ParsedAmount parsed = parseAmount(number, '.');
    if (parsed.status == NumberStatus::Empty)
        return name + ": no value in " + quoted(assignment);
    if (parsed.status == NumberStatus::OutOfRange)
        return name + ": too large: " + quoted(number);
    if (parsed.status != NumberStatus::Ok)
        return name + ": " + std::string(describe(parsed.status)) + ": " + quoted(number);
    values[*index] = parsed.value;
    return {};
}

std::string readComposition(const std::vector<std::string_view>& assignments,
                            Composition& percent) {
    percent.fill(0.0f);
    Amounts amounts{};
    std::bitset<components::kCount> given;
    for (const std::string_view assignment : assignments) {
        if (std::string problem = readAmount(assignment, amounts, given, "PERCENT");
            !problem.empty())
            return problem;
    }
    for (std::size_t i = 0; i < components::kCount; ++i) {
        if (!given.test(i))
            continue;
        const int kernel = components::kTable[i].kernel;
        if (kernel == components::kNone)
            return std::string(components::kTable[i].name) +
                   " is not one of the kernel's sixteen components (tarvelo iso6976 takes it)";
        // As the window stores a typed entry: read in double, kept in single precision.
        const float single = static_cast<float>(amounts[i]);
        if (std::isinf(single))
            return std::string(shownName(i)) + ": " +
                   std::string(describe(NumberStatus::OutOfRange));
        percent[std::size_t(kernel)] = single;
    }
    return {};
}

ParseResult parseArguments(const std::vector<std::string_view>& args) {
    if (args.empty())
        return fail("tarvelo: no command given (see tarvelo --help)");
    const std::string_view command = args[0];
    if (isHelp(command) || command == "help") {
        if (command == "help" && args.size() > 1) {
            const std::string_view topic = args[1];
            if (topic == "calc")
                return ParseResult{HelpRequest{HelpTopic::Calc}, {}};
            if (topic == "report")
                return ParseResult{HelpRequest{HelpTopic::Report}, {}};
            if (topic == "batch")
                return ParseResult{HelpRequest{HelpTopic::Batch}, {}};
        }
        return ParseResult{HelpRequest{HelpTopic::General}, {}};
    }
    ArgumentCursor cursor(args, 1);
    if (command == "calc")
        return parseCalc(cursor);
    if (command == "report")
        return parseReport(cursor);
    if (command == "batch")
        return parseBatch(cursor);
    if (isOption(command))
        return fail("tarvelo: unknown option " + quoted(command) + " (see tarvelo --help)");
    return fail("tarvelo: unknown command " + quoted(command) + " (see tarvelo --help)");
}

} // namespace tarvelo::cli
