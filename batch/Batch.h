// The batch engine: compositions from delimited text in, one line of results
// per row out, one kernel calculation per row, on one thread or several.
#pragma once

#include "BatchRequest.h"
#include "Calculator.h"
#include "ColumnSet.h"
#include "CsvReader.h"
#include "OutputBuffer.h"
#include "ReportNames.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <streambuf>
#include <string>
#include <string_view>
#include <vector>

namespace tarvelo::batch {

// The run cannot go on: the header is unusable or the input unreadable.
class BatchError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct BatchSummary {
    std::size_t rows = 0;    // data rows read
    std::size_t failed = 0;  // rows written without results, or whose report failed
    std::size_t flagged = 0; // rows computed although their sum is not within 1 of 100
    // rows whose column sets were computed but whose kernel columns are empty
    // because they hold a component the kernel lacks; not failed
    std::size_t kernelSkipped = 0;
};

// Exit statuses of `tarvelo batch`.
inline constexpr int kExitOk = 0;         // every row computed (flagged rows included)
inline constexpr int kExitError = 1;      // usage, input, output or kernel error
inline constexpr int kExitRowsFailed = 2; // the run finished, but some rows failed

// The output columns, in order; the columns of the run's column sets (see
// ColumnSet.h) come before flag.
inline constexpr std::string_view kOutputColumns[] = {
    "lambda", "rho", "hu",    "lambda_exact", "rho_exact", "hu_exact",
    "sum",    "d",   "wobbe", "flag",         "reason"};

// The input is read in blocks of whole records ("chunks") of about this
// size; each is parsed, calculated and formatted on its own, and the results
// are written in input order.
inline constexpr std::size_t kChunkBytes = std::size_t(1) << 20;

// At most this many chunks are read and not yet written at a time, whatever
// the number of threads: the bound of the run's memory (README: batch).
inline constexpr std::size_t kMaxChunksInFlight = 16;

// The number of cores this process may run on (at least 1).
unsigned availableCores() noexcept;

class BatchRun {
public:
    // `messages` receives one line per failing row ("IN:LINE: column CH4: ...").
    BatchRun(const BatchRequest& request, Calculator& calculator, std::ostream& messages);
    ~BatchRun();

    // Called every few ten thousand rows and once at the end with the rows so far.
    std::function<void(std::size_t rows, bool finished)> progress;

    // The chunk size; small ones let tests put chunk ends anywhere.
    std::size_t chunkBytes = kChunkBytes;

    // Reads all of `inputFd` (named `inputName` in messages), writes the
    // results to `out` and, with a report directory, one report per computed
    // row. With request.jobs threads other than 1, worker threads parse,
    // calculate and format the chunks while this thread reads, writes and
    // writes the reports; the output, the messages and the reports are the
    // same for every number of threads. Throws BatchError, CsvReadError or
    // OutputError when it cannot go on.
    BatchSummary process(int inputFd, std::string_view inputName, OutputBuffer& out);

private:
    struct Chunk;
    struct Layout;
    class Workers;
    Layout readLayout(Chunk& first, std::string_view inputName, std::size_t& baseLine) const;
    void writeHeader(const Layout& layout, OutputBuffer& out) const;
    struct ParsedRow;
    void processChunk(Chunk& chunk, const Layout& layout);
    void processRow(const CsvRecord& record, std::size_t row, Chunk& chunk, const Layout& layout);
    std::size_t processPlainRow(const char* text, std::size_t row, std::size_t line, Chunk& chunk,
                                const Layout& layout);
    void writeRow(ParsedRow& parsed, std::size_t row, std::size_t line, Chunk& chunk,
                  const Layout& layout);
    Results calculate(const Composition& percent);
    void computeSets(const RowInput& input, Chunk& chunk, std::string& reason) const;
    char* writeSets(char* p, const Chunk& chunk, bool computed, char delimiter, char mark,
                    bool quote) const;
    void emit(Chunk& chunk, const Layout& layout, std::string_view inputName, std::size_t baseLine,
              OutputBuffer& out, BatchSummary& summary);

    // A copy: a run may be made from a temporary request.
    const BatchRequest request_;
    Calculator& calculator_;
    std::ostream& messages_;
    ReportNames reportNames_;
    StatelessCalculation stateless_ = nullptr;
    std::mutex kernel_; // calls of calculator_ when there is no stateless calculation
    std::vector<std::unique_ptr<ColumnSet>> sets_; // the requested column sets, in order
    std::size_t setColumns_ = 0;                   // their columns in all
    std::size_t setText_ = 0;                      // room their text may take in a row
};

// Standard error on a terminal, which shows the progress line: text written
// through this buffer first clears that line ("\r", erase to its end), so
// that no message is glued to it; the next progress is drawn below it.
class ProgressAwareBuffer : public std::streambuf {
public:
    explicit ProgressAwareBuffer(std::streambuf& target) : target_(target) {}
    // Draws the progress line over the last one; `finished` ends it.
    void progress(std::string_view line, bool finished);

protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* text, std::streamsize n) override;
    int sync() override { return target_.pubsync(); }

private:
    void clearProgress();
    std::streambuf& target_;
    bool shown_ = false;
};

// `tarvelo batch`: opens the input, writes the output to standard output or
// through a temporary file that replaces OUT only when the run got to its end,
// shows progress when standard error is a terminal. Says so on `err` when
// --jobs exceeds the cores or fewer threads could be started; a run out of
// memory ends with a message and the old output. Returns the exit status.
int runBatch(const BatchRequest& request, Calculator& calculator, std::ostream& messages);

} // namespace tarvelo::batch
