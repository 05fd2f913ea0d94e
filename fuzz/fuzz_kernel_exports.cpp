// The kernel's exports with arbitrary compositions, gas names, file names,
// lengths and language codes. Every report goes into a scratch directory:
// the file name comes from the input, but with '/' and NUL replaced, so that
// it stays inside. Help is left out (it starts a program).
//
// Layout of an input: 16 floats, the language code, the gas name's length
// argument, the path's length argument, one byte splitting the rest into the
// gas name and the file name.
#include "FuzzSupport.h"
#include "TarveloV1_Kernel.h"

#include <dirent.h>
#include <unistd.h>

namespace {

int entriesIn(const std::string& dir) {
    int count = 0;
    if (DIR* d = opendir(dir.c_str())) {
        while (const dirent* entry = readdir(d))
            if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, ".."))
                ++count;
        closedir(d);
    }
    return count;
}

std::string readAll(const std::string& path) {
    std::string content;
    if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
        char block[8192];
        std::size_t n;
        while ((n = std::fread(block, 1, sizeof block, file)) > 0)
            content.append(block, n);
        std::fclose(file);
    }
    return content;
}

std::size_t lineCount(const std::string& content) {
    std::size_t lines = 0;
    for (std::size_t at = content.find("\r\n"); at != std::string::npos;
         at = content.find("\r\n", at + 2))
        ++lines;
    return lines;
}

// A length argument: mostly the real length, sometimes shorter, negative or
// zero; never more than the bytes there are (the caller's side of the
// contract).
std::int32_t lengthArgument(std::int32_t wish, std::size_t size) {
    if (wish < 0)
        return wish; // read as 0
    return static_cast<std::int32_t>(static_cast<std::size_t>(wish) % (size + 1));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    float composition[16];
    for (float& value : composition)
        value = in.take<float>();
    const std::int32_t language = in.take<std::int32_t>();
    const std::int32_t nameWish = in.take<std::int32_t>();
    const std::int32_t pathWish = in.take<std::int32_t>();
    const std::size_t split = in.take<std::uint8_t>();
    const std::string name(in.bytes(split));
    std::string file(in.bytes(400)); // long enough to pass NAME_MAX
    for (char& c : file)
        if (c == '/' || c == '\0')
            c = '_';

    GasData_Init();
    float lambda = 0, rho = 0, hu = 0;
    fuzz::check(Calculate(composition, &lambda, &rho, &hu) == 0, "Calculate returned non-zero");

    const std::string& dir = fuzz::scratchDirectory();
    const std::string path = dir + "/r" + file;
    // The name and path are copied into buffers of exactly their size, so
    // that AddressSanitizer sees any read past the given length.
    std::string nameBuffer = name, pathBuffer = path;
    const std::int32_t nameLength = lengthArgument(nameWish, nameBuffer.size());
    // A path length never cuts into the scratch directory's name: only the
    // file name part is shortened (or, for a negative length, all of it).
    const std::int32_t fileLength = lengthArgument(pathWish, path.size() - dir.size() - 1);
    const std::int32_t pathLength =
        fileLength < 0
            ? fileLength
            : static_cast<std::int32_t>(dir.size() + 1 + static_cast<std::size_t>(fileLength));
    const int result =
        Save2File(nameBuffer.data(), pathBuffer.data(), &language, nameLength, pathLength);

    // The file the kernel was to write: the given length, trailing blanks off.
    std::string target = path.substr(0, static_cast<std::size_t>(pathLength < 0 ? 0 : pathLength));
    while (!target.empty() && target.back() == ' ')
        target.pop_back();
    if (result == 0) {
        const std::string content = readAll(target);
        // The name is copied byte for byte into the heading, and with a
        // language into the title too: each CR LF in it makes more lines.
        std::string_view shownName(nameBuffer.data(),
                                   static_cast<std::size_t>(nameLength < 0 ? 0 : nameLength));
        while (!shownName.empty() && shownName.back() == ' ')
            shownName.remove_suffix(1);
        std::size_t breaks = 0;
        for (std::size_t at = shownName.find("\r\n"); at != std::string_view::npos;
             at = shownName.find("\r\n", at + 2))
            ++breaks;
        const bool texts = language == 1 || language == 2;
        const std::size_t expected = (texts ? 295 : 284) + (texts ? 2 : 1) * breaks;
        fuzz::check(lineCount(content) == expected, "a written report has the wrong line count");
        fuzz::check(content.size() >= 9 &&
                        content.compare(content.size() - 9, 9, "</html>\r\n") == 0,
                    "a written report does not end with </html>");
        fuzz::check(entriesIn(dir) == 1, "a report left another file beside it");
        unlink(target.c_str());
    } else {
        fuzz::check(result > 0, "Save2File returned a negative error");
        fuzz::check(entriesIn(dir) == 0, "a failed report left a file behind");
    }
    return 0;
}
