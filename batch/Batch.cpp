#include "Batch.h"

#include "CsvReader.h"
#include "DescriptorIo.h"
#include "KernelBinding.h"
#include "Numbers.h"
#include "Quoted.h"
#include "ReplaceFile.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <deque>
#include <exception>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <new>
#include <streambuf>
#include <system_error>
#include <thread>
#include <unistd.h>
#include <vector>
#if defined(__linux__)
#include <sched.h>
#endif

namespace tarvelo::batch {

namespace {

constexpr int kNameColumn = -1;
// A component that the kernel does not know (read for the column sets).
constexpr int kIsoOnlyColumn = -2;
// A column that a column set claimed (a temperature, a pressure, ...).
constexpr int kClaimedColumn = -3;
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

// What the header makes of each input column: the kernel's component index,
// the name column, a component only the column sets read, or a column a set
// claimed; and the component (0..59) of each composition column.
struct HeaderMap {
    std::vector<int> columns;
    std::vector<int> componentOf; // -1: not a composition column
    int nameIndex = -1;
};

HeaderMap readHeader(const CsvRecord& header, std::string_view inputName,
                     const std::vector<std::unique_ptr<ColumnSet>>& sets) {
    const std::string where = lineOf(inputName, header.line);
    if (!header.problem.empty())
        throw BatchError(where + "header: " + std::string(header.problem));
    HeaderMap map;
    std::vector<std::string> seen(components::kCount);
    for (std::size_t i = 0; i < header.fields.size(); ++i) {
        const std::string_view label = trimBlanks(header.fields[i]);
        if (equalsIgnoringCase(label, "name")) {
            if (map.nameIndex >= 0)
                throw BatchError(where + "column name appears twice");
            map.nameIndex = int(i);
            map.columns.push_back(kNameColumn);
            map.componentOf.push_back(-1);
            continue;
        }
        if (label.empty())
            throw BatchError(where + "column " + std::to_string(i + 1) +
                             " has no name in the header");
        const auto component = components::find(label);
        if (!component) {
            bool claimed = false;
            for (const auto& set : sets)
                if (set->claim(i, label)) {
                    claimed = true;
                    break;
                }
            if (!claimed) {
                std::string message =
                    where + "unknown column " + tarvelo::quoted(label) +
                    " (expected name or a component: " + componentLabelList(", ") + ")";
                if (const std::string hint = components::suggestion(label); !hint.empty())
                    message += "; " + hint;
                throw BatchError(message);
            }
            map.columns.push_back(kClaimedColumn);
            map.componentOf.push_back(-1);
            continue;
        }
        const int kernel = components::kTable[*component].kernel;
        std::string& first = seen[*component];
        if (!first.empty()) {
            if (sets.empty() && kernel >= 0)
                throw BatchError(where + "column " +
                                 std::string(kComponentLabels[std::size_t(kernel)]) +
                                 " appears twice");
            throw BatchError(where + "column " + tarvelo::quoted(label) + " names " +
                             std::string(components::kTable[*component].name) + " as column " +
                             tarvelo::quoted(first) + " does");
        }
        first = std::string(label);
        if (kernel < 0 && sets.empty())
            throw BatchError(where + "column " + tarvelo::quoted(label) + ": " +
                             std::string(components::kTable[*component].name) +
                             " is not one of the kernel's components (the --iso6976 columns take "
                             "it)");
        map.columns.push_back(kernel >= 0 ? kernel : kIsoOnlyColumn);
        map.componentOf.push_back(sets.empty() ? -1 : int(*component));
    }
    for (const auto& set : sets)
        if (std::string problem = set->headerProblem(); !problem.empty())
            throw BatchError(where + problem);
    return map;
}

// Writes the values of one column set, each preceded by `delimiter`, empty
// when the set refused the row or left the value NaN.
char* writeSetValues(char* p, const ColumnSet& set, const double* values, bool computed,
                     char delimiter, char mark, bool quote) {
    const std::size_t count = set.names().size();
    const int digits = set.digits();
    for (std::size_t i = 0; i < count; ++i) {
        *p++ = delimiter;
        if (!computed || std::isnan(values[i]))
            continue;
        if (quote)
            *p++ = '"';
        if (digits > 0) {
            p = writeGeneral(p, values[i], digits, mark);
        } else {
            char* const start = p;
            p = std::to_chars(p, p + kMaxNumberText, values[i]).ptr;
            for (char* q = start; q < p; ++q)
                if (*q == '.')
                    *q = mark;
        }
        if (quote)
            *p++ = '"';
    }
    return p;
}

std::string columnName(const CsvRecord& header, std::size_t index, int column) {
    if (column == kIsoOnlyColumn || column == kClaimedColumn)
        return std::string(trimBlanks(header.fields[index]));
    return column == kNameColumn ? std::string("name")
                                 : std::string(kComponentLabels[std::size_t(column)]);
}

// A failed row's message, its line counted from the start of its chunk.
struct RowNote {
    std::size_t row;
    std::size_t line;
    std::string text;
};

// A computed row whose report is written when its chunk is written.
struct ReportRow {
    std::size_t row;
    std::size_t line;
    std::size_t reasonStart; // where the row's reason field starts in the chunk's text
    std::string_view name;
    Composition percent;
    std::string setReason; // the column sets' reason written, if any
};

} // namespace

// The layout of the input, fixed by its header.
struct BatchRun::Layout {
    std::vector<int> columns;
    std::vector<int> componentOf;     // with column sets: the component of each column, or -1
    std::vector<std::size_t> present; // those components, ascending
    CsvRecord header;                 // its labels, for messages naming ISO-only columns
    std::vector<std::string> headerText;
    int nameIndex = -1;
    char delimiter = ',';
    char mark = '.';
    bool quoteNumbers = false; // a decimal comma in comma-separated output needs quotes
    bool writeReports = false;
    // Rows are first tried with processPlainRow: not with column sets, whose
    // amounts are read from the field texts, nor when the decimal mark is the
    // delimiter, where a number with decimals is always quoted.
    bool plainRows = false;
    // The bytes that end a name or make it need quotes: the delimiter, CR,
    // LF and the quote.
    bool nameStops[256] = {};
    // Without a name column the row number comes first, which only the
    // writer knows: the chunk's text then holds each row from its first
    // delimiter on, and rowEnds says where each row ends.
    bool numbered() const noexcept { return nameIndex < 0; }
    // The writer goes through the rows one by one (else it copies the text).
    bool perRow() const noexcept { return numbered() || writeReports; }
};

// A block of whole input records and what its rows yield.
struct BatchRun::Chunk {
    std::vector<char> input;
    std::size_t begin = 0; // first byte of the rows (after the header in the first chunk)
    OutputBuffer text{OutputBuffer::InMemory{}};
    std::vector<std::size_t> rowEnds;
    std::vector<RowNote> notes;
    std::vector<ReportRow> reports;
    Amounts amounts{};             // the column sets' amounts of the row being read
    std::vector<double> setValues; // the column sets' values of that row
    std::vector<char> setComputed; // and whether each set computed it
    std::size_t rows = 0, lines = 0, failed = 0, flagged = 0, kernelSkipped = 0;
    std::exception_ptr error;
    bool done = false;

