// Replacing a file safely: the one routine every writer of the project uses
// (the kernel's report, `tarvelo report`, `tarvelo batch -o` and --reports).
// Standard library and the system's file interface only, so that the kernel
// can link it statically.
//
// What happens to a target path:
//
// - The path is resolved through symbolic links, also to a name that does not
//   exist yet; the links stay in place and the file they name is written.
// - A standard-output-like path (/dev/stdout, /dev/stderr, /dev/fd/N,
//   /proc/self/fd/N) names a descriptor of this process: the text is written
//   to that descriptor, at its current position, as if to standard output.
// - A target that exists and is not a regular file (a character or block
//   device, a FIFO, a socket) is opened for writing and written in place: no
//   temporary file, no rename, no truncation. A FIFO without a reader waits
//   for one, as a shell redirection does.
// - A regular file or a new name: the text goes to a temporary file in the
//   same directory, created exclusively with mode 0666 (the system applies
//   the umask); it is written whole, synced, renamed over the target, and the
//   directory is synced. A replaced file keeps its permission bits. On any
//   failure the target is byte for byte as it was and no temporary file is
//   left.
//
// On Windows:
// - CON, PRN, AUX, NUL, COM1-9 and LPT1-9 name devices in every folder and
//   with any extension, and paths in the device namespace (\\.\COM3) name
//   one; a device is opened and written in place (CON: the console, which a
//   process without a console lacks: ENXIO).
// - A read-only file is not replaced (EACCES): its attribute says that it
//   must not change.
//
// Errors come back as errno values: 0 is success; ENOSPC from a full device,
// EPIPE when a pipe's reader has gone, EISDIR for a directory, and so on.
// Paths are bytes as the system takes them; on Windows UTF-8, opened through
// the wide (UTF-16) file functions.
#pragma once

#include <string>
#include <string_view>

namespace tarvelo {

// True when `name`, a file name without its folder, names a Windows device
// (see above): "NUL", "nul.csv", "COM1.txt", "CONOUT$". On every system, so
// that names made for Windows can avoid them.
bool isWindowsDeviceName(std::string_view name);

// Writes `content` to `path` as described above. Returns 0 or an errno value.
int replace_file(const std::string& path, std::string_view content);

// The same for output written piece by piece: open() decides where the text
// goes, the caller writes to fd(), and commit() puts it in place. Destroyed
// without a successful commit(), it removes its temporary file and leaves a
// replaced target as it was (text already written to a device or pipe stays
// written).
class FileReplacement {
public:
    FileReplacement() = default;
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // Opens the temporary file, or the target itself when it is written in
    // place. Returns 0 or an errno value.
    int open(const std::string& path);
    // The descriptor to write to; -1 before a successful open().
    int fd() const noexcept { return fd_; }
    // True when the target is written in place (device, FIFO, descriptor).
    bool inPlace() const noexcept { return inPlace_; }
    // Syncs and renames the temporary file over the target (for a target
    // written in place: closes it). Returns 0 or an errno value; after a
    // failure the target is as it was.
    int commit();

private:
    void discard() noexcept;

    int fd_ = -1;
    bool inPlace_ = false;
    int slot_ = -1; // registration of the temporary for removal on signals
    std::string target_, temp_, dir_;
};

// Makes every signal that ends the process by default (SIGINT, SIGTERM,
// SIGHUP, SIGQUIT, SIGPIPE, SIGXFSZ, SIGALRM, SIGUSR1, SIGABRT, SIGSEGV, the
// real-time ones, ...; on Windows SIGINT and SIGTERM) remove the temporary
// files of unfinished FileReplacements before the process ends by the same
// signal. Signals that are ignored or have a handler already keep it. For
// programs, not libraries: it sets the process's signal dispositions.
//
// Call it once, early in main(), before any thread starts.
void remove_temporaries_on_signals();

// Opens /dev/null on any of the descriptors 0, 1 and 2 that is closed, so
// that no file the program opens becomes its standard input, output or
// error by accident. Returns false when that fails. Call it first in main().
bool open_standard_descriptors() noexcept;

} // namespace tarvelo
