#include "kernel.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>
#include <system_error>

#if defined(_WIN32)
#include <io.h>
#include <windows.h>
#else
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tarvelo {

KernelState kernel_state;

const char component_name[component_count][13] = {
    "CH4         ", "C2H6        ", "C3H8        ", "ISO-C4H10   ", "Normal-C4H10", "C5H12       ",
    "C6H14       ", "C7H16       ", "C2H2        ", "C2H4        ", "H2          ", "CO          ",
    "CO2         ", "N2          ", "O2          ", "H20         ",
};

void calculate(const float* composition, float* lambda, float* rho, float* hu) noexcept {
    const KernelState state = mixture_properties(composition, component_table);
    kernel_state = state;
    *hu = state.hu;
    *lambda = state.lambda;
    *rho = state.rho;
}

std::string_view trimmed_text(const char* text, std::int32_t length) noexcept {
    if (text == nullptr || length <= 0)
        return {};
    std::size_t n = static_cast<std::size_t>(length);
    while (n > 0 && text[n - 1] == ' ')
        --n;
    return {text, n};
}

std::string fixed_field(double value, int width, int decimals) {
    std::string overflow(static_cast<std::size_t>(width), '*'); // not const: returned by move
    if (value != value || value - value != 0.0)                 // NaN or infinity
        return overflow;
    // 309 integer digits at most for a double, plus sign, point and decimals.
    char buffer[400];
    const auto [end, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    if (ec != std::errc())
        return overflow;
    std::string_view text(buffer, static_cast<std::size_t>(end - buffer));
    if (!text.empty() && text.front() == '-' &&
        text.find_first_not_of("-0.") == std::string_view::npos)
        text.remove_prefix(1); // rounded to zero: no sign
    if (text.size() > static_cast<std::size_t>(width))
        return overflow;
    std::string field(static_cast<std::size_t>(width) - text.size(), ' ');
    field.append(text);
    return field;
}

namespace {

constexpr std::string_view author_name = "Marsk Engineering";

// Builds the report line by line: one blank, the indent, the text, CR LF.
class ReportBuilder {
public:
    explicit ReportBuilder(std::int32_t language) : language_(language) { text_.reserve(24000); }

    void line(int indent, std::string_view text) {
        text_.append(static_cast<std::size_t>(indent) + 1, ' ');
        text_.append(text);
        text_.append("\r\n");
    }
    // A language-dependent line: left out for codes other than 1 and 2.
    void line(int indent, std::string_view german, std::string_view english) {
        if (language_ == 1)
            line(indent, german);
        else if (language_ == 2)
            line(indent, english);
    }
    void blockquoteRule() {
        for (int indent = 7; indent <= 19; indent += 4)
            line(indent, "<blockquote>");
        line(23, "<hr>");
        for (int indent = 19; indent >= 7; indent -= 4)
            line(indent, "</blockquote>");
    }
    std::string take() { return std::move(text_); }

private:
    std::int32_t language_;
    std::string text_;
};

// The gas name goes into HTML text: escape the three markup characters.
std::string escaped(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&':
            out.append("&amp;");
            break;
        case '<':
            out.append("&lt;");
            break;
        case '>':
            out.append("&gt;");
            break;
        default:
            out.push_back(c);
        }
    }
    return out;
}

struct ResultRow {
    float value;
    int decimals;
    std::string_view labelGerman, labelEnglish;
    std::string_view unitGerman, unitEnglish;
};

} // namespace