    void reset() {
        begin = 0;
        text.clear();
        rowEnds.clear();
        notes.clear();
        reports.clear();
        rows = lines = failed = flagged = kernelSkipped = 0;
        error = nullptr;
        done = false;
    }
};

unsigned availableCores() noexcept {
#if defined(__linux__)
    cpu_set_t set;
    if (::sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0)
        return unsigned(CPU_COUNT(&set));
#endif
    const unsigned cores = std::thread::hardware_concurrency();
    return cores > 0 ? cores : 1;
}

BatchRun::BatchRun(const BatchRequest& request, Calculator& calculator, std::ostream& messages)
    : request_(request), calculator_(calculator), messages_(messages) {
    for (const ColumnSetMaker& make : request_.columnSets) {
        sets_.push_back(make());
        setColumns_ += sets_.back()->names().size();
    }
    // Each value takes at most a number's room, quotes and a delimiter.
    setText_ = setColumns_ * (kMaxNumberText + 3);
}

BatchRun::~BatchRun() = default;

// What the reading of one row yields, for writeRow.
struct BatchRun::ParsedRow {
    Composition percent{};
    std::string_view name;  // empty without a name column
    bool plainName = false; // the name needs no quotes (else writeRow looks)
    std::string reason;     // why the row failed; empty when it did not
    std::string setReason;  // why column sets refused the row; empty when none did
    std::string kernelSkip; // a component the kernel lacks, present in the row
};

Results BatchRun::calculate(const Composition& percent) {
    if (stateless_)
        return stateless_(percent);
    const std::lock_guard<std::mutex> lock(kernel_);
    return calculator_.calculate(percent);
}

// Everything of one row: parse, calculate, format. It depends on the row
// alone, so that any thread may do it.
void BatchRun::processRow(const CsvRecord& record, std::size_t row, Chunk& chunk,
                          const Layout& layout) {
    const auto& columns = layout.columns;
    const auto& header = layout.header;
    const auto& fields = record.fields;
    const char mark = layout.mark;
    ParsedRow parsed;
    std::string& reason = parsed.reason;
    Composition& percent = parsed.percent;
    bool failed = false;
    // Zeroing the amounts cost 65 instructions a row, also without column
    // sets (callgrind), so they are kept in the chunk and zeroed only when used.
    Amounts& amounts = chunk.amounts;
    const bool sets = !sets_.empty();
    if (sets)
        for (const std::size_t i : layout.present)
            amounts[i] = 0.0;
    std::string& kernelBlockedBy = parsed.kernelSkip; // a component the kernel lacks

    if (!record.problem.empty()) {
        const std::size_t index = record.problemField;
        const std::string column = index < columns.size()
                                       ? columnName(header, index, columns[index])
                                       : std::to_string(index + 1);
        reason = "column " + column + ": " + std::string(record.problem);
        failed = true;
    } else if (fields.size() != columns.size()) {
        reason = "wrong column count: " + std::to_string(fields.size()) + " fields, header has " +
                 std::to_string(columns.size());
        failed = true;
    } else {
        // Plain pointers and a count that the stores below cannot change: with
        // the vectors and the optional read anew for each field, a row cost
        // 73 more instructions (4190 instead of 4117; callgrind, benchmark input).
        const int* const columnOf = columns.data();
        const std::string_view* const field = fields.data();
        const std::size_t count = columns.size();
        const int* const componentOf = layout.componentOf.data();
        for (std::size_t i = 0; i < count; ++i) {
            const int column = columnOf[i];
            if (column == kNameColumn || column == kClaimedColumn)
                continue;
            // The column sets take the amount as typed, in double precision;
            // the kernel's columns in single precision, read once for both.
            const ParsedAmount amount =
                sets ? parseAmount(field[i], mark) : ParsedAmount{NumberStatus::Empty, 0.0};
            const ParsedNumber number =
                sets ? inSinglePrecision(amount) : parseNumber(field[i], mark);
            if (number.status == NumberStatus::Ok) {
                if (sets) {
                    if (componentOf[i] >= 0)
                        amounts[std::size_t(componentOf[i])] += amount.value;
                    if (column == kIsoOnlyColumn && number.value != 0.0f && kernelBlockedBy.empty())
                        kernelBlockedBy = columnName(header, i, column);
                }
                if (column >= 0)
                    percent[std::size_t(column)] = number.value;
            } else if (number.status != NumberStatus::Empty) {
                reason = "column " + columnName(header, i, column) + ": " +
                         std::string(describe(number.status)) + " " + tarvelo::quoted(fields[i]);
                const char otherMark = mark == ',' ? '.' : ',';
                if (number.status == NumberStatus::NotANumber &&
                    fields[i].find(otherMark) != std::string_view::npos)
                    reason +=
                        mark == ',' ? " (the decimal mark is ',')" : " (the decimal mark is '.')";
                failed = true;
                break;
            }
        }
    }

    // The column sets of a readable row, whatever the kernel makes of it.
    if (sets && !failed)
        computeSets(RowInput{amounts, layout.present, fields, mark}, chunk, parsed.setReason);

    if (!layout.numbered() && std::size_t(layout.nameIndex) < fields.size())
        parsed.name = fields[std::size_t(layout.nameIndex)];
    writeRow(parsed, row, record.line, chunk, layout);
}

// A row whose fields are a name and plain decimals (see readPlainDecimalAt),
// unquoted, as many as the header has, and that ends with LF or CR LF: read
// field by field straight from the text, without first splitting it into
// fields, and computed and written. Returns the bytes of the row, line end
// included, or 0 when the row is not such a row and nothing was written;
// processRow then reads it. The row must start before the last LF of the
// data it lies in: that LF stops every scan.
std::size_t BatchRun::processPlainRow(const char* text, std::size_t row, std::size_t line,
                                      Chunk& chunk, const Layout& layout) {
    const char delimiter = layout.delimiter;
    const char mark = layout.mark;
    const char* p = text;
    if (*p == '\n' || *p == '\r') // a blank line, which is skipped
        return 0;
    ParsedRow parsed;
    const int* const columnOf = layout.columns.data();
    const std::size_t count = layout.columns.size();
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0) {
            if (*p != delimiter)
                return 0;
            ++p;
        }
        const int column = columnOf[i];
        if (column == kNameColumn) {
            const char* const name = p;
            while (!layout.nameStops[static_cast<unsigned char>(*p)])
                ++p;
            if (*p == '"')
                return 0;
            parsed.name = std::string_view(name, std::size_t(p - name));
            parsed.plainName = true;
            continue;
        }
        if (*p == delimiter || *p == '\n' || *p == '\r')
            continue; // an empty field counts as 0
        float value;
        p = readPlainDecimalAt(p, mark, value);
        if (!p)
            return 0;
        parsed.percent[std::size_t(column)] = value;
    }
    if (*p == '\n')
        ++p;
    else if (*p == '\r' && p[1] == '\n')
        p += 2;
    else
        return 0;
    writeRow(parsed, row, line, chunk, layout);
    return std::size_t(p - text);
}

