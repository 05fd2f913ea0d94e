// The command line of `tarvelo`: which command, its options and the
// composition, checked completely before anything is calculated or written.
#pragma once

#include "BatchRequest.h"
#include "Calculator.h"
#include "Domain.h"
#include "Iso6976.h"

#include <array>
#include <bitset>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tarvelo::cli {

// The batch engine's types (Composition, BatchRequest, ...) are the command
// line's too.
using namespace tarvelo::batch;
using tarvelo::Language;

enum class HelpTopic { General, Calc, Report, Batch, Iso6976, Combustion, Eos };

struct HelpRequest {
    HelpTopic topic = HelpTopic::General;
};

// `tarvelo --version`.
struct VersionRequest {};

struct CalcRequest {
    Language language = Language::English;
    bool exact = false;
    Composition percent{};
};

struct ReportRequest {
    Language language = Language::English;
    std::string gasName;
    std::string outFile;
    Composition percent{};
};

using Request = std::variant<HelpRequest, VersionRequest, CalcRequest, ReportRequest, BatchRequest>;

struct ParseResult {
    std::optional<Request> request; // set when the command line is sound
    std::string error;              // otherwise the one-line message
};

// Reads the arguments after the program name by the rules of readOptions().
// Numbers use '.' as decimal point whatever the locale.
ParseResult parseArguments(const std::vector<std::string_view>& args);

// ---- The one option parser of every subcommand ------------------------------
//
// A subcommand lists its options in a table and hands its arguments to
// readOptions(), which applies these rules:
//
// - A long option takes its value as the next argument or after '='
//   ("--lang de", "--lang=de"); a short one also glued on ("-j2", "-j 2",
//   "-j=2"). An empty value is refused unless the option allows it.
// - An option without a value refuses one ("--json=1").
// - An option given twice is refused (also under two of its names), unless
//   it is repeatable ("--u A=1 --u B=2").
// - An unknown option is refused wherever it stands.
// - "--help" or "-h" anywhere before "--" asks for the subcommand's help and
//   wins over any error on the same line.
// - "--" ends the options; "-" alone is an operand (standard input).
//
// Use, for a subcommand "mix" with a flag, a file and the language:
//
//     bool json = false;
//     std::string out;
//     Language language = Language::English;
//     const std::vector<OptionSpec> options = {
//         flagOption({"--json"}, json), outputOption(out), languageOption(language),
//         {{"--scale"}, OptionSpec::Value::Required, false,
//          [&](std::string_view v) { return v == "2" ? "" : "--scale must be 2"; }}};
//     const OptionWalk walk = readOptions("mix", args, options);
//     if (walk.help) ... print the help, exit 0
//     if (!walk.error.empty()) ... print walk.error, exit 1
//     ... walk.operands are the other arguments, in order
struct OptionSpec {
    enum class Value { None, Required, MayBeEmpty };
    // Its names: "-o", "--out", ...; the first long one names it in messages.
    std::vector<std::string_view> names;
    Value value = Value::None;
    bool repeatable = false;
    // Applies the option to the value ("" for one without a value). Returns
    // the problem for the message, or "" when sound.
    std::function<std::string(std::string_view value)> apply;
    // Shown after "needs a value" (" (de or en)").
    std::string_view valueHint = {};
};

struct OptionWalk {
    bool help = false;                      // --help or -h was given
    std::vector<std::string_view> operands; // the arguments that are no option
    std::string error;                      // the first problem: "tarvelo COMMAND: ...", or empty
};

// Walks `args` (the arguments after the subcommand's name) by the rules
// above. Messages quote user text through tarvelo::quoted().
OptionWalk readOptions(std::string_view command, const std::vector<std::string_view>& args,
                       const std::vector<OptionSpec>& options);

// The options most subcommands share.
OptionSpec flagOption(std::vector<std::string_view> names, bool& flag);
OptionSpec languageOption(Language& language); // --lang de|en
OptionSpec outputOption(std::string& path);    // -o, --out, --output FILE
OptionSpec jobsOption(unsigned& jobs);         // -j, --jobs N (1 to kMaxJobs)

// The language of a --lang value: "de" or "en", in any case; nothing for
// any other text.
std::optional<Language> languageFrom(std::string_view text) noexcept;

// The one reader of amounts for every command: one "COMPONENT=VALUE"
// argument (the component as the component table finds it, the value as
// parseAmount reads it with '.': blanks, an optional '+', an exponent; not
// negative) into `values` by component index, as typed. Each component at
// most once (`given`). Returns the message naming the culprit, or an empty
// string. `what` names the value in messages ("MOLPERCENT", "U").
std::string readAmount(std::string_view assignment, Amounts& values,
                       std::bitset<components::kCount>& given, std::string_view what);

// How messages name a component: its formula label, or its name where the
// label is empty.
std::string_view shownName(std::size_t component) noexcept;

// Reads "COMPONENT=PERCENT" arguments into the kernel's sixteen `percent`:
// readAmount, then a component the kernel lacks is refused. Returns the
// message naming the culprit, or an empty string when all were sound.
std::string readComposition(const std::vector<std::string_view>& assignments, Composition& percent);

} // namespace tarvelo::cli