std::string report_text(std::string_view gasName, std::int32_t language, const std::tm& now) {
    const std::string name = escaped(gasName);
    ReportBuilder r(language);

    r.line(0, "<html>");
    r.line(3, "<head>");
    r.line(7, std::string("<meta name=\"GENERATOR\" content=\"TarveloV1R1 by ") +
                  std::string(author_name) + "\">");
    r.line(7, "<title>");
    r.line(11, "Tarvelo V1R1 - Ausgabe von: " + name, "Tarvelo V1R1 - Output from: " + name);
    r.line(7, "</title>");
    r.line(3, "</head>");
    r.line(3, "<body>");
    r.line(7, "<h1>");
    r.line(11, "&nbsp;");
    r.line(7, "</h1>");
    r.line(7, "<h1 align=\"center\">");
    r.line(11, "<font color=\"#0000FF\">");
    r.line(15, "<i>");
    r.line(19, name);
    r.line(15, "</i>");
    r.line(11, "</font>");
    r.line(7, "</h1>");
    r.line(7, "<hr>");
    r.line(7, "<h2 align=\"center\">");
    r.line(11, "Eingabedaten:", "Input data:");
    r.line(7, "</h2>");
    r.blockquoteRule();
    r.line(7, "<div align=\"center\">");
    r.line(11, "<center>");
    r.line(15, "<table border=\"0\" width=\"220\">");
    r.line(19, "<tr>");
    r.line(23, "<td width=\"110\">");
    r.line(27, "<b>");
    r.line(31, "Element");
    r.line(27, "</b>");
    r.line(23, "</td>");
    r.line(23, "<td align=\"center\" width=\"110\">");
    r.line(27, "<b>");
    r.line(31, "Volumsprozent (% vol.)", "volume percent (% vol.)");
    r.line(27, "</b>");
    r.line(23, "</td>");
    r.line(19, "</tr>");

    for (int k = 0; k < component_count; ++k) {
        const float percent =
            static_cast<float>(static_cast<double>(kernel_state.fraction[k]) * 100.0);
        r.line(19, "<tr>");
        r.line(23, "<td width=\"110\">");
        r.line(27, "<i>");
        r.line(31, trimmed_text(component_name[k], 12));
        r.line(27, "</i>");
        r.line(23, "</td>");
        r.line(23, "<td align=\"center\" width=\"110\">");
        // An 80-character text: 74 blanks, then the 6-character field.
        r.line(31, std::string(74, ' ') + fixed_field(static_cast<double>(percent), 6, 2));
        r.line(23, "</td>");
        r.line(19, "</tr>");
    }

    r.line(15, "</table>");
    r.line(11, "</center>");
    r.line(7, "</div>");
    r.line(7, "<hr>");
    r.line(7, "<hr>");
    r.line(7, "<h2 align=\"center\">");
    r.line(11, "Berechnete Werte:", "Calculated values:");
    r.line(7, "</h2>");
    r.blockquoteRule();
    r.line(7, "<div align=\"center\">");
    r.line(11, "<center>");
    r.line(15, "<table border=\"1\" width=\"512\">");

    // The report is Windows-1252: \xE4 is the a-umlaut.
    const ResultRow rows[3] = {
        {kernel_state.lambda, 2, "Luftverh\xE4ltnis", "air/fuel ratio", "[l Luft / l Brennstoff]",
         "[l air / l fuel]"},
        {kernel_state.rho, 3, "Dichte", "density", "", ""},
        {kernel_state.hu, 2, "Heizwert", "calorific value", "", ""},
    };
    const std::string_view commonUnits[3] = {"", "[g/Nm<sup>3</sup>]", "[kWh / Nm<sup>3</sup>]"};
    for (int i = 0; i < 3; ++i) {
        const ResultRow& row = rows[i];
        r.line(19, "<tr>");
        r.line(23, "<td width=\"264\">");
        r.line(27, "<font size=\"4\">");
        r.line(31, row.labelGerman, row.labelEnglish);
        r.line(27, "</font>");
        r.line(23, "</td>");
        r.line(23, "<td width=\"173\" align=\"right\" bgcolor=\"#FFFF00\">");
        r.line(27, "<b>");
        r.line(31, "<font color=\"#0000FF\" size=\"5\">");
        r.line(35, fixed_field(static_cast<double>(row.value), 10, row.decimals));
        r.line(31, "</font>");
        r.line(27, "</b>");
        r.line(23, "</td>");
        r.line(23, "<td width=\"129\" align=\"right\">");
        r.line(27, "<font size=\"2\">");
        if (commonUnits[i].empty())
            r.line(31, row.unitGerman, row.unitEnglish);
        else
            r.line(31, commonUnits[i]); // the same in every language
        r.line(27, "</font>");
        r.line(23, "</td>");
        r.line(19, "</tr>");
    }

    char date[80];
    char time[80];
    std::snprintf(date, sizeof date, "%04d.%02d.%02d", now.tm_year + 1900, now.tm_mon + 1,
                  now.tm_mday);
    std::snprintf(time, sizeof time, "%02d:%02d", now.tm_hour, now.tm_min);

    r.line(15, "</table>");
    r.line(11, "</center>");
    r.line(7, "</div>");
    r.line(7, "<hr>");
    r.line(7, "<hr>");
    r.line(7, "<p align=\"center\">");
    r.line(11, std::string("Erstellt am ") + date + " um " + time + "<br>",
           std::string("Created on ") + date + " at " + time + "<br>");
    r.line(11, "mit Tarvelo V1R1 - <br>", "with Tarvelo V1R1 - <br>");
    r.line(11, "&copy; 2026 Marsk - Alle Rechte vorbehalten.",
           "&copy; 2026 Marsk - All rights reserved.");
    r.line(7, "</p>");
    r.line(3, "</body>");
    r.line(0, "</html>");
    return r.take();
}

