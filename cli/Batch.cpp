#include "Batch.h"

#include "CsvReader.h"
#include "DescriptorIo.h"
#include "KernelBinding.h"
#include "Numbers.h"
#include "ReplaceFile.h"

#include <cerrno>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>
#include <vector>

namespace tarvelo::cli {

namespace {

constexpr int kNameColumn = -1;
// A component of ISO 6976 that the kernel does not know (with --iso6976).
constexpr int kIsoOnlyColumn = -2;
constexpr std::size_t kProgressEvery = 1 << 16;

std::string_view trimBlanks(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

std::string lineOf(std::string_view inputName, std::size_t line) {
    return std::string(inputName) + ":" + std::to_string(line) + ": ";
}

// Shows a field in a message: quoted, cut when long, controls as '?'.
std::string shown(std::string_view field) {
    constexpr std::size_t kMax = 40;
    std::string text = "'";
    for (std::size_t i = 0; i < field.size() && i < kMax; ++i)
        text.push_back(static_cast<unsigned char>(field[i]) < 0x20 ? '?' : field[i]);
    if (field.size() > kMax)
        text += "...";
    return text + "'";
}

// Maps each input column to a component index or the name column.
std::vector<int> readHeader(const CsvRecord& header, std::string_view inputName, int& nameIndex,
                            std::optional<Iso6976Columns>& iso) {
    const std::string where = lineOf(inputName, header.line);
    if (!header.problem.empty())
        throw BatchError(where + "header: " + std::string(header.problem));
    std::vector<int> columns;
    std::vector<bool> seen(kComponentCount, false);
    std::vector<std::string> isoSeen(gasquality::kComponentCount);
    nameIndex = -1;
    for (std::size_t i = 0; i < header.fields.size(); ++i) {
        const std::string_view label = trimBlanks(header.fields[i]);
        if (equalsIgnoringCase(label, "name")) {
            if (nameIndex >= 0)
                throw BatchError(where + "column name appears twice");
            nameIndex = int(i);
            columns.push_back(kNameColumn);
            continue;
        }
        const auto index = componentIndex(label);
        if (iso && !label.empty()) {
            if (const auto component = Iso6976Columns::componentOf(label)) {
                std::string& first = isoSeen[*component];
                if (!first.empty())
                    throw BatchError(where + "column " + shown(label) + " names " +
                                     std::string(gasquality::componentName(*component)) +
                                     " as column " + shown(first) + " does");
                first = std::string(label);
                iso->mapColumn(i, *component);
                if (!index) {
                    columns.push_back(kIsoOnlyColumn);
                    continue;
                }
            }
        }
        if (!index) {
            if (label.empty())
                throw BatchError(where + "column " + std::to_string(i + 1) +
                                 " has no name in the header");
            throw BatchError(where + "unknown column " + shown(label) +
                             " (expected name or a component: CH4, C2H6, C3H8, ISO-C4H10, "
                             "N-C4H10, C5H12, C6H14, C7H16, C2H2, C2H4, H2, CO, CO2, N2, O2, "
                             "H2O)");
        }
        if (seen[std::size_t(*index)])
            throw BatchError(where + "column " + std::string(kComponentLabels[*index]) +
                             " appears twice");
        seen[std::size_t(*index)] = true;
        columns.push_back(*index);
    }
    return columns;
}

std::string columnName(const CsvRecord& header, std::size_t index, int column) {
    if (column == kIsoOnlyColumn)
        return std::string(trimBlanks(header.fields[index]));
    return column == kNameColumn ? std::string("name")
                                 : std::string(kComponentLabels[std::size_t(column)]);
}

} // namespace

BatchRun::BatchRun(const BatchRequest& request, Calculator& calculator, std::ostream& messages)
    : request_(request), calculator_(calculator), messages_(messages) {
    if (request_.iso6976)
        iso_.emplace(*request_.iso6976);
}

BatchSummary BatchRun::process(int inputFd, std::string_view inputName, OutputBuffer& out) {
    CsvReader reader(inputFd, request_.delimiter);
    CsvRecord record;
    if (!reader.next(record))
        throw BatchError(std::string(inputName) + ": no header row (the input is empty)");
    int nameIndex = -1;
    const std::vector<int> columns = readHeader(record, inputName, nameIndex, iso_);
    // The header's labels, for messages naming the columns of the ISO-only components.
    CsvRecord header;
    std::vector<std::string> headerText(record.fields.begin(), record.fields.end());
    for (const std::string& field : headerText)
        header.fields.push_back(field);

    const char delimiter = request_.delimiter;
    const char mark = request_.decimalMark;
    // A decimal comma in comma-separated output needs quotes.
    const bool quoteNumbers = mark == delimiter;
    const bool writeReports = !request_.reportsDir.empty();

    out.append(nameIndex >= 0 ? "name" : "row");
    for (const std::string_view column : kOutputColumns) {
        if (iso_ && column == "flag")
            for (const std::string_view isoColumn : Iso6976Columns::kNames) {
                out.put(delimiter);
                out.append(isoColumn);
            }
        out.put(delimiter);
        out.append(column);
    }
    out.put('\n');

    BatchSummary summary;
    std::string reason;
    char rowNumberText[24];
    while (reader.next(record)) {
        ++summary.rows;
        reason.clear();
        const auto& fields = record.fields;
        Composition percent{};
        Iso6976Columns::Amounts isoPercent{};
        Iso6976Columns::Row isoRow;
        std::string kernelBlockedBy; // an ISO-only component present in the row
        bool failed = false;

        if (!record.problem.empty()) {
            const std::size_t index = record.problemField;
            const std::string column = index < columns.size()
                                           ? columnName(header, index, columns[index])
                                           : std::to_string(index + 1);
            reason = "column " + column + ": " + std::string(record.problem);
            failed = true;
        } else if (fields.size() != columns.size()) {
            reason = "wrong column count: " + std::to_string(fields.size()) +
                     " fields, header has " + std::to_string(columns.size());
            failed = true;
        } else {
            for (std::size_t i = 0; i < columns.size(); ++i) {
                const int column = columns[i];
                if (column == kNameColumn)
                    continue;
                const ParsedNumber parsed = parseNumber(fields[i], mark);
                if (parsed.status == NumberStatus::Ok) {
                    if (iso_) {
                        iso_->add(isoPercent, i, fields[i], mark);
                        if (column == kIsoOnlyColumn && parsed.value != 0.0f &&
                            kernelBlockedBy.empty())
                            kernelBlockedBy = columnName(header, i, column);
                    }
                    if (column >= 0)
                        percent[std::size_t(column)] = parsed.value;
                } else if (parsed.status != NumberStatus::Empty) {
                    reason = "column " + columnName(header, i, column) + ": " +
                             std::string(describe(parsed.status)) + " " + shown(fields[i]);
                    const char otherMark = mark == ',' ? '.' : ',';
                    if (parsed.status == NumberStatus::NotANumber &&
                        fields[i].find(otherMark) != std::string_view::npos)
                        reason += mark == ',' ? " (the decimal mark is ',')"
                                              : " (the decimal mark is '.')";
                    failed = true;
                    break;
                }
            }
        }

        // The ISO columns of a readable row, whatever the kernel makes of it.
        if (iso_ && !failed)
            isoRow = iso_->compute(isoPercent);
        if (!failed && !kernelBlockedBy.empty()) {
            reason = "kernel: component " + kernelBlockedBy + " is not one of the kernel's";
            failed = true;
        }

        Results results;
        float sum = 0.0f;
        if (!failed) {
            results = calculator_.calculate(percent);
            sum = compositionSum(percent);
            if (!std::isfinite(results.lambda) || !std::isfinite(results.rho) ||
                !std::isfinite(results.hu) || !std::isfinite(sum)) {
                reason = "result beyond single precision";
                failed = true;
            }
        }

        std::string_view rowName;
        if (nameIndex >= 0) {
            if (std::size_t(nameIndex) < fields.size())
                rowName = fields[std::size_t(nameIndex)];
        } else {
            const auto r =
                std::to_chars(rowNumberText, rowNumberText + sizeof rowNumberText, summary.rows);
            rowName = std::string_view(rowNumberText, std::size_t(r.ptr - rowNumberText));
        }

        if (failed) {
            ++summary.failed;
            messages_ << lineOf(inputName, record.line) << reason << '\n';
            out.appendField(rowName, delimiter);
            char* p = out.reserve(std::size(kOutputColumns) + Iso6976Columns::kMaxText);
            for (std::size_t i = 0; i + 2 < std::size(kOutputColumns); ++i)
                *p++ = delimiter;
            if (iso_)
                p = Iso6976Columns::write(p, isoRow, delimiter, mark, quoteNumbers);
            *p++ = delimiter; // flag
            *p++ = delimiter; // reason
            out.commit(p);
            if (!isoRow.reason.empty())
                reason += "; " + isoRow.reason;
            out.appendField(reason, delimiter);
            out.put('\n');
            if (progress && summary.rows % kProgressEvery == 0)
                progress(summary.rows, false);
            continue;
        }

        const bool flagged = !sumNear100(sum);
        summary.flagged += flagged;

        if (writeReports) {
            // Without a name column the file is "row-N.htm".
            const std::string file =
                reportNames_.next(nameIndex >= 0 ? rowName : std::string_view(), summary.rows);
            const std::string path = request_.reportsDir + "/" + file;
            const int error = calculator_.saveReport(rowName, path, request_.language);
            if (error != 0) {
                ++summary.failed;
                reason = "report not written: " + std::string(std::strerror(error));
                messages_ << lineOf(inputName, record.line) << "report " << shown(path)
                          << " not written: " << std::strerror(error) << '\n';
            }
        }

        out.appendField(rowName, delimiter);
        char* p = out.reserve(10 * (kMaxNumberText + 3) + 16 + Iso6976Columns::kMaxText);
        auto number = [&](auto write) {
            *p++ = delimiter;
            if (quoteNumbers)
                *p++ = '"';
            p = write(p);
            if (quoteNumbers)
                *p++ = '"';
        };
        number([&](char* q) { return writeDisplayed(q, results.lambda, kLambdaDecimals, mark); });
        number([&](char* q) { return writeDisplayed(q, results.rho, kRhoDecimals, mark); });
        number([&](char* q) { return writeDisplayed(q, results.hu, kHuDecimals, mark); });
        number([&](char* q) { return writeGeneral(q, results.lambda, 9, mark); });
        number([&](char* q) { return writeGeneral(q, results.rho, 9, mark); });
        number([&](char* q) { return writeGeneral(q, results.hu, 9, mark); });
        number([&](char* q) { return writeGeneral(q, sum, 7, mark); });
        const double d = relativeDensity(results.rho);
        const double wobbe = wobbeIndex(results.hu, d);
        number([&](char* q) { return writeRoundedHalfEven(q, d, kRelativeDensityDecimals, mark); });
        *p++ = delimiter;
        if (std::isfinite(wobbe)) {
            if (quoteNumbers)
                *p++ = '"';
            p = writeRoundedHalfEven(p, wobbe, kWobbeDecimals, mark);
            if (quoteNumbers)
                *p++ = '"';
        }
        if (iso_) {
            p = Iso6976Columns::write(p, isoRow, delimiter, mark, quoteNumbers);
            if (!isoRow.reason.empty())
                reason += (reason.empty() ? "" : "; ") + isoRow.reason;
        }
        *p++ = delimiter;
        if (flagged) {
            std::memcpy(p, "sum-not-100", 11);
            p += 11;
        }
        *p++ = delimiter;
        out.commit(p);
        if (!reason.empty())
            out.appendField(reason, delimiter);
        out.put('\n');
        if (progress && summary.rows % kProgressEvery == 0)
            progress(summary.rows, false);
    }
    if (progress)
        progress(summary.rows, true);
    return summary;
}

namespace {

class ProgressLine {
public:
    explicit ProgressLine(std::ostream& out)
        : out_(out), start_(std::chrono::steady_clock::now()), last_(start_) {}
    void operator()(std::size_t rows, bool finished) {
        const auto now = std::chrono::steady_clock::now();
        if (!finished && now - last_ < std::chrono::milliseconds(500))
            return;
        last_ = now;
        const double seconds = std::chrono::duration<double>(now - start_).count();
        const double rate = seconds > 0 ? double(rows) / seconds : 0.0;
        char line[96];
        std::snprintf(line, sizeof line, "\rtarvelo batch: %zu rows, %.0f rows/s", rows, rate);
        out_ << line;
        if (finished)
            out_ << '\n';
        out_.flush();
    }

private:
    std::ostream& out_;
    std::chrono::steady_clock::time_point start_, last_;
};

} // namespace

int runBatch(const BatchRequest& request, Calculator& calculator, std::ostream& messages) {
    const std::string prefix = "tarvelo batch: ";
    const bool fromStdin = request.input == "-";
    const std::string inputName = fromStdin ? "stdin" : request.input;
    int inputFd = 0;
    if (!fromStdin) {
        inputFd = ::open(request.input.c_str(), kOpenForReading);
        if (inputFd < 0) {
            messages << prefix << "cannot read '" << request.input << "': " << std::strerror(errno)
                     << '\n';
            return kExitError;
        }
    }
    struct CloseInput {
        int fd;
        ~CloseInput() {
            if (fd > 0)
                ::close(fd);
        }
    } closeInput{inputFd};

    if (!request.reportsDir.empty()) {
        std::error_code error;
        std::filesystem::create_directories(request.reportsDir, error);
        if (error || !std::filesystem::is_directory(request.reportsDir, error)) {
            messages << prefix << "cannot create the report directory '" << request.reportsDir
                     << "': " << (error ? error.message() : std::string("not a directory")) << '\n';
            return kExitError;
        }
    }

    // The output goes through a temporary file that replaces OUT when the
    // run is complete, or straight into OUT when that is a device or pipe.
    const bool toStdout = request.output.empty() || request.output == "-";
    FileReplacement file;
    if (!toStdout) {
        if (const int error = file.open(request.output); error != 0) {
            messages << prefix << "cannot write '" << request.output
                     << "': " << std::strerror(error) << '\n';
            return kExitError;
        }
    }

    BatchRun run(request, calculator, messages);
    ProgressLine progressLine(messages);
    if (::isatty(STDERR_FILENO))
        run.progress = [&](std::size_t rows, bool finished) { progressLine(rows, finished); };

    BatchSummary summary;
    try {
        OutputBuffer out(toStdout ? STDOUT_FILENO : file.fd());
        summary = run.process(inputFd, inputName, out);
        out.flush();
    } catch (const BatchError& e) {
        messages << prefix << e.what() << '\n';
        return kExitError;
    } catch (const CsvReadError& e) {
        messages << prefix << "cannot read '" << inputName << "': " << e.what() << '\n';
        return kExitError;
    } catch (const OutputError& e) {
        messages << prefix << "cannot write '" << (toStdout ? "stdout" : request.output)
                 << "': " << e.what() << '\n';
        return kExitError;
    } catch (const KernelBindingError& e) {
        messages << prefix << "the calculation kernel is not available: " << e.systemText() << '\n';
        return kExitError;
    }
    if (!toStdout) {
        if (const int error = file.commit(); error != 0) {
            messages << prefix << "cannot write '" << request.output
                     << "': " << std::strerror(error) << '\n';
            return kExitError;
        }
    }
    if (summary.failed > 0) {
        messages << prefix << summary.failed << " of " << summary.rows << " rows failed\n";
        return kExitRowsFailed;
    }
    return kExitOk;
}

} // namespace tarvelo::cli
