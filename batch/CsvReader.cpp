#include "CsvReader.h"

#include "DescriptorIo.h"
#include "Windows1252.h"

#include <bit>
#include <cerrno>
#include <cstdint>
#include <cstring>

namespace tarvelo::batch {

namespace {
// A longer record is taken for a quote that never closes.
constexpr std::size_t kMaxRecordBytes = std::size_t(64) << 20;

// The end of an unquoted field starting at i: the first delimiter, CR or LF,
// or `end`. Eight bytes are tested at a time: a byte equal to c turns to zero
// in word ^ c, and (v - 0x01..01) & ~v & 0x80..80 marks the lowest zero byte
// of v exactly (bytes above it may be marked wrongly, which does no harm).
// Most fields of a batch are a byte or two ("0", "12"), so the first two bytes
// are first tested one by one in `stops`, the table of the bytes that end a
// field: that costs fewer instructions than a word (on the benchmark input
// 4673 -> 4399 instructions per row together with the line end
// kept in a local, callgrind).
std::size_t unquotedFieldEnd(const char* data, std::size_t i, std::size_t end, char delimiter,
                             const bool* stops) noexcept {
    if (i + 2 <= end) {
        if (stops[static_cast<unsigned char>(data[i])])
            return i;
        if (stops[static_cast<unsigned char>(data[i + 1])])
            return i + 1;
        i += 2;
    }
    if constexpr (std::endian::native == std::endian::little) {
        constexpr std::uint64_t ones = 0x0101010101010101u;
        constexpr std::uint64_t highs = 0x8080808080808080u;
        const std::uint64_t delimiters = ones * static_cast<unsigned char>(delimiter);
        constexpr std::uint64_t lineFeeds = ones * '\n';
        constexpr std::uint64_t returns = ones * '\r';
        const auto zeroBytes = [](std::uint64_t v) { return (v - ones) & ~v & highs; };
        for (; i + 8 <= end; i += 8) {
            std::uint64_t word;
            std::memcpy(&word, data + i, sizeof word);
            const std::uint64_t found = zeroBytes(word ^ delimiters) | zeroBytes(word ^ lineFeeds) |
                                        zeroBytes(word ^ returns);
            if (found)
                return i + unsigned(std::countr_zero(found)) / 8;
        }
    }
    while (i < end && data[i] != delimiter && data[i] != '\n' && data[i] != '\r')
        ++i;
    return i;
}
} // namespace

CsvReader::CsvReader(int fd, char delimiter, std::size_t blockSize)
    : fd_(fd), delimiter_(delimiter), buffer_(blockSize < 16 ? 16 : blockSize),
      data_(buffer_.data()) {
    setStops();
}

CsvReader::CsvReader(char* data, std::size_t size, char delimiter)
    : fd_(-1), delimiter_(delimiter), data_(data), end_(size), bytesRead_(size), eof_(true),
      atStart_(false) {
    setStops();
}

void CsvReader::setStops() noexcept {
    stops_[static_cast<unsigned char>(delimiter_)] = true;
    stops_[static_cast<unsigned char>('\n')] = true;
    stops_[static_cast<unsigned char>('\r')] = true;
}

bool CsvReader::fill() {
    if (eof_ || fd_ < 0)
        return false;
    if (begin_ > 0) {
        std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
        end_ -= begin_;
        begin_ = 0;
    }
    if (end_ == buffer_.size()) {
        if (buffer_.size() >= kMaxRecordBytes)
            throw CsvReadError("line " + std::to_string(line_) +
                               ": record longer than 64 MiB (a quote that never closes?)");
        buffer_.resize(buffer_.size() * 2);
        data_ = buffer_.data();
    }
    for (;;) {
        const long long n = read_some(fd_, buffer_.data() + end_, buffer_.size() - end_);
        if (n > 0) {
            end_ += std::size_t(n);
            bytesRead_ += std::size_t(n);
            return true;
        }
        if (n == 0) {
            eof_ = true;
            return false;
        }
        if (errno != EINTR)
            throw CsvReadError(std::strerror(errno));
    }
}

bool CsvReader::parse(CsvRecord& record, std::size_t& consumed) {
    record.fields.clear();
    record.problem = {};
    record.problemField = 0;
    unescape_.clear();
    const char* const data = data_;
    const char delimiter = delimiter_;
    // Copies the compiler need not reload after each store into `record`.
    const std::size_t end = end_;
    const bool eof = eof_;
    std::size_t i = begin_;
    std::size_t newlines = 0;
    for (;;) {
        // One field starts at i.
        if (i < end && data[i] == '"') {
            const std::size_t start = i + 1;
            std::size_t j = start;
            bool doubled = false;
            for (;;) {
                const void* quote = std::memchr(data + j, '"', end - j);
                if (!quote) {
                    if (!eof)
                        return false;
                    for (std::size_t k = start; k < end; ++k)
                        newlines += data[k] == '\n';
                    record.fields.emplace_back(data + start, end - start);
                    record.problem = "quote not closed";
                    record.problemField = record.fields.size() - 1;
                    i = end;
                    break;
                }
                j = std::size_t(static_cast<const char*>(quote) - data);
                if (j + 1 < end && data[j + 1] == '"') {
                    doubled = true;
                    j += 2;
                    continue;
                }
                if (j + 1 == end && !eof)
                    return false; // the next block may start with the second quote
                for (std::size_t k = start; k < j; ++k)
                    newlines += data[k] == '\n';
                if (doubled)
                    unescape_.push_back(record.fields.size());
                record.fields.emplace_back(data + start, j - start);
                i = j + 1;
                break;
            }
            // After the closing quote only a delimiter or the end of the record may follow.
            if (i < end && data[i] != delimiter && data[i] != '\n' && data[i] != '\r') {
                if (record.problem.empty()) {
                    record.problem = "text after a closing quote";
                    record.problemField = record.fields.size() - 1;
                }
                while (i < end && data[i] != delimiter && data[i] != '\n' && data[i] != '\r')
                    ++i;
            }
        } else {
            const std::size_t start = i;
            i = unquotedFieldEnd(data, i, end, delimiter, stops_);
            record.fields.emplace_back(data + start, i - start);
        }
        if (i == end) {
            if (!eof)
                return false;
            break; // the last record lacks a line end
        }
        if (data[i] == delimiter) {
            ++i;
            continue;
        }
        // A line end: CR LF, LF or CR.
        if (data[i] == '\r') {
            if (i + 1 == end && !eof)
                return false;
            if (i + 1 < end && data[i + 1] == '\n')
                ++i;
        }
        ++i;
        ++newlines;
        break;
    }
    record.line = line_;
    line_ += newlines;
    consumed = i - begin_;
    // Undouble the quotes in place: the text only gets shorter.
    for (const std::size_t index : unescape_) {
        std::string_view field = record.fields[index];
        char* out = const_cast<char*>(field.data());
        const char* in = field.data();
        const char* fieldEnd = in + field.size();
        char* write = out;
        while (in < fieldEnd) {
            *write++ = *in;
            in += (*in == '"') ? 2 : 1;
        }
        record.fields[index] = std::string_view(out, std::size_t(write - out));
    }
    return true;
}

bool CsvReader::next(CsvRecord& record) {
    for (;;) {
        if (begin_ == end_ && !fill())
            return false;
        if (atStart_) {
            // Skip a UTF-8 byte order mark, once enough bytes are there to tell.
            while (end_ - begin_ < 3 && fill()) {
            }
            if (end_ - begin_ >= 3 && std::memcmp(data_ + begin_, "\xEF\xBB\xBF", 3) == 0)
                begin_ += 3;
            atStart_ = false;
            continue;
        }
        std::size_t consumed = 0;
        while (!parse(record, consumed))
            if (!fill())
                eof_ = true; // parse again, now knowing nothing follows
        begin_ += consumed;
        const bool blank = record.fields.size() == 1 && record.fields[0].empty() &&
                           record.problem.empty() && consumed > 0 &&
                           data_[begin_ - consumed] != '"';
        if (blank)
            continue;
        return true;
    }
}

} // namespace tarvelo::batch

