// Helpers shared by the kernel tests: a scratch directory and file access.
#pragma once

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace kerneltest {

// How the system reports a file named as a directory of the path, and a
// directory named as the file to write: Windows knows neither ENOTDIR nor
// EISDIR for these and says "path not found" and "access denied".
#if defined(_WIN32)
inline constexpr int kFileAsDirectory = ENOENT;
inline constexpr int kDirectoryAsFile = EACCES;
#else
inline constexpr int kFileAsDirectory = ENOTDIR;
inline constexpr int kDirectoryAsFile = EISDIR;
#endif

// A fresh directory under the system's temporary directory, removed at the end.
class ScratchDir {
public:
    ScratchDir() {
#if defined(_WIN32)
        // No mkdtemp: a random name, taken only if it did not exist yet.
        std::random_device random;
        for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
            const auto candidate = std::filesystem::temp_directory_path() /
                                   ("tarvelo-kernel-" + std::to_string(random()));
            if (std::filesystem::create_directory(candidate))
                path_ = candidate;
        }
        if (path_.empty())
            throw std::runtime_error("no scratch directory could be made");
#else
        std::string pattern = (std::filesystem::temp_directory_path() / "tarvelo-kernel-XXXXXX");
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
#endif
    }
    ~ScratchDir() {
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::filesystem::path& path() const {
        return path_;
    }
    std::string file(const std::string& name) const {
        return (path_ / name).string();
    }
    // The names of all entries, to show that no temporary file was left.
    std::set<std::string> entries() const {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(path_))
            names.insert(entry.path().filename().string());
        return names;
    }

private:
    std::filesystem::path path_;
};

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeFile(const std::string& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
}

// Splits a report into its lines (without CR LF). A line that does not end
// in CR LF comes back with a trailing "<no CRLF>" marker, so it fails any
// comparison.
inline std::vector<std::string> reportLines(const std::string& content) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < content.size()) {
        const std::size_t end = content.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(content.substr(start) + "<no CRLF>");
            break;
        }
        lines.push_back(content.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

inline std::string goldenReport() {
    return readFile(std::string(TARVELO_KERNEL_TEST_DATA) + "/report_en_test_gas.html");
}

} // namespace kerneltest