namespace {

#if defined(_WIN32)

// Windows: write beside the target, then replace it in one step.
int write_replacing(const std::string& target, const std::string& content) {
    std::string temp = target + ".XXXXXX";
    if (_mktemp_s(temp.data(), temp.size() + 1) != 0)
        return EINVAL;
    std::FILE* file = nullptr;
    if (fopen_s(&file, temp.c_str(), "wbx") != 0 || file == nullptr)
        return errno ? errno : EIO;
    int error = 0;
    if (std::fwrite(content.data(), 1, content.size(), file) != content.size() ||
        std::fflush(file) != 0 || _commit(_fileno(file)) != 0)
        error = errno ? errno : EIO;
    if (std::fclose(file) != 0 && error == 0)
        error = errno ? errno : EIO;
    if (error == 0 && !MoveFileExA(temp.c_str(), target.c_str(),
                                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        error = EACCES;
    if (error != 0)
        std::remove(temp.c_str());
    return error;
}

#else

// The process's file-creation mask, read without changing it where the
// system allows (changing it would race with other threads creating files).
mode_t current_umask() {
    if (std::FILE* status = std::fopen("/proc/self/status", "re")) {
        char line[128];
        unsigned mask = 0;
        bool found = false;
        while (std::fgets(line, sizeof line, status))
            if (std::sscanf(line, "Umask: %o", &mask) == 1) {
                found = true;
                break;
            }
        std::fclose(status);
        if (found)
            return static_cast<mode_t>(mask);
    }
    const mode_t mask = umask(0);
    umask(mask);
    return mask;
}

int write_all(int fd, const std::string& content) {
    const char* data = content.data();
    std::size_t left = content.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, left);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (written == 0)
            return EIO;
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    return 0;
}

// The file that `path` finally names: a symbolic link is followed (also to a
// file that does not exist yet), so that replacing the report replaces the
// file the link points to and leaves the link itself in place. Returns 0, or
// ELOOP for a chain of links too long to be a real one.
int resolve_links(std::string& path) {
    constexpr int max_links = 40; // the system's own limit for one lookup
    for (int hop = 0; hop < max_links; ++hop) {
        struct stat info;
        if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return 0; // not a link: a missing or other file is dealt with later
        std::string link(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : PATH_MAX) + 1,
                         '\0');
        const ssize_t length = ::readlink(path.c_str(), link.data(), link.size());
        if (length < 0)
            return 0;
        if (static_cast<std::size_t>(length) >= link.size())
            continue; // the link changed while it was read: read it again
        link.resize(static_cast<std::size_t>(length));
        if (!link.empty() && link.front() == '/') {
            path = link;
        } else {
            // A relative link is relative to the directory that holds it.
            const std::size_t slash = path.rfind('/');
            path.resize(slash == std::string::npos ? 0 : slash + 1);
            path += link;
        }
    }
    return ELOOP;
}

// Writes `content` to a temporary file beside `requested` (beside the file a
// symbolic link names), syncs it and renames it over that file, so that it is
// either the complete new report or untouched. A replaced file keeps its
// permission bits; a new one gets those of any newly created file (0666 less
// the umask).
int write_replacing(const std::string& requested, const std::string& content) {
    std::string target = requested;
    if (const int error = resolve_links(target); error != 0)
        return error;
    mode_t mode = 0666 & ~current_umask();
    struct stat existing;
    if (::stat(target.c_str(), &existing) == 0 && S_ISREG(existing.st_mode))
        mode = existing.st_mode & 07777;

    // The temporary file sits beside the target, so that the rename stays
    // within one file system. A name too long to take the suffix gets a
    // short temporary name in the same directory.
    const std::size_t slash = target.rfind('/');
    const std::string dir = slash == std::string::npos ? "" : target.substr(0, slash + 1);
    std::string temp = target + ".XXXXXX";
    if (temp.size() - dir.size() > NAME_MAX)
        temp = dir + ".TarveloV1.XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
        return errno;

    int error = 0;
    if (::fchmod(fd, mode) != 0)
        error = errno;
    if (error == 0)
        error = write_all(fd, content);
    if (error == 0 && ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0 && ::rename(temp.c_str(), target.c_str()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(temp.c_str());
        return error;
    }

    // Make the rename itself durable; the report is complete whatever this says.
    const int dirFd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return 0;
}

#endif

} // namespace

int save2file(const char* gasName, const char* path, const std::int32_t* language,
              std::int32_t gasNameLength, std::int32_t pathLength, const std::tm& now) {
    const std::string target(trimmed_text(path, pathLength));
    if (target.empty())
        return ENOENT;
    const std::int32_t code = language ? *language : 0;
    const std::string content = report_text(trimmed_text(gasName, gasNameLength), code, now);
    const int error = write_replacing(target, content);
    return error > 0 ? error : (error < 0 ? EIO : 0);
}

int save2file(const char* gasName, const char* path, const std::int32_t* language,
              std::int32_t gasNameLength, std::int32_t pathLength) {
    // The clock is read once, before the file is created.
    const std::time_t seconds = std::time(nullptr);
    std::tm now{};
#if defined(_WIN32)
    localtime_s(&now, &seconds);
#else
    localtime_r(&seconds, &now);
#endif
    return save2file(gasName, path, language, gasNameLength, pathLength, now);
}

} // namespace tarvelo