// The rest of a row, read by processRow or processPlainRow: the kernel's
// results, the row's text in the chunk, its message and its report.
void BatchRun::writeRow(ParsedRow& parsed, std::size_t row, std::size_t line, Chunk& chunk,
                        const Layout& layout) {
    const char delimiter = layout.delimiter;
    const char mark = layout.mark;
    const bool quoteNumbers = layout.quoteNumbers;
    OutputBuffer& out = chunk.text;
    const Composition& percent = parsed.percent;
    const std::string& setReason = parsed.setReason;
    std::string& reason = parsed.reason;
    bool failed = !reason.empty();
    // A component the kernel lacks leaves the kernel's columns empty; the row
    // fails only when a column set refused it too.
    const bool kernelSkipped = !failed && !parsed.kernelSkip.empty();
    if (kernelSkipped)
        reason = "kernel: component " + parsed.kernelSkip + " is not one of the kernel's";
    Results results;
    float sum = 0.0f;
    if (!failed && !kernelSkipped) {
        results = calculate(percent);
        sum = compositionSum(percent);
        if (!std::isfinite(results.lambda) || !std::isfinite(results.rho) ||
            !std::isfinite(results.hu) || !std::isfinite(sum)) {
            reason = "result beyond single precision";
            failed = true;
        }
    }

    const std::string_view rowName = parsed.name;
    if (parsed.plainName)
        out.append(rowName);
    else if (!layout.numbered())
        out.appendField(rowName, delimiter);

    if (failed || kernelSkipped) {
        if (failed || !setReason.empty()) {
            ++chunk.failed;
            // The message names what failed the row: its own fault, or else
            // the sets' refusal (the kernel's skip alone is no failure); the
            // field holds both.
            chunk.notes.push_back({row, line, failed ? reason : setReason});
        } else {
            ++chunk.kernelSkipped;
        }
        char* p = out.reserve(std::size(kOutputColumns) + setText_);
        for (std::size_t i = 0; i + 2 < std::size(kOutputColumns); ++i)
            *p++ = delimiter;
        p = writeSets(p, chunk, !failed, delimiter, mark, quoteNumbers);
        *p++ = delimiter; // flag
        *p++ = delimiter; // reason
        out.commit(p);
        if (!setReason.empty())
            reason += "; " + setReason;
        out.appendField(reason, delimiter);
        out.put('\n');
        return;
    }

    const bool flagged = !sumNear100(sum);
    chunk.flagged += flagged;
    // Column sets that were asked for and refused are a failure of the row,
    // named on standard error like any other, though its kernel columns stand.
    if (!setReason.empty()) {
        ++chunk.failed;
        chunk.notes.push_back({row, line, setReason});
    }

    char* p = out.reserve(10 * (kMaxNumberText + 3) + 16 + setText_);
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
    p = writeSets(p, chunk, true, delimiter, mark, quoteNumbers);
    *p++ = delimiter;
    if (flagged) {
        std::memcpy(p, "sum-not-100", 11);
        p += 11;
    }
    *p++ = delimiter;
    out.commit(p);
    if (layout.writeReports)
        chunk.reports.push_back({row, line, out.text().size(), rowName, percent, setReason});
    if (!setReason.empty())
        out.appendField(setReason, delimiter);
    out.put('\n');
}

