#include "Commands.h"

#include "Batch.h"
#include "CombustionCommand.h"
#include "EosCommand.h"
#include "Iso6976Command.h"
#include "KernelBinding.h"
#include "Numbers.h"
#include "TarveloVersion.h"

#include <array>
#include <cmath>
#include <cstring>
#include <new>
#include <system_error>

namespace tarvelo::cli {

namespace {

constexpr std::string_view kGeneralUsage =
    R"(Usage: tarvelo COMMAND [OPTION...] [ARGUMENT...]

Combustion properties of fuel gas mixtures from their composition.

Commands:
  calc    [--lang de|en] [--exact] COMPONENT=PERCENT...
            print the results of one composition
  report  [--name NAME] [--lang de|en] -o FILE COMPONENT=PERCENT...
            calculate and write the HTML report of one composition
  batch   [--lang de|en] [--reports DIR] [--delimiter ,|;|tab] [--decimal .|,]
          [--iso6976 T1/T2] [--combustion] [--eos gerg2008|detail [--base T,p]]
          [-j N] [--bom] IN.csv [-o OUT.csv]
            calculate every row of a CSV file
  iso6976 [--reference T1/T2] [--pressure KPA] [--u COMPONENT=U]...
          [--correlation FILE.csv] [--coverage K] [--normalise] [--json]
          [--lang de|en] COMPONENT=MOLPERCENT...
            gas quality by ISO 6976:2016 (calorific values, Wobbe indices,
            density, compression factor) with uncertainties
  combustion (--lambda L | --o2 PERCENT | --co2 PERCENT) [--air AIR]
          [--air-temperature T] [--humidity PERCENT] [--flue-temperature T]
          [--pressure P] [--json] [--lang de|en] COMPONENT=MOLPERCENT...
            air, flue gas, CO2max, dew point, flue-gas loss, efficiency and
            adiabatic flame temperature
  eos     --model gerg2008|detail --temperature VALUE --pressure VALUE
          [--base T,p] [--normalise] [--json] [--lang de|en]
          COMPONENT=MOLPERCENT...
            gas at line conditions by GERG-2008 or AGA8-DETAIL: density,
            compression factor, caloric properties, speed of sound, and the
            conversion factor to base conditions
  help COMMAND, or COMMAND --help
            the help of a command
  --version print the version

Options of every command: a value as the next argument or after '='
(--lang de, --lang=de; -j2 for the one-letter ones); -o, --out and --output
name the output file; an option given twice, an unknown option or a missing
value is refused; --help anywhere shows the command's help instead; "--"
ends the options.

Components, by formula label in any case, in volume percent:
)";

// After the list of components.
constexpr std::string_view kGeneralUsageEnd =
    R"(Components not given count 0. The percentages are used as given; a sum not
within 1 of 100 is calculated but pointed out.

Results:
  air/fuel ratio   [l air / l fuel]  rounded to 2 decimals
  density          [g/Nm³]           rounded to 1 decimal
  calorific value  [kWh/Nm³]         rounded to 2 decimals (lower, net)
  d  = density / 1293 g/Nm³          relative density (air = 1), 4 decimals
  Wl = calorific value / sqrt(d)     lower Wobbe index [kWh/Nm³], 2 decimals
Rounding goes half to even; d and Wl are formed from the unrounded results.

Exit status: 0 success; 1 bad command line, unreadable input, output that
cannot be written, or no calculation kernel; 2 (batch) some rows failed.

Text is UTF-8, with LF line ends. On Windows the arguments may hold any
character, a console shows the output as it is, NUL, CON, COM1 ... are
devices, written in place, a read-only file is not replaced, and /? is --help.
)";

constexpr std::string_view kCalcUsage =
    R"(Usage: tarvelo calc [--lang de|en] [--exact] COMPONENT=PERCENT...

Prints the air/fuel ratio [l air / l fuel], the density [g/Nm³] and the lower
calorific value [kWh/Nm³] of the mixture, rounded to 2, 1 and 2 decimals
(half to even), and two derived values:
  d  = density / 1293 g/Nm³        relative density, 4 decimals
  Wl = calorific value / sqrt(d)   lower Wobbe index [kWh/Nm³], 2 decimals

  --lang de|en   labels and decimal mark: German (",") or English ("."; default)
  --exact        also the single-precision results to 9 significant digits

Percentages use "." as decimal point: tarvelo calc CH4=90 C2H6=5 C3H8=2 CO2=2 N2=1
)";

