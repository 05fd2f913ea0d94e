// The command line of `tarvelo`: which command, its options and the
// composition, checked completely before anything is calculated or written.
#pragma once

#include "BatchRequest.h"
#include "Calculator.h"
#include "Domain.h"
#include "Iso6976.h"

#include <array>
#include <bitset>
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

enum class HelpTopic { General, Calc, Report, Batch };

struct HelpRequest {
    HelpTopic topic = HelpTopic::General;
};

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

using Request = std::variant<HelpRequest, CalcRequest, ReportRequest, BatchRequest>;

struct ParseResult {
    std::optional<Request> request; // set when the command line is sound
    std::string error;              // otherwise the one-line message
};

// Reads the arguments after the program name. Options take their value as
// the next argument or after '=' ("--lang de", "--lang=de"); "--" ends the
// options. Numbers use '.' as decimal point whatever the locale.
ParseResult parseArguments(const std::vector<std::string_view>& args);

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