// The column sets of one readable row: their values in the chunk, and the
// reasons of those that refused it, joined by "; ".
void BatchRun::computeSets(const RowInput& input, Chunk& chunk, std::string& reason) const {
    chunk.setValues.resize(setColumns_);
    chunk.setComputed.resize(sets_.size());
    double* values = chunk.setValues.data();
    for (std::size_t k = 0; k < sets_.size(); ++k) {
        const std::string why = sets_[k]->compute(input, values);
        chunk.setComputed[k] = why.empty();
        if (!why.empty())
            reason += (reason.empty() ? "" : "; ") + why;
        values += sets_[k]->names().size();
    }
}

// Writes the column sets' values of the row just computed, empty where a set
// refused it or, without `computed`, all empty.
char* BatchRun::writeSets(char* p, const Chunk& chunk, bool computed, char delimiter, char mark,
                          bool quote) const {
    const double* values = chunk.setValues.data();
    for (std::size_t k = 0; k < sets_.size(); ++k) {
        const ColumnSet& set = *sets_[k];
        p = writeSetValues(p, set, values, computed && chunk.setComputed[k], delimiter, mark,
                           quote);
        values += set.names().size();
    }
    return p;
}

void BatchRun::processChunk(Chunk& chunk, const Layout& layout) {
    try {
        char* const data = chunk.input.data() + chunk.begin;
        const std::size_t size = chunk.input.size() - chunk.begin;
        CsvReader records(data, size, layout.delimiter);
        // Plain rows are read up to the last LF, which ends each of their scans.
        std::size_t lastLineFeed = size;
        while (lastLineFeed > 0 && data[lastLineFeed - 1] != '\n')
            --lastLineFeed;
        const char* const plainEnd =
            layout.plainRows && lastLineFeed > 0 ? data + lastLineFeed - 1 : data;
        CsvRecord record;
        for (;;) {
            const char* const next = records.unread().data();
            if (next < plainEnd) {
                if (const std::size_t n =
                        processPlainRow(next, chunk.rows, records.nextLine(), chunk, layout)) {
                    records.skipRecord(n);
                    ++chunk.rows;
                    if (layout.perRow())
                        chunk.rowEnds.push_back(chunk.text.text().size());
                    continue;
                }
            }
            if (!records.next(record))
                break;
            processRow(record, chunk.rows++, chunk, layout);
            if (layout.perRow())
                chunk.rowEnds.push_back(chunk.text.text().size());
        }
        chunk.lines = records.nextLine() - 1;
    } catch (...) {
        chunk.error = std::current_exception();
    }
}

