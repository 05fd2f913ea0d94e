// The command line of `tarvelo` on arbitrary argument lists: the input,
// split at NUL bytes, is the arguments after the program name ("calc",
// "report", "iso6976", "batch", ...). Output goes to memory; nothing is
// written or read outside the target's scratch directory:
// - reports go to a calculator that computes with the kernel's arithmetic
//   and writes no file;
// - batch requests are parsed, not run (fuzz_batch_csv reads their input);
// - a --correlation file is always the target's own, in its scratch directory.
// A refusal must be exit status 1, one line on standard error and nothing on
// standard output; a crash, a hang or an unbounded allocation is a finding.
#include "Calculator.h"
#include "Commands.h"
#include "FuzzSupport.h"

#include <algorithm>
#include <sstream>
#include <variant>

namespace {

class ArithmeticCalculator final : public tarvelo::cli::Calculator {
public:
    tarvelo::cli::Results calculate(const tarvelo::cli::Composition& percent) override {
        return tarvelo::cli::kernelArithmetic(percent);
    }
    int saveReport(std::string_view, const std::string&, tarvelo::cli::Language) override {
        return 0;
    }
};

// A correlation file of the target's own: methane and ethane, 0.5.
const std::string& correlationFile() {
    static const std::string path = [] {
        const std::string file = fuzz::scratchDirectory() + "/correlation.csv";
        std::FILE* out = std::fopen(file.c_str(), "wb");
        if (!out)
            fuzz::fail("cannot write the correlation file");
        std::fputs(",methane,ethane\nmethane,1,0.5\nethane,0.5,1\n", out);
        std::fclose(out);
        return file;
    }();
    return path;
}

constexpr std::size_t kMaxArguments = 64;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> args;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    for (std::size_t start = 0; start <= input.size() && args.size() < kMaxArguments;) {
        const std::size_t end = std::min(input.find('\0', start), input.size());
        args.emplace_back(input.substr(start, end - start));
        start = end + 1;
    }
    // Every --correlation value, whether after '=' or as the next argument,
    // names the target's own file.
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--correlation" && i + 1 < args.size())
            args[++i] = correlationFile();
        else if (args[i].rfind("--correlation=", 0) == 0)
            args[i] = "--correlation=" + correlationFile();
    }
    const std::vector<std::string_view> views(args.begin(), args.end());

    if (!views.empty() && views[0] != "iso6976") {
        const tarvelo::cli::ParseResult parsed = tarvelo::cli::parseArguments(views);
        fuzz::check(parsed.request.has_value() == parsed.error.empty(),
                    "a parse gave both or neither a request and an error");
        if (parsed.request && std::holds_alternative<tarvelo::cli::BatchRequest>(*parsed.request))
            return 0;
    }
    ArithmeticCalculator calculator;
    std::ostringstream out, err;
    const int status = tarvelo::cli::runTarvelo(views, calculator, out, err);
    fuzz::check(status == 0 || status == 1, "an exit status other than 0 or 1");
    // User text goes into messages as it is (a reported fault): a refusal of
    // arguments with control characters is only checked to end in a line break.
    const bool plain =
        std::none_of(data, data + size, [](std::uint8_t c) { return c > 0 && c < 0x20; });
    if (status == 1) {
        const std::string message = err.str();
        if (!out.str().empty() || message.empty() || message.back() != '\n' ||
            (plain && message.find('\n') != message.size() - 1)) {
            std::fprintf(stderr, "standard output: [%s]\nstandard error: [%s]\n", out.str().c_str(),
                         message.c_str());
            fuzz::fail(
                "a refusal was not one line on standard error and nothing on standard output");
        }
    }
    return 0;
}
