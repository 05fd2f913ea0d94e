// Throughput of `tarvelo batch` on one million generated rows: end to end
// (read, parse, calculate, format, write), and the phases on their own.
#include "Batch.h"
#include "Calculator.h"
#include "CsvReader.h"
#include "KernelBinding.h"
#include "Numbers.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <random>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

using namespace tarvelo::batch;
using Clock = std::chrono::steady_clock;

namespace {

constexpr std::size_t kRows = 1'000'000;
constexpr int kRepeats = 3;

// A temporary file that is removed again.
struct TempPath {
    std::string path;
    int fd;
    TempPath() {
        const char* base = std::getenv("TMPDIR");
        path = std::string(base ? base : "/tmp") + "/bench_batch-XXXXXX";
        fd = ::mkstemp(path.data());
        if (fd < 0) {
            std::perror("mkstemp");
            std::exit(1);
        }
    }
    ~TempPath() {
        ::close(fd);
        ::unlink(path.c_str());
    }
};

// Natural-gas-like rows: a name and eight components with four decimals.
std::string generateInput() {
    std::mt19937 random(42);
    std::uniform_real_distribution<double> minor(0.0, 2.0);
    std::string text = "name,CH4,C2H6,C3H8,N-C4H10,H2,CO2,N2,O2\n";
    text.reserve(kRows * 72);
    char line[256];
    for (std::size_t i = 0; i < kRows; ++i) {
        double parts[7];
        double rest = 100.0;
        for (double& p : parts) {
            p = minor(random);
            rest -= p;
        }
        const int n = std::snprintf(
            line, sizeof line, "sample-%zu,%.4f,%.4f,%.4f,%.4f,%.4f,%.4f,%.4f,%.4f\n", i, rest,
            parts[0], parts[1], parts[2], parts[3], parts[4], parts[5], parts[6]);
        text.append(line, std::size_t(n));
    }
    return text;
}

double seconds(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void rewind(int fd) {
    ::lseek(fd, 0, SEEK_SET);
}

} // namespace

int main() {
    TempPath input;
    const std::string text = generateInput();
    if (::write(input.fd, text.data(), text.size()) != ssize_t(text.size())) {
        std::perror("write");
        return 1;
    }
    std::printf("input: %zu rows, %.1f MB\n", kRows, double(text.size()) / 1e6);

    tarvelo::KernelBinding binding;
    KernelCalculator calculator(binding);
    const int columns[] = {0, 1, 2, 4, 10, 12, 13, 14}; // component index of each number column

    double bestParse = 1e9, bestCalculate = 1e9, bestEndToEnd = 1e9;
    std::vector<Composition> compositions(kRows);
    std::size_t checksum = 0;
    for (int repeat = 0; repeat < kRepeats; ++repeat) {
        // Reading and parsing: records split into fields, numbers converted.
        rewind(input.fd);
        auto start = Clock::now();
        {
            CsvReader reader(input.fd, ',');
            CsvRecord record;
            reader.next(record);
            std::size_t row = 0;
            while (reader.next(record)) {
                Composition& percent = compositions[row++];
                percent.fill(0.0f);
                for (std::size_t i = 0; i < 8; ++i)
                    percent[std::size_t(columns[i])] = parseNumber(record.fields[i + 1], '.').value;
            }
            checksum += row;
        }
        bestParse = std::min(bestParse, seconds(start));

        // The kernel through the run-time binding, one call per row.
        start = Clock::now();
        float sink = 0;
        for (const Composition& percent : compositions)
            sink += calculator.calculate(percent).hu;
        bestCalculate = std::min(bestCalculate, seconds(start));
        checksum += std::size_t(sink > 0);

        // The whole batch engine: input file to output file.
        rewind(input.fd);
        TempPath output;
        BatchRequest request;
        request.jobs = 1; // the phases above are timed on one thread too
        std::ostringstream messages;
        BatchRun run(request, calculator, messages);
        start = Clock::now();
        {
            OutputBuffer out(output.fd);
            const BatchSummary summary = run.process(input.fd, "bench", out);
            out.flush();
            checksum += summary.rows + summary.failed;
        }
        bestEndToEnd = std::min(bestEndToEnd, seconds(start));
    }

    const double rows = double(kRows);
    std::printf("end to end (read, parse, calculate, format, write): %.3f s, %.2f M rows/s, "
                "%.0f ns/row\n",
                bestEndToEnd, rows / bestEndToEnd / 1e6, bestEndToEnd / rows * 1e9);
    std::printf("  read + parse:        %.0f ns/row (%4.1f %%)\n", bestParse / rows * 1e9,
                100 * bestParse / bestEndToEnd);
    std::printf("  calculate (kernel):  %.0f ns/row (%4.1f %%)\n", bestCalculate / rows * 1e9,
                100 * bestCalculate / bestEndToEnd);
    const double rest = bestEndToEnd - bestParse - bestCalculate;
    std::printf("  format + write:      %.0f ns/row (%4.1f %%)\n", rest / rows * 1e9,
                100 * rest / bestEndToEnd);
    std::printf("(best of %d runs; checksum %zu)\n", kRepeats, checksum);
    return 0;
}