// Writes a processed chunk in its place in the output: the rows, the
// messages with their lines in the whole input, the reports. Only this part
// depends on the rows before; it runs on the calling thread, chunk by chunk
// in input order.
void BatchRun::emit(Chunk& chunk, const Layout& layout, std::string_view inputName,
                    std::size_t baseLine, OutputBuffer& out, BatchSummary& summary) {
    const auto note = [&](std::size_t line) -> std::ostream& {
        return messages_ << lineOf(inputName, baseLine + line - 1);
    };
    const std::string_view text = chunk.text.text();
    if (!layout.perRow()) {
        out.append(text);
        for (const RowNote& n : chunk.notes)
            note(n.line) << n.text << '\n';
    } else {
        auto nextNote = chunk.notes.begin();
        auto nextReport = chunk.reports.begin();
        std::size_t start = 0;
        for (std::size_t row = 0; row < chunk.rows; ++row) {
            const std::size_t rowNumber = summary.rows + row + 1;
            char numberText[24];
            const std::string_view number(
                numberText,
                std::size_t(
                    std::to_chars(numberText, numberText + sizeof numberText, rowNumber).ptr -
                    numberText));
            if (layout.numbered())
                out.append(number);
            const std::size_t end = chunk.rowEnds[row];
            if (nextNote != chunk.notes.end() && nextNote->row == row) {
                note(nextNote->line) << nextNote->text << '\n';
                ++nextNote;
            }
            if (nextReport == chunk.reports.end() || nextReport->row != row) {
                out.append(text.substr(start, end - start));
                start = end;
                continue;
            }
            const ReportRow& report = *nextReport++;
            // Without a name column the file is "row-N.htm" and the report names the row number.
            const std::string file = reportNames_.next(report.name, rowNumber);
            const std::string path = request_.reportsDir + "/" + file;
            int error;
            {
                // The report shows the kernel's last calculation: this row's.
                const std::lock_guard<std::mutex> lock(kernel_);
                calculator_.calculate(report.percent);
                error = calculator_.saveReport(layout.numbered() ? number : report.name, path,
                                               request_.language);
            }
            if (error == 0) {
                out.append(text.substr(start, end - start));
            } else {
                ++summary.failed;
                out.append(text.substr(start, report.reasonStart - start));
                std::string reason = "report not written: " + std::string(std::strerror(error));
                if (!report.setReason.empty())
                    reason += "; " + report.setReason;
                out.appendField(reason, layout.delimiter);
                out.put('\n');
                note(report.line) << "report " << tarvelo::quoted(path)
                                  << " not written: " << std::strerror(error) << '\n';
            }
            start = end;
        }
    }
    summary.rows += chunk.rows;
    summary.failed += chunk.failed;
    summary.flagged += chunk.flagged;
    summary.kernelSkipped += chunk.kernelSkipped;
}