constexpr std::string_view kReportUsage =
    R"(Usage: tarvelo report [--name NAME] [--lang de|en] -o FILE COMPONENT=PERCENT...

Calculates the mixture and writes its HTML report to FILE (-o, --out or
--output), titled NAME, in German or English (default). An existing FILE is
replaced only by a complete report; a symbolic link is followed, and a
device, a FIFO or /dev/stdout is written into, not replaced. Nothing is
printed on standard output. On standard error: a note when the percentages
do not add up to 100 within 1 (the report is written all the same), or one
line naming the file and the reason when it cannot be written (exit status 1).

Components and percentages as for 'tarvelo calc'.
)";

constexpr std::string_view kBatchUsage =
    R"(Usage: tarvelo batch [--lang de|en] [--reports DIR] [--delimiter ,|;|tab]
                     [--decimal .|,] [--iso6976 T1/T2] [--combustion]
                     [--eos gerg2008|detail [--base T,p]] [-j N] [--bom] IN.csv
                     [-o OUT.csv]

Calculates every row of IN.csv ('-' reads standard input) and writes one line
of results per row to OUT.csv or, without -o, to standard output.

Input: a header row naming the columns, then one row per composition. Columns
are the components (any order, any subset; missing ones count 0), named by
formula label, name or synonym in any case (CH4, methane, nitrogen, iC4, nC5,
water vapour, ...), and an optional "name" column. Fields may be quoted ("a;b",
"say ""x"""); blank lines are skipped; empty fields count 0. The text is read
as UTF-8 when it begins with a UTF-8 byte order mark or its first MiB is valid
UTF-8, otherwise as Windows-1252 (a spreadsheet's "CSV" on Windows).

  --delimiter ,|;|tab   field separator of input and output (default ",";
                        ";" when --decimal , is given)
  --decimal .|,         decimal mark of input and output numbers (default ".");
                        the other mark in a number makes the row fail
  --reports DIR         also write one HTML report per computed row into DIR,
                        named after the row ("gas.htm", "gas-2.htm" for the
                        second "gas"; characters unsafe in file names become _)
  --lang de|en          language of the reports (default English)
  --iso6976 T1/T2       also the gas quality by ISO 6976:2016 at combustion /
                        metering temperature T1/T2 °C and 101.325 kPa (such as
                        25/0; see tarvelo iso6976 --help): the columns Hs, Hi,
                        Ws, Wi, G, D, Z before flag. The header may then also
                        name the standard's other components (helium, argon,
                        isopentane, ...) by name, synonym or formula, in mol%
  --combustion          also the combustion in dry air at 101.325 kPa (see
                        tarvelo combustion --help): the header then needs a
                        column lambda (the air ratio) or O2_flue or CO2_flue
                        (vol% of the dry flue gas; O2 and CO2 are the fuel's
                        components), and may have T_flue_C and T_air_C (or
                        _K; air 25 °C when absent or empty); adds the columns
                        lambda_air ... eta_Hs before flag
  --eos gerg2008|detail also the gas at line conditions by GERG-2008 or
                        AGA8-DETAIL (see tarvelo eos --help): the columns
                        Z_line and rho_line before flag, from the row's
                        temperature (a column T_K or T_C) and absolute pressure
                        (p_kPa, p_MPa or p_bar); the header may name any of
                        the 21 components of the equations
  --base T,p            with --eos, also C, the conversion factor from line
                        to base volume at T,p (such as 15C,101.325kPa)
  -j, --jobs N          calculate on N threads, 1 to 256 (default: the number
                        of cores the process may use); the output, messages
                        and reports are the same for every N. One line says
                        so when N exceeds the cores, or when the system
                        starts fewer threads. At most 16 blocks of about
                        1 MiB are in flight whatever N, which bounds the
                        memory
  -o, --out, --output OUT.csv
                        output file, replaced only when the run is complete
                        ('-' is standard output; a device, a FIFO or
                        /dev/stdout is written into, not replaced)
  --bom                 begin the output with a UTF-8 byte order mark, which
                        Excel needs to read its names as UTF-8

The output is UTF-8 with LF line ends, also for an input with CR LF.

