#include "kernel.h"

#include "ReplaceFile.h"
#include "TarveloV1_Kernel.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>
#include <system_error>

#if defined(_WIN32)
#include "WindowsText.h"
#endif

namespace tarvelo {

KernelState kernel_state;

const char component_name[kComponentCount][13] = {
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
    // A language-dependent line: left out for codes other than German and English.
    void line(int indent, std::string_view german, std::string_view english) {
        if (language_ == TARVELO_LANGUAGE_GERMAN)
            line(indent, german);
        else if (language_ == TARVELO_LANGUAGE_ENGLISH)
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

    for (int k = 0; k < kComponentCount; ++k) {
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

int save2file(const char* gasName, const char* path, const std::int32_t* language,
              std::int32_t gasNameLength, std::int32_t pathLength, const std::tm& now) {
#if defined(_WIN32)
    // The path comes in the process's ANSI code page; the file is opened
    // through the wide functions, which replace_file reaches with UTF-8.
    const std::string target = utf8FromAnsi(trimmed_text(path, pathLength));
#else
    const std::string target(trimmed_text(path, pathLength));
#endif
    if (target.empty())
        return ENOENT;
    const std::int32_t code = language ? *language : 0;
    const std::string content = report_text(trimmed_text(gasName, gasNameLength), code, now);
    const int error = replace_file(target, content);
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
