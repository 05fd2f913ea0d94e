#include "Arguments.h"

#include "CombustionColumns.h"
#include "EosColumns.h"
#include "Iso6976Columns.h"

#include "Iso6976Command.h"
#include "Numbers.h"

#include "Quoted.h"
#include "Units.h"

#include <algorithm>
#include <bitset>
#include <charconv>

namespace tarvelo::cli {

namespace {

// User text in a message: one short line (see Quoted.h).
std::string quoted(std::string_view text) {
    return tarvelo::quoted(text);
}

bool isOption(std::string_view argument) {
    return argument.size() > 1 && argument[0] == '-';
}

bool isHelp(std::string_view argument) {
    return argument == "--help" || argument == "-h";
}

ParseResult fail(std::string message) {
    return ParseResult{std::nullopt, std::move(message)};
}

// The options and operands of one subcommand: the help when asked for,
// else the first problem, else nothing.
std::optional<ParseResult> walkFailed(const OptionWalk& walk, HelpTopic topic) {
    if (walk.help)
        return ParseResult{HelpRequest{topic}, {}};
    if (!walk.error.empty())
        return fail(walk.error);
    return std::nullopt;
}

ParseResult parseCalc(const std::vector<std::string_view>& args) {
    CalcRequest request;
    const OptionWalk walk = readOptions(
        "calc", args, {languageOption(request.language), flagOption({"--exact"}, request.exact)});
    if (auto failed = walkFailed(walk, HelpTopic::Calc))
        return *failed;
    if (walk.operands.empty())
        return fail("tarvelo calc: no COMPONENT=PERCENT given (see tarvelo calc --help)");
    const std::string problem = readComposition(walk.operands, request.percent);
    if (!problem.empty())
        return fail("tarvelo calc: " + problem);
    return ParseResult{request, {}};
}

ParseResult parseReport(const std::vector<std::string_view>& args) {
    ReportRequest request;
    const OptionWalk walk = readOptions(
        "report", args,
        {languageOption(request.language), outputOption(request.outFile),
         OptionSpec{{"--name"}, OptionSpec::Value::MayBeEmpty, false, [&](std::string_view v) {
                        request.gasName.assign(v);
                        return std::string();
                    }}});
    if (auto failed = walkFailed(walk, HelpTopic::Report))
        return *failed;
    if (request.outFile.empty())
        return fail("tarvelo report: --out FILE is required (see tarvelo report --help)");
    if (walk.operands.empty())
        return fail("tarvelo report: no COMPONENT=PERCENT given (see tarvelo report --help)");
    const std::string problem = readComposition(walk.operands, request.percent);
    if (!problem.empty())
        return fail("tarvelo report: " + problem);
    return ParseResult{request, {}};
}

// --base T,p of the line-condition columns.
std::string readBase(std::string_view value, std::optional<batch::EosColumns::Base>& base) {
    const auto comma = value.find(',');
    if (comma == std::string_view::npos)
        return "--base " + quoted(value) + " is not T,p (such as 15C,101.325kPa)";
    const units::Reading t = units::temperatureK(value.substr(0, comma));
    if (!t)
        return "--base temperature: " + t.error;
    const units::Reading p = units::pressureKPa(value.substr(comma + 1));
    if (!p)
        return "--base pressure: " + p.error;
    base = batch::EosColumns::Base{t.value, p.value};
    return {};
}

ParseResult parseBatch(const std::vector<std::string_view>& args) {
    BatchRequest request;
    bool delimiterGiven = false;
    std::optional<realgas::Model> eosModel;
    std::optional<batch::EosColumns::Base> eosBase;
    using Value = OptionSpec::Value;
    const OptionWalk walk = readOptions(
        "batch", args,
        {languageOption(request.language),
         outputOption(request.output),
         jobsOption(request.jobs),
         flagOption({"--bom"}, request.bom),
         {{"--combustion"},
          Value::None,
          false,
          [&](std::string_view) {
              request.columnSets.push_back(combustionColumns());
              return std::string();
          }},
         {{"--reports"},
          Value::Required,
          false,
          [&](std::string_view v) {
              request.reportsDir.assign(v);
              return std::string();
          }},
         {{"--iso6976"},
          Value::Required,
          false,
          [&](std::string_view v) {
              gasquality::ReferenceConditions reference;
              if (!readReferencePair(v, reference))
                  return "--iso6976 " + quoted(v) + " is not T1/T2 (such as 25/0)";
              try {
                  request.columnSets.push_back(
                      iso6976Columns(gasquality::checkReference(reference)));
              } catch (const gasquality::Iso6976Error& e) {
                  return std::string("--iso6976: ") + e.what();
              }
              return std::string();
          }},
         {{"--eos"},
          Value::Required,
          false,
          [&](std::string_view v) {
              if (v == realgas::modelKey(realgas::Model::Gerg2008))
                  eosModel = realgas::Model::Gerg2008;
              else if (v == realgas::modelKey(realgas::Model::Detail))
                  eosModel = realgas::Model::Detail;
              else
                  return "unknown model " + quoted(v) + " for --eos (use gerg2008 or detail)";
              return std::string();
          }},
         {{"--base"},
          Value::Required,
          false,
          [&](std::string_view v) { return readBase(v, eosBase); }},
         {{"--delimiter"},
          Value::Required,
          false,
          [&](std::string_view v) {
              if (v == "," || v == ";")
                  request.delimiter = v[0];
              else if (v == "tab" || v == "\t")
                  request.delimiter = '\t';
              else
                  return "unknown delimiter " + quoted(v) + " (use , ; or tab)";
              delimiterGiven = true;
              return std::string();
          }},
         {{"--decimal"}, Value::Required, false, [&](std::string_view v) {
              if (v != "." && v != ",")
                  return "unknown decimal mark " + quoted(v) + " (use . or ,)";
              request.decimalMark = v[0];
              return std::string();
          }}});
    if (auto failed = walkFailed(walk, HelpTopic::Batch))
        return *failed;
    // German laboratory exports pair the decimal comma with ';'.
    if (request.decimalMark == ',' && !delimiterGiven)
        request.delimiter = ';';
    if (walk.operands.empty())
        return fail("tarvelo batch: no input file given (use - for standard input)");
    if (walk.operands.size() > 1)
        return fail("tarvelo batch: more than one input file: " + quoted(walk.operands[0]) +
                    " and " + quoted(walk.operands[1]));
    if (eosBase && !eosModel)
        return fail("tarvelo batch: --base needs --eos");
    if (eosModel)
        request.columnSets.push_back(batch::eosColumns(*eosModel, eosBase));
    request.input.assign(walk.operands[0]);
    return ParseResult{request, {}};
}

// The name an argument gives and the value glued to it, if any.
struct Split {
    std::string_view name;
    std::optional<std::string_view> value;
};

Split split(std::string_view argument) {
    if (argument.size() > 2 && argument[1] != '-') // "-j2", "-j=2"
        return {argument.substr(0, 2), argument.substr(argument[2] == '=' ? 3 : 2)};
    const auto equals = argument.find('=');
    if (equals == std::string_view::npos)
        return {argument, std::nullopt};
    return {argument.substr(0, equals), argument.substr(equals + 1)};
}

std::string_view displayName(const OptionSpec& option) {
    for (const std::string_view name : option.names)
        if (name.size() > 2)
            return name;
    return option.names.front();
}

} // namespace

OptionWalk readOptions(std::string_view command, const std::vector<std::string_view>& args,
                       const std::vector<OptionSpec>& options) {
    OptionWalk walk;
    const std::string prefix = "tarvelo " + std::string(command) + ": ";
    std::vector<bool> seen(options.size(), false);
    const auto problem = [&](const std::string& message) {
        if (walk.error.empty())
            walk.error = prefix + message;
    };
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view argument = args[i];
        if (optionsEnded || !isOption(argument)) {
            walk.operands.push_back(argument);
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        if (isHelp(argument)) {
            walk.help = true;
            continue;
        }
        const Split given = split(argument);
        std::size_t index = 0;
        while (index < options.size() &&
               std::find(options[index].names.begin(), options[index].names.end(), given.name) ==
                   options[index].names.end())
            ++index;
        if (index == options.size()) {
            problem("unknown option " + quoted(given.value ? given.name : argument));
            continue;
        }
        const OptionSpec& option = options[index];
        const std::string name(displayName(option));
        std::string_view value;
        if (option.value == OptionSpec::Value::None) {
            if (given.value) {
                problem("option " + name + " takes no value");
                continue;
            }
        } else if (given.value) {
            value = *given.value;
        } else if (i + 1 < args.size()) {
            value = args[++i];
        } else {
            problem("option " + name + " needs a value" + std::string(option.valueHint));
            continue;
        }
        if (option.value == OptionSpec::Value::Required && value.empty()) {
            problem("option " + name + " needs a value" + std::string(option.valueHint));
            continue;
        }
        if (seen[index] && !option.repeatable) {
            problem("option " + name + " given twice");
            continue;
        }
        seen[index] = true;
        if (walk.error.empty())
            if (const std::string message = option.apply(value); !message.empty())
                problem(message);
    }
    return walk;
}

OptionSpec flagOption(std::vector<std::string_view> names, bool& flag) {
    return {std::move(names), OptionSpec::Value::None, false, [&flag](std::string_view) {
                flag = true;
                return std::string();
            }};
}

OptionSpec languageOption(Language& language) {
    return {{"--lang"},
            OptionSpec::Value::Required,
            false,
            [&language](std::string_view v) {
                const auto parsed = languageFrom(v);
                if (!parsed)
                    return "unknown language " + quoted(v) + " (use de or en)";
                language = *parsed;
                return std::string();
            },
            " (de or en)"};
}

OptionSpec outputOption(std::string& path) {
    return {{"-o", "--out", "--output"},
            OptionSpec::Value::Required,
            false,
            [&path](std::string_view v) {
                path.assign(v);
                return std::string();
            }};
}

OptionSpec jobsOption(unsigned& jobs) {
    return {{"-j", "--jobs"}, OptionSpec::Value::Required, false, [&jobs](std::string_view v) {
                unsigned n = 0;
                const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), n);
                if (ec != std::errc() || end != v.data() + v.size() || n < 1 || n > kMaxJobs)
                    return "option --jobs needs a number of threads from 1 to " +
                           std::to_string(kMaxJobs) + ", not " + quoted(v);
                jobs = n;
                return std::string();
            }};
}

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
    const std::vector<std::string_view> rest(args.begin() + 1, args.end());
    if (command == "--version")
        return ParseResult{VersionRequest{}, {}};
    if (isHelp(command))
        return ParseResult{HelpRequest{HelpTopic::General}, {}};
    if (command == "help") {
        if (rest.empty())
            return ParseResult{HelpRequest{HelpTopic::General}, {}};
        constexpr std::pair<std::string_view, HelpTopic> topics[] = {
            {"calc", HelpTopic::Calc},
            {"report", HelpTopic::Report},
            {"batch", HelpTopic::Batch},
            {"iso6976", HelpTopic::Iso6976},
            {"combustion", HelpTopic::Combustion},
            {"eos", HelpTopic::Eos}};
        for (const auto& [name, topic] : topics)
            if (rest.size() == 1 && rest[0] == name)
                return ParseResult{HelpRequest{topic}, {}};
        return fail("tarvelo help: unknown command " + quoted(rest[0]) + " (see tarvelo --help)");
    }
    if (command == "calc")
        return parseCalc(rest);
    if (command == "report")
        return parseReport(rest);
    if (command == "batch")
        return parseBatch(rest);
    if (isOption(command))
        return fail("tarvelo: unknown option " + quoted(command) + " (see tarvelo --help)");
    return fail("tarvelo: unknown command " + quoted(command) + " (see tarvelo --help)");
}

} // namespace tarvelo::cli