Output columns:
  name      the input's name, or "row" with the row number when it has none
  lambda    air/fuel ratio [l air / l fuel], 2 decimals
  rho       density [g/Nm³], 1 decimal
  hu        lower calorific value [kWh/Nm³], 2 decimals
  lambda_exact, rho_exact, hu_exact
            the single-precision results to 9 significant digits
  sum       sum of the percentages
  d         relative density = rho / 1293 g/Nm³, 4 decimals
  wobbe     lower Wobbe index Wl = hu / sqrt(d) [kWh/Nm³], 2 decimals
            (empty when d is 0)
  Hs, Hi    (--iso6976) gross and net calorific value [MJ/m³], real gas
  Ws, Wi    (--iso6976) gross and net Wobbe index [MJ/m³], real gas
  G, D, Z   (--iso6976) relative density, density [kg/m³], compression factor;
            all 9 significant digits. Empty, with the reason, when the row is
            outside the standard's limits (amounts not adding up to 100 mol%
            within 0.01 mol%, Z 0.9 or less): the row counts as failed, its
            kernel columns stay. A row with a component the kernel does not
            know gets its ISO columns, and empty kernel columns with the
            reason; it does not count as failed, and one line at the end says
            how many such rows there were
  lambda_air, CO2_max, V_wet, dew_point_C
            (--combustion) air ratio, CO2max [%] of the dry flue gas, wet
            flue gas [m³/m³ fuel], its water dew point [°C] (empty below 0 °C)
  qA_Hi, eta_Hi, eta_Hs
            (--combustion, rows with a flue-gas temperature) flue-gas loss on
            Hi, efficiency on Hi and on Hs [%]; 9 significant digits. Empty,
            with the reason, when the row is refused (see tarvelo combustion)
  Z_line, rho_line, C
            (--eos) compression factor, density [kg/m³] at line conditions,
            and with --base the conversion factor to base volume, in the
            shortest form that reads back to the same number. Empty, with
            the reason, when the row is refused (a component the equation
            lacks, amounts off 100 mol% by more than 0.01 mol%, a state
            outside the extended range or without a converged density): the
            row counts as failed
  flag      "sum-not-100" when the sum is not within 1 of 100 (computed anyway)
  reason    why the row failed: a field that is not a number, a negative
            value, a wrong number of fields, bad quoting, a report not written
Failed rows keep their name and have empty results; each is also reported on
standard error with its line number and column. A progress line appears on
standard error when it is a terminal; a message clears it first. A run out of
memory stops with one line and leaves OUT.csv as it was; so does any signal
that ends the program (no temporary file is left).

Exit status: 0 every row computed; 1 bad command line or header, unreadable
input, unwritable output; 2 the run finished but some rows failed.
)";

struct Labels {
    std::array<std::string_view, 5> names;
    std::string_view undefined;
    char decimalMark;
};

constexpr Labels kGerman = {{"Luftverhältnis [l Luft / l Brennstoff]", "Dichte [g/Nm³]",
                             "Heizwert [kWh/Nm³]", "relative Dichte d",
                             "unterer Wobbe-Index Wl [kWh/Nm³]"},
                            "nicht definiert (d = 0)",
                            ','};
constexpr Labels kEnglish = {{"air/fuel ratio [l air / l fuel]", "density [g/Nm³]",
                              "calorific value [kWh/Nm³]", "relative density d",
                              "lower Wobbe index Wl [kWh/Nm³]"},
                             "undefined (d = 0)",
                             '.'};

// Characters, not bytes, decide the width of a UTF-8 label.
std::size_t displayWidth(std::string_view text) {
    std::size_t width = 0;
    for (const char c : text)
        width += (static_cast<unsigned char>(c) & 0xC0u) != 0x80u;
    return width;
}

bool finite(const Results& r) {
    return std::isfinite(r.lambda) && std::isfinite(r.rho) && std::isfinite(r.hu);
}

void noteSum(const Composition& percent, std::string_view command, std::ostream& err) {
    const float sum = compositionSum(percent);
    if (!sumNear100(sum))
        err << "tarvelo " << command << ": note: the percentages add up to "
            << generalText(sum, 7, '.') << ", not 100; calculated as given\n";
}

} // namespace

std::string usage(HelpTopic topic) {
    switch (topic) {
    case HelpTopic::Calc:
        return std::string(kCalcUsage) + "Components: " + componentLabelList(" ", 0, 12) + "\n" +
               componentLabelList(" ", 12) + " (any case); each at most once, not negative.\n";
    case HelpTopic::Report:
        return std::string(kReportUsage);
    case HelpTopic::Batch:
        return std::string(kBatchUsage);
    case HelpTopic::Iso6976:
        return iso6976Usage();
    case HelpTopic::Combustion:
        return combustionUsage();
    case HelpTopic::Eos:
        return eosUsage();
    case HelpTopic::General:
        break;
    }
    return std::string(kGeneralUsage) + "  " + componentLabelList(" ", 0, 8) + "\n  " +
           componentLabelList(" ", 8) + "\n" + std::string(kGeneralUsageEnd);
}