// The layout of the input from its header, in the first block.
BatchRun::Layout BatchRun::readLayout(Chunk& first, std::string_view inputName,
                                      std::size_t& baseLine) const {
    Layout layout;
    CsvReader headerReader(first.input.data(), first.input.size(), request_.delimiter);
    CsvRecord header;
    if (!headerReader.next(header))
        throw BatchError(std::string(inputName) + ": no header row (the input is empty)");
    HeaderMap map = readHeader(header, inputName, sets_);
    layout.columns = std::move(map.columns);
    layout.componentOf = std::move(map.componentOf);
    for (const int component : layout.componentOf)
        if (component >= 0)
            layout.present.push_back(std::size_t(component));
    std::sort(layout.present.begin(), layout.present.end());
    layout.nameIndex = map.nameIndex;
    // The labels outlive the block they were read from.
    layout.headerText.assign(header.fields.begin(), header.fields.end());
    for (const std::string& label : layout.headerText)
        layout.header.fields.push_back(label);
    first.begin = headerReader.consumed();
    baseLine = headerReader.nextLine();

    layout.delimiter = request_.delimiter;
    layout.mark = request_.decimalMark;
    layout.quoteNumbers = layout.mark == layout.delimiter;
    layout.writeReports = !request_.reportsDir.empty();
    layout.plainRows = sets_.empty() && layout.mark != layout.delimiter;
    for (const char stop : {layout.delimiter, '\n', '\r', '"'})
        layout.nameStops[static_cast<unsigned char>(stop)] = true;
    return layout;
}

// The output's header line: the name or row column, the kernel's columns
// and the column sets' before flag.
void BatchRun::writeHeader(const Layout& layout, OutputBuffer& out) const {
    if (request_.bom)
        out.append("\xEF\xBB\xBF");
    out.append(layout.numbered() ? "row" : "name");
    for (const std::string_view column : kOutputColumns) {
        if (column == "flag")
            for (const auto& set : sets_)
                for (const std::string_view setColumn : set->names()) {
                    out.put(layout.delimiter);
                    out.append(setColumn);
                }
        out.put(layout.delimiter);
        out.append(column);
    }
    out.put('\n');
}