namespace tarvelo::batch {

namespace {

// The end of the last line end in data[from, to); 0 when there is none.
std::size_t lastLineEnd(const char* data, std::size_t from, std::size_t to,
                        std::size_t size) noexcept {
    for (std::size_t i = to; i > from; --i) {
        const char c = data[i - 1];
        // A CR followed by LF is found as the LF; at the end of the data the
        // LF may be still to come.
        if (c == '\n' || (c == '\r' && i < size))
            return i;
    }
    return 0;
}

} // namespace

std::size_t lastRecordEnd(const char* data, std::size_t size, char delimiter) noexcept {
    // Only a quote at the start of a field opens a quoted field; elsewhere
    // (inside an unquoted field, or after a closing quote) it is text. The
    // stretches between quoted fields end records at every line end.
    std::size_t last = 0;
    std::size_t pos = 0;
    for (;;) {
        std::size_t open = pos;
        for (;;) {
            const void* quote = std::memchr(data + open, '"', size - open);
            if (!quote) {
                open = size;
                break;
            }
            open = std::size_t(static_cast<const char*>(quote) - data);
            const char before = open > 0 ? data[open - 1] : '\n';
            if (before == delimiter || before == '\n' || before == '\r')
                break;
            ++open;
        }
        if (const std::size_t end = lastLineEnd(data, pos, open, size); end > 0)
            last = end;
        if (open == size)
            return last;
        std::size_t close = open + 1;
        for (;;) {
            const void* quote = std::memchr(data + close, '"', size - close);
            if (!quote || std::size_t(static_cast<const char*>(quote) - data) + 1 == size)
                return last; // inside quotes at the end of the data
            close = std::size_t(static_cast<const char*>(quote) - data);
            if (data[close + 1] != '"')
                break;
            close += 2;
        }
        pos = close + 1;
    }
}

bool CsvBlockReader::next(std::vector<char>& block, std::size_t blockSize) {
    if (!cut(block, blockSize))
        return false;
    if (!decided_) {
        decided_ = true;
        windows1252_ = !bom_ && !isValidUtf8(std::string_view(block.data(), block.size()));
    }
    if (windows1252_) {
        std::string utf8;
        appendWindows1252AsUtf8(std::string_view(block.data(), block.size()), utf8);
        block.assign(utf8.begin(), utf8.end());
    }
    return true;
}

bool CsvBlockReader::cut(std::vector<char>& block, std::size_t blockSize) {
    if (blockSize < 16)
        blockSize = 16;
    block.resize(std::max(blockSize, carry_.size() * 2));
    std::size_t size = carry_.size();
    if (size > 0)
        std::memcpy(block.data(), carry_.data(), size);
    carry_.clear();
    for (;;) {
        while (!eof_ && size < block.size()) {
            const long long n = read_some(fd_, block.data() + size, block.size() - size);
            if (n > 0)
                size += std::size_t(n);
            else if (n == 0)
                eof_ = true;
            else if (errno != EINTR)
                throw CsvReadError(std::strerror(errno));
        }
        std::size_t start = 0;
        if (atStart_ && (size >= 3 || eof_)) {
            atStart_ = false;
            if (size >= 3 && std::memcmp(block.data(), "\xEF\xBB\xBF", 3) == 0) {
                start = 3;
                bom_ = true;
            }
        }
        if (start > 0) {
            std::memmove(block.data(), block.data() + start, size - start);
            size -= start;
        }
        if (eof_) {
            block.resize(size);
            return size > 0;
        }
        const std::size_t end = lastRecordEnd(block.data(), size, delimiter_);
        if (end > 0) {
            carry_.assign(block.begin() + std::ptrdiff_t(end),
                          block.begin() + std::ptrdiff_t(size));
            block.resize(end);
            return true;
        }
        // No record ends within the block: read on into a larger one.
        if (block.size() >= kMaxRecordBytes) {
            std::size_t lineEnds = 0;
            for (std::size_t i = 0; i < size && (block[i] == '\n' || block[i] == '\r'); ++i)
                lineEnds += block[i] == '\n' || i + 1 == size || block[i + 1] != '\n';
            throw CsvRecordTooLong(lineEnds);
        }
        block.resize(block.size() * 2);
    }
}

} // namespace tarvelo::batch
