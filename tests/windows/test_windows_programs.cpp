// tarvelo.exe at the edges Windows gives it: arguments and folders beyond the
// ANSI code page, a spreadsheet's Windows-1252 CSV, devices, a read-only
// target, the console. Each case runs the real program beside this
// one, in a fresh folder under %TEMP%.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::wstring programFolder() {
    wchar_t path[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, n);
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

std::string fileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void writeBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

struct Outcome {
    DWORD exit = 0;
    std::string out, err; // the bytes of a pipe
    std::wstring screen;  // what a console shows
};

std::string readAll(HANDLE pipe) {
    std::string bytes;
    char buffer[4096];
    DWORD n = 0;
    while (ReadFile(pipe, buffer, sizeof buffer, &n, nullptr) && n > 0)
        bytes.append(buffer, n);
    return bytes;
}

// Runs tarvelo.exe with `arguments`, its output into pipes, or with
// `console` into a console of its own, whose screen is read back.
Outcome tarvelo(const std::wstring& arguments, bool console) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE screen = INVALID_HANDLE_VALUE;
    if (console) {
        // Before the pipes: the console's host process would inherit them
        // and keep them open.
        FreeConsole();
        AllocConsole();
        screen =
            CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                        FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr);
    }
    HANDLE outRead, outWrite, errRead, errWrite;
    CreatePipe(&outRead, &outWrite, &inherit, 1 << 20);
    CreatePipe(&errRead, &errWrite, &inherit, 1 << 20);
    SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = console ? screen : outWrite;
    startup.hStdError = errWrite;
    std::wstring commandLine = L"\"" + programFolder() + L"tarvelo.exe\" " + arguments;
    PROCESS_INFORMATION process{};
    Outcome run;
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                        &startup, &process)) {
        run.exit = 999;
        return run;
    }
    CloseHandle(outWrite);
    CloseHandle(errWrite);
    WaitForSingleObject(process.hProcess, INFINITE);
    GetExitCodeProcess(process.hProcess, &run.exit);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    run.out = readAll(outRead);
    run.err = readAll(errRead);
    CloseHandle(outRead);
    CloseHandle(errRead);
    if (console) {
        std::wstring text(400, L'\0');
        DWORD got = 0;
        ReadConsoleOutputCharacterW(screen, text.data(), DWORD(text.size()), COORD{0, 0}, &got);
        run.screen = text.substr(0, got);
        CloseHandle(screen);
        FreeConsole();
    }
    return run;
}

constexpr const wchar_t* kGas = L" CH4=90 C2H6=5 C3H8=2 CO2=2 N2=1";

struct Case {
    const char* what;
    std::function<void(const std::wstring& dir)> prepare;
    std::wstring arguments; // {} stands for the case's folder
    DWORD exit;
    bool console;
    std::function<void(const std::wstring& dir, const Outcome& run)> check;
};

std::wstring withFolder(std::wstring text, const std::wstring& dir) {
    for (std::size_t at; (at = text.find(L"{}")) != std::wstring::npos;)
        text.replace(at, 2, dir);
    return text;
}