// The worker threads of a run: they take chunks from the queue and mark
// them done, while the calling thread reads, hands out and writes. With one
// job there are none, and the calling thread processes each chunk as it
// hands it out. The destructor stops and joins the workers.
class BatchRun::Workers {
public:
    Workers(BatchRun& run, const Layout& layout, unsigned jobs, std::ostream& messages)
        : run_(run), layout_(layout), jobs_(jobs) {
        if (jobs_ <= 1)
            return;
        // A system that refuses more threads (ulimit -u) leaves the run with
        // those it has, or with this thread alone; it says so.
        try {
            while (threads_.size() < jobs_)
                threads_.emplace_back([this] { work(); });
        } catch (const std::system_error& e) {
            messages << "tarvelo batch: note: " << threads_.size() << " of " << jobs_
                     << " threads could be started (" << e.code().message() << "); going on with "
                     << std::max<std::size_t>(threads_.size(), 1) << '\n';
            jobs_ = threads_.empty() ? 1 : unsigned(threads_.size());
        }
    }
    ~Workers() {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            stopping_ = true;
        }
        workAvailable_.notify_all();
        for (std::thread& thread : threads_)
            thread.join();
    }
    Workers(const Workers&) = delete;
    Workers& operator=(const Workers&) = delete;

    // Two chunks per thread keep every thread busy while the calling thread
    // writes; kMaxChunksInFlight bounds the memory whatever the number of threads.
    std::size_t maxInFlight() const noexcept {
        return jobs_ > 1 ? std::min(2 * std::size_t(jobs_), kMaxChunksInFlight) : 1;
    }

    void dispatch(Chunk& chunk) {
        if (jobs_ == 1) {
            run_.processChunk(chunk, layout_);
            chunk.done = true;
            return;
        }
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            queue_.push_back(&chunk);
        }
        workAvailable_.notify_one();
    }

    void waitFor(Chunk& chunk) {
        if (jobs_ == 1)
            return;
        std::unique_lock<std::mutex> lock(mutex_);
        chunkDone_.wait(lock, [&] { return chunk.done; });
    }

private:
    void work() {
        for (;;) {
            Chunk* chunk;
            {
                std::unique_lock<std::mutex> lock(mutex_);
                workAvailable_.wait(lock, [&] { return stopping_ || !queue_.empty(); });
                if (stopping_)
                    return;
                chunk = queue_.front();
                queue_.pop_front();
            }
            run_.processChunk(*chunk, layout_);
            {
                const std::lock_guard<std::mutex> lock(mutex_);
                chunk->done = true;
            }
            chunkDone_.notify_all();
        }
    }

    BatchRun& run_;
    const Layout& layout_;
    unsigned jobs_;
    std::mutex mutex_;
    std::condition_variable workAvailable_, chunkDone_;
    std::deque<Chunk*> queue_;
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};

BatchSummary BatchRun::process(int inputFd, std::string_view inputName, OutputBuffer& out) {
    CsvBlockReader blocks(inputFd, request_.delimiter);
    std::size_t baseLine = 1; // the line on which the next chunk starts
    auto tooLong = [&](const CsvRecordTooLong& e) {
        return CsvReadError("line " + std::to_string(baseLine + e.blankLinesBefore()) + ": " +
                            e.what());
    };
    auto first = std::make_unique<Chunk>();
    bool more;
    try {
        more = blocks.next(first->input, chunkBytes);
    } catch (const CsvRecordTooLong& e) {
        throw tooLong(e);
    }
    if (!more)
        throw BatchError(std::string(inputName) + ": no header row (the input is empty)");
    const Layout layout = readLayout(*first, inputName, baseLine);
    writeHeader(layout, out);
    stateless_ = calculator_.stateless();

    // At most maxInFlight chunks exist at a time, whatever the size of the
    // input; the chunks outlive the workers, which are destroyed first.
    std::deque<std::unique_ptr<Chunk>> inFlight;
    std::vector<std::unique_ptr<Chunk>> spare;
    Workers workers(*this, layout, request_.jobs > 0 ? request_.jobs : availableCores(), messages_);
    const auto dispatch = [&](std::unique_ptr<Chunk> chunk) {
        inFlight.push_back(std::move(chunk));
        workers.dispatch(*inFlight.back());
    };
    dispatch(std::move(first));

    // A read error is raised once the chunks before it are written.
    std::exception_ptr readError;
    BatchSummary summary;
    std::size_t nextProgress = kProgressEvery;
    for (;;) {
        while (more && !readError && inFlight.size() < workers.maxInFlight()) {
            std::unique_ptr<Chunk> chunk;
            if (spare.empty()) {
                chunk = std::make_unique<Chunk>();
            } else {
                chunk = std::move(spare.back());
                spare.pop_back();
                chunk->reset();
            }
            try {
                more = blocks.next(chunk->input, chunkBytes);
            } catch (...) {
                readError = std::current_exception();
                break;
            }
            if (more)
                dispatch(std::move(chunk));
        }
        if (inFlight.empty())
            break;
        Chunk& chunk = *inFlight.front();
        workers.waitFor(chunk);
        if (chunk.error)
            std::rethrow_exception(chunk.error);
        emit(chunk, layout, inputName, baseLine, out, summary);
        baseLine += chunk.lines;
        if (progress)
            for (; nextProgress <= summary.rows; nextProgress += kProgressEvery)
                progress(nextProgress, false);
        spare.push_back(std::move(inFlight.front()));
        inFlight.pop_front();
    }
    if (readError) {
        try {
            std::rethrow_exception(readError);
        } catch (const CsvRecordTooLong& e) {
            throw tooLong(e);
        }
    }
    if (progress)
        progress(summary.rows, true);
    return summary;
}

