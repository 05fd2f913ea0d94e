// `tarvelo iso6976 --correlation FILE` on an arbitrary correlation file: the
// first byte picks the options (JSON, German, normalised, coverage factor),
// the rest becomes the file, in the target's scratch directory, for the
// worked example's composition and uncertainties. Output goes to memory. A
// refusal must be exit status 1, one line on standard error and nothing on
// standard output; a crash, a hang or an unbounded allocation is a finding.
#include "FuzzSupport.h"
#include "Iso6976Command.h"

#include <algorithm>
#include <sstream>

namespace {

const std::string& correlationFile() {
    static const std::string path = fuzz::scratchDirectory() + "/correlation.csv";
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    const auto choice = in.take<std::uint8_t>();
    const std::string_view file = in.rest();
    std::FILE* out = std::fopen(correlationFile().c_str(), "wb");
    if (!out)
        fuzz::fail("cannot write the correlation file");
    std::fwrite(file.data(), 1, file.size(), out);
    std::fclose(out);

    // ISO 6976:2016 Annex D, Example 1: the composition and its uncertainties.
    std::vector<std::string_view> args = {"--reference",           "15/15",
                                          "methane=93.3212",       "ethane=2.5656",
                                          "propane=1.5368",        "nitrogen=1.0350",
                                          "carbon dioxide=1.5414", "--u",
                                          "methane=0.0346",        "--u",
                                          "ethane=0.0243",         "--u",
                                          "propane=0.0148",        "--u",
                                          "nitrogen=0.0195",       "--u",
                                          "carbon dioxide=0.0111", "--correlation",
                                          correlationFile()};
    if (choice & 1)
        args.push_back("--json");
    if (choice & 2)
        args.push_back("--lang=de");
    if (choice & 4)
        args.push_back("--normalise");
    if (choice & 8)
        args.push_back("--coverage=2");

    std::ostringstream result, err;
    const int status = tarvelo::cli::runIso6976(args, result, err);
    fuzz::check(status == 0 || status == 1, "an exit status other than 0 or 1");
    // User text goes into messages as it is (a reported fault): a refusal of
    // a file with control characters in its fields (or quotes, which can hold
    // a line break) is only checked to end in a line break.
    const bool plain = std::none_of(file.begin(), file.end(), [](char c) {
        return (c >= 0 && c < 0x20 && c != '\n') || c == '"';
    });
    if (status == 1) {
        const std::string message = err.str();
        if (!result.str().empty() || message.empty() || message.back() != '\n' ||
            (plain && message.find('\n') != message.size() - 1)) {
            std::fprintf(stderr, "standard output: [%s]\nstandard error: [%s]\n",
                         result.str().c_str(), message.c_str());
            fuzz::fail(
                "a refusal was not one line on standard error and nothing on standard output");
        }
    }
    return 0;
}