TEST(WindowsPrograms, keepNamesPathsDevicesAndTheConsole) {
    const auto folder = [](const wchar_t* name) {
        return [name](const std::wstring& dir) { CreateDirectoryW((dir + name).c_str(), nullptr); };
    };
    const auto nothing = [](const std::wstring&) {};
    const std::vector<Case> cases = {
        {"a German gas name and folder", folder(L"M\u00fcller Gas"),
         L"report --name \"M\u00fcller Stra\u00dfe Gas\" --out \"{}M\u00fcller Gas\\bericht.htm\"" +
             std::wstring(kGas),
         0, false,
         [](const std::wstring& dir, const Outcome&) {
             // The report is Windows-1252: the name exactly, in that code page.
             EXPECT_NE(fileBytes(dir + L"M\u00fcller Gas\\bericht.htm")
                           .find("Output from: M\xFCller Stra\xDF"
                                 "e Gas"),
                       std::string::npos);
         }},
        {"a Polish folder, no look-alike", folder(L"\u0141\u00f3d\u017a Gas"),
         L"report --name \"\u0141\u00f3d\u017a\" --out \"{}\u0141\u00f3d\u017a Gas\\r.htm\"" +
             std::wstring(kGas),
         0, false,
         [](const std::wstring& dir, const Outcome&) {
             EXPECT_TRUE(std::filesystem::exists(dir + L"\u0141\u00f3d\u017a Gas\\r.htm"));
             EXPECT_FALSE(std::filesystem::exists(dir + L"L\u00f3dz Gas"));
         }},
        {"a spreadsheet's Windows-1252 CSV",
         [](const std::wstring& dir) {
             writeBytes(dir + L"in.csv", "name;CH4\r\nM\xFCller Stra\xDF"
                                         "e;100\r\n");
         },
         L"batch --bom --delimiter ; --reports \"{}Berichte\" \"{}in.csv\" -o \"{}out.csv\"", 0,
         false,
         [](const std::wstring& dir, const Outcome&) {
             EXPECT_TRUE(std::filesystem::exists(dir + L"Berichte\\M\u00fcller_Stra\u00dfe.htm"));
             EXPECT_EQ(fileBytes(dir + L"out.csv").rfind("\xEF\xBB\xBFname;", 0), 0u);
             EXPECT_NE(fileBytes(dir + L"out.csv")
                           .find("\nM\xC3\xBCller Stra\xC3\x9F"
                                 "e;"),
                       std::string::npos);
         }},
        {"--out NUL", nothing, L"report --out NUL" + std::wstring(kGas), 0, false,
         [](const std::wstring&, const Outcome& run) { EXPECT_EQ(run.err, ""); }},
        {"-o nul.csv in a folder is NUL",
         [](const std::wstring& dir) { writeBytes(dir + L"in.csv", "CH4\n100\n"); },
         L"batch \"{}in.csv\" -o \"{}nul.csv\"", 0, false,
         [](const std::wstring& dir, const Outcome& run) {
             EXPECT_EQ(run.err, "");
             EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir),
                                     std::filesystem::directory_iterator()),
                       1); // in.csv alone: no temporary file left
         }},
        {"a read-only target is kept",
         [](const std::wstring& dir) {
             writeBytes(dir + L"old.htm", "old");
             SetFileAttributesW((dir + L"old.htm").c_str(), FILE_ATTRIBUTE_READONLY);
         },
         L"report --out \"{}old.htm\"" + std::wstring(kGas), 1, false,
         [](const std::wstring& dir, const Outcome& run) {
             EXPECT_NE(run.err.find("old.htm': Permission denied"), std::string::npos) << run.err;
             EXPECT_EQ(fileBytes(dir + L"old.htm"), "old");
             EXPECT_TRUE(GetFileAttributesW((dir + L"old.htm").c_str()) & FILE_ATTRIBUTE_READONLY);
             SetFileAttributesW((dir + L"old.htm").c_str(), FILE_ATTRIBUTE_NORMAL);
         }},
        {"a console shows the characters", nothing, L"calc --lang de" + std::wstring(kGas), 0, true,
         [](const std::wstring&, const Outcome& run) {
             EXPECT_NE(run.screen.find(L"Luftverh\u00e4ltnis"), std::wstring::npos)
                 << run.screen.size();
             EXPECT_NE(run.screen.find(L"Nm\u00b3"), std::wstring::npos);
         }},
        {"/? is --help", nothing, L"/?", 0, false,
         [](const std::wstring&, const Outcome& run) {
             EXPECT_EQ(run.out.rfind("Usage: tarvelo", 0), 0u);
         }},
    };

    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    int number = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::wstring dir = std::wstring(temp) + L"tarvelo-windows-" +
                                 std::to_wstring(GetCurrentProcessId()) + L"-" +
                                 std::to_wstring(++number) + L"\\";
        CreateDirectoryW(dir.c_str(), nullptr);
        c.prepare(dir);
        const Outcome run = tarvelo(withFolder(c.arguments, dir), c.console);
        EXPECT_EQ(run.exit, c.exit) << run.err;
        if (c.check)
            c.check(dir, run);
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }
}

} // namespace
