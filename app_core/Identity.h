// Who the program is: the texts that name it, the same in both languages.
#pragma once

namespace tarvelo {

inline constexpr char kAppTitle[] = "TarveloV1R1";
inline constexpr int kVersionMajor = 1;
inline constexpr int kVersionMinor = 1;
inline constexpr int kVersionRevision = 0;
// Settings live under this application key (organisation\application).
inline constexpr char kAppKey[] = "Marsk\\TarveloV1";
// The maker's notice, in the status bar and the about dialog.
inline constexpr char kCopyright[] = "Copyright \u00A9 2026 Marsk. All rights reserved.";
// The help document beside the program.
inline constexpr char kHelpFileName[] = "TarveloV1_Help.chm";

} // namespace tarvelo
