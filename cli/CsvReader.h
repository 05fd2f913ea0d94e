// A fast reader of delimited text (RFC 4180): records from a file
// descriptor, read in large blocks, fields handed out as views into the
// reader's buffer.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tarvelo::cli {

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

    // Reads the next record into `record`; false at the end of the input.
    // Blank lines are skipped. Throws CsvReadError when reading fails.
    bool next(CsvRecord& record);

    // Bytes read so far.
    std::size_t bytesRead() const noexcept { return bytesRead_; }

private:
    // Reads more input behind the unparsed part; false at the end of input.
    bool fill();
    // Parses one record starting at begin_; false when it runs past the data
    // read so far and more may follow.
    bool parse(CsvRecord& record, std::size_t& consumed);

    int fd_;
    char delimiter_;
    std::vector<char> buffer_;
    std::size_t begin_ = 0; // first byte not yet parsed
    std::size_t end_ = 0;   // end of the data read
    std::size_t line_ = 1;
    std::size_t bytesRead_ = 0;
    bool eof_ = false;
    bool atStart_ = true;
    std::vector<std::size_t> unescape_; // fields holding "" to undouble
};

} // namespace tarvelo::cli
