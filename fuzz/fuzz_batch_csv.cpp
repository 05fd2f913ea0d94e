// The batch reader on arbitrary bytes: the first byte picks the delimiter and
// the decimal mark, the rest is the CSV input, read through a memory file by
// the batch engine with a calculator that needs no kernel. Any error it
// reports is fine; a crash, a hang or an unbounded allocation is not.
#include "Batch.h"
#include "CsvReader.h"
#include "FuzzSupport.h"
#include "OutputBuffer.h"

#include <fcntl.h>
#include <sstream>
#include <sys/mman.h>
#include <unistd.h>

namespace {

class FakeCalculator final : public tarvelo::batch::Calculator {
public:
    tarvelo::batch::Results calculate(const tarvelo::batch::Composition& percent) override {
        float sum = 0;
        for (const float p : percent)
            sum += p;
        return {sum, sum * 2, sum * 3};
    }
    int saveReport(std::string_view, const std::string&, tarvelo::Language) override { return 0; }
};

// A file descriptor that reads `bytes`.
int memoryFile(std::string_view bytes) {
    const int fd = memfd_create("fuzz-input", MFD_CLOEXEC);
    if (fd < 0)
        fuzz::fail("memfd_create failed");
    if (!bytes.empty() &&
        write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
        fuzz::fail("cannot fill the memory file");
    lseek(fd, 0, SEEK_SET);
    return fd;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const int devnull = open("/dev/null", O_WRONLY | O_CLOEXEC);
    fuzz::Input in(data, size);
    const std::uint8_t choice = in.take<std::uint8_t>();
    const char delimiters[] = {',', ';', '\t'};
    tarvelo::batch::BatchRequest request;
    request.delimiter = delimiters[choice % 3];
    request.decimalMark = (choice & 4) ? ',' : '.';
    const std::string_view csv = in.rest();

    // The reader alone, with a tiny block so that records cross block ends.
    {
        const int fd = memoryFile(csv);
        tarvelo::batch::CsvReader reader(fd, request.delimiter, 16);
        tarvelo::batch::CsvRecord record;
        std::size_t lastLine = 0;
        try {
            while (reader.next(record)) {
                fuzz::check(record.line > lastLine, "record lines do not increase");
                lastLine = record.line;
                for (const std::string_view field : record.fields)
                    fuzz::check(field.size() <= csv.size(), "a field longer than the input");
            }
        } catch (const tarvelo::batch::CsvReadError&) {
        }
        close(fd);
    }
    // The whole batch engine.
    {
        const int fd = memoryFile(csv);
        FakeCalculator calculator;
        std::ostringstream messages;
        tarvelo::batch::BatchRun run(request, calculator, messages);
        tarvelo::batch::OutputBuffer out(devnull, 4096);
        try {
            const tarvelo::batch::BatchSummary summary = run.process(fd, "in.csv", out);
            fuzz::check(summary.failed <= summary.rows, "more failed rows than rows");
            out.flush();
        } catch (const std::exception&) {
        }
        close(fd);
    }
    return 0;
}
