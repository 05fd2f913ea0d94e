// A fast reader of delimited text (RFC 4180): records from a file
// descriptor, read in large blocks, fields handed out as views into the
// reader's buffer.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tarvelo::batch {

// Reading the input failed (an I/O error, or a record too long to be sane).
class CsvReadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct CsvRecord {
    // The fields, unquoted ("" inside quotes becomes "). Valid until the
    // next call of CsvReader::next.
    std::vector<std::string_view> fields;
    std::size_t line = 0; // line number where the record starts, from 1
    // Set when a field was malformed: text after a closing quote, or a
    // quote that never closes before the end of the input.
    std::string_view problem;
    std::size_t problemField = 0; // index of the malformed field
};

class CsvReader {
public:
    // Reads from `fd` (not closed by the reader). Fields are separated by
    // `delimiter`; records end with LF, CR LF or CR outside quotes. A UTF-8
    // byte order mark at the start is skipped.
    CsvReader(int fd, char delimiter, std::size_t blockSize = 1 << 20);

    // Reads the records in data[0, size), which ends the input (a block of
    // CsvBlockReader). Doubled quotes are undoubled in place; no byte order
    // mark is looked for. Record lines count from 1 at `data`.
    CsvReader(char* data, std::size_t size, char delimiter);

    // Reads the next record into `record`; false at the end of the input.
    // Blank lines are skipped. Throws CsvReadError when reading fails.
    bool next(CsvRecord& record);

    // Bytes read so far.
    std::size_t bytesRead() const noexcept { return bytesRead_; }
    // Bytes handed out as records so far (blank lines included).
    std::size_t consumed() const noexcept { return bytesRead_ - (end_ - begin_); }
    // The line on which the next record would start.
    std::size_t nextLine() const noexcept { return line_; }

    // For a caller that reads simple records itself: the input not yet
    // handed out, from the start of the next record (or blank line), and
    // then skipRecord(n) past the n bytes of one record that took one line,
    // its line end included. Only for a reader over memory.
    std::string_view unread() const noexcept { return {data_ + begin_, end_ - begin_}; }
    void skipRecord(std::size_t bytes) noexcept {
        begin_ += bytes;
        ++line_;
    }

private:
    // Reads more input behind the unparsed part; false at the end of input.
    bool fill();
    // Parses one record starting at begin_; false when it runs past the data
    // read so far and more may follow.
    bool parse(CsvRecord& record, std::size_t& consumed);

    int fd_; // -1: reading a block in memory
    char delimiter_;
    std::vector<char> buffer_;
    char* data_;            // buffer_.data(), or the block in memory
    std::size_t begin_ = 0; // first byte not yet parsed
    std::size_t end_ = 0;   // end of the data read
    std::size_t line_ = 1;
    std::size_t bytesRead_ = 0;
    bool eof_ = false;
    bool atStart_ = true;
    std::vector<std::size_t> unescape_; // fields holding "" to undouble
    bool stops_[256] = {};              // the bytes that end an unquoted field
    void setStops() noexcept;
};

// The record being read is longer than a sane record can be.
class CsvRecordTooLong : public CsvReadError {
public:
    // `lineEnds`: blank lines between the last whole record and the long one.
    explicit CsvRecordTooLong(std::size_t lineEnds)
        : CsvReadError("record longer than 64 MiB (a quote that never closes?)"),
          lineEnds_(lineEnds) {}
    std::size_t blankLinesBefore() const noexcept { return lineEnds_; }

private:
    std::size_t lineEnds_;
};

// Reads delimited text from a file descriptor in blocks of whole records, so
// that each block can be parsed on its own, on any thread, by a CsvReader
// over memory. Where records end is decided with the reader's own rules for
// quotes; the fields are not looked at otherwise.
class CsvBlockReader {
public:
    CsvBlockReader(int fd, char delimiter) : fd_(fd), delimiter_(delimiter) {}

    // Fills `block` with the next records: whole records of about
    // `blockSize` bytes (more when a record is longer), or the rest of the
    // input. A UTF-8 byte order mark at the start is dropped. False at the
    // end of the input. Throws CsvReadError when reading fails, and
    // CsvRecordTooLong when no record ends within 64 MiB.
    // The blocks are UTF-8: an input without a byte order mark whose first
    // block is not valid UTF-8 is read as Windows-1252 and converted.
    bool next(std::vector<char>& block, std::size_t blockSize);

    // True when the input is read as Windows-1252 (known after the first block).
    bool windows1252() const noexcept { return windows1252_; }

private:
    bool cut(std::vector<char>& block, std::size_t blockSize);
    bool decided_ = false;
    bool bom_ = false;
    bool windows1252_ = false;
    int fd_;
    char delimiter_;
    std::vector<char> carry_; // the start of a record not yet complete
    bool eof_ = false;
    bool atStart_ = true;
};

// The end of the last record that ends within data[0, size), which starts a
// record; 0 when none does. A CR at the very end does not count (an LF may
// follow), nor does a closing quote there (a second one may follow).
std::size_t lastRecordEnd(const char* data, std::size_t size, char delimiter) noexcept;

} // namespace tarvelo::batch