namespace {

class ProgressLine {
public:
    explicit ProgressLine(ProgressAwareBuffer& out)
        : out_(out), start_(std::chrono::steady_clock::now()), last_(start_) {}
    void operator()(std::size_t rows, bool finished) {
        const auto now = std::chrono::steady_clock::now();
        if (!finished && now - last_ < std::chrono::milliseconds(500))
            return;
        last_ = now;
        const double seconds = std::chrono::duration<double>(now - start_).count();
        const double rate = seconds > 0 ? double(rows) / seconds : 0.0;
        char line[96];
        const int n =
            std::snprintf(line, sizeof line, "tarvelo batch: %zu rows, %.0f rows/s", rows, rate);
        out_.progress(std::string_view(line, std::size_t(std::max(n, 0))), finished);
    }

private:
    ProgressAwareBuffer& out_;
    std::chrono::steady_clock::time_point start_, last_;
};

} // namespace

void ProgressAwareBuffer::progress(std::string_view line, bool finished) {
    target_.sputc('\r');
    target_.sputn(line.data(), std::streamsize(line.size()));
    if (finished)
        target_.sputc('\n');
    shown_ = !finished;
    target_.pubsync();
}

ProgressAwareBuffer::int_type ProgressAwareBuffer::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof()))
        return traits_type::not_eof(c);
    clearProgress();
    return target_.sputc(traits_type::to_char_type(c));
}

std::streamsize ProgressAwareBuffer::xsputn(const char* text, std::streamsize n) {
    clearProgress();
    return target_.sputn(text, n);
}

void ProgressAwareBuffer::clearProgress() {
    if (shown_)
        target_.sputn("\r\033[K", 4);
    shown_ = false;
}

int runBatch(const BatchRequest& request, Calculator& calculator, std::ostream& err) {
    const std::string prefix = "tarvelo batch: ";
    const bool terminal = ::isatty(STDERR_FILENO) == 1;
    ProgressAwareBuffer stderrBuffer(*err.rdbuf());
    std::ostream terminalMessages(&stderrBuffer);
    terminalMessages.flags(err.flags());
    std::ostream& messages = terminal ? terminalMessages : err;
    const unsigned cores = availableCores();
    if (request.jobs > cores)
        messages << prefix << "note: --jobs " << request.jobs << " is more than the " << cores
                 << (cores == 1 ? " core" : " cores")
                 << " this process may use: the threads take turns\n";
    const bool fromStdin = request.input == "-";
    const std::string inputName = fromStdin ? "stdin" : request.input;
    int inputFd = 0;
    if (!fromStdin) {
        inputFd = open_for_reading(request.input);
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
        std::filesystem::create_directories(utf8Path(request.reportsDir), error);
        if (error || !std::filesystem::is_directory(utf8Path(request.reportsDir), error)) {
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
    ProgressLine progressLine(stderrBuffer);
    if (terminal)
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
    } catch (const std::bad_alloc&) {
        messages << prefix << "out of memory: the system or a limit (ulimit -v) refused more\n";
        return kExitError;
    }
    if (!toStdout) {
        if (const int error = file.commit(); error != 0) {
            messages << prefix << "cannot write '" << request.output
                     << "': " << std::strerror(error) << '\n';
            return kExitError;
        }
    }
    if (summary.kernelSkipped > 0)
        messages << prefix << summary.kernelSkipped << " of " << summary.rows
                 << " rows hold a component the kernel does not know: their kernel columns are "
                    "empty, their other columns computed\n";
    if (summary.failed > 0) {
        messages << prefix << summary.failed << " of " << summary.rows << " rows failed\n";
        return kExitRowsFailed;
    }
    return kExitOk;
}

} // namespace tarvelo::batch