int runCalc(const CalcRequest& request, Calculator& calculator, std::ostream& out,
            std::ostream& err) {
    const Results results = calculator.calculate(request.percent);
    if (!finite(results)) {
        err << "tarvelo calc: the results are beyond single precision\n";
        return kExitError;
    }
    const Labels& labels = request.language == Language::German ? kGerman : kEnglish;
    const char mark = labels.decimalMark;
    const double d = relativeDensity(results.rho);
    const double wobbe = wobbeIndex(results.hu, d);

    std::array<std::string, 5> values = {
        generalText(roundHalfEven(results.lambda, kLambdaDecimals), 7, mark),
        generalText(roundHalfEven(results.rho, kRhoDecimals), 7, mark),
        generalText(roundHalfEven(results.hu, kHuDecimals), 7, mark),
        roundedText(roundHalfEven(d, kRelativeDensityDecimals), kRelativeDensityDecimals, mark),
        std::isfinite(wobbe)
            ? roundedText(roundHalfEven(wobbe, kWobbeDecimals), kWobbeDecimals, mark)
            : std::string(labels.undefined)};
    if (request.exact) {
        const std::array<float, 3> exact = {results.lambda, results.rho, results.hu};
        std::size_t width = 0;
        for (std::size_t i = 0; i < 3; ++i)
            width = std::max(width, values[i].size());
        for (std::size_t i = 0; i < 3; ++i)
            values[i] += std::string(width - values[i].size() + 2, ' ') + "(" +
                         generalText(exact[i], 9, mark) + ")";
    }
    std::size_t labelWidth = 0;
    for (const auto name : labels.names)
        labelWidth = std::max(labelWidth, displayWidth(name));
    for (std::size_t i = 0; i < values.size(); ++i)
        out << labels.names[i] << std::string(labelWidth - displayWidth(labels.names[i]) + 2, ' ')
            << values[i] << '\n';
    noteSum(request.percent, "calc", err);
    return kExitOk;
}

int runReport(const ReportRequest& request, Calculator& calculator, std::ostream& err) {
    const Results results = calculator.calculate(request.percent);
    if (!finite(results)) {
        err << "tarvelo report: the results are beyond single precision; no report written\n";
        return kExitError;
    }
    const int error = calculator.saveReport(request.gasName, request.outFile, request.language);
    if (error != 0) {
        err << "tarvelo report: cannot write '" << request.outFile << "': " << std::strerror(error)
            << '\n';
        return kExitError;
    }
    noteSum(request.percent, "report", err);
    return kExitOk;
}

int runTarvelo(const std::vector<std::string_view>& args, Calculator& calculator, std::ostream& out,
               std::ostream& err) {
    try {
        if (!args.empty() && args[0] == "iso6976")
            return runIso6976({args.begin() + 1, args.end()}, out, err);
        if (!args.empty() && args[0] == "combustion")
            return runCombustion({args.begin() + 1, args.end()}, out, err);
        if (!args.empty() && args[0] == "eos")
            return runEos({args.begin() + 1, args.end()}, out, err);
        const ParseResult parsed = parseArguments(args);
        if (!parsed.request) {
            err << parsed.error << '\n';
            return kExitError;
        }
        const Request& request = *parsed.request;
        if (const auto* help = std::get_if<HelpRequest>(&request)) {
            out << usage(help->topic);
            return kExitOk;
        }
        if (std::holds_alternative<VersionRequest>(request)) {
            out << "tarvelo " TARVELO_VERSION "\n";
            return kExitOk;
        }
        if (const auto* calc = std::get_if<CalcRequest>(&request))
            return runCalc(*calc, calculator, out, err);
        if (const auto* report = std::get_if<ReportRequest>(&request))
            return runReport(*report, calculator, err);
        out.flush();
        return runBatch(std::get<BatchRequest>(request), calculator, err);
    } catch (const KernelBindingError& e) {
        err << "tarvelo: the calculation kernel is not available: " << e.systemText() << '\n';
        return kExitError;
    } catch (const std::bad_alloc&) {
        err << "tarvelo: out of memory: the system or a limit (ulimit -v) refused more\n";
        return kExitError;
    } catch (const std::system_error& e) {
        err << "tarvelo: " << e.code().message() << '\n';
        return kExitError;
    }
}

} // namespace tarvelo::cli
