// Who the program is: the texts that name it, the same in both languages.
#pragma once

#include "TarveloVersion.h"

namespace tarvelo {

inline constexpr char kAppTitle[] = "TarveloV1R1";
// "major.minor.revision", from the build's project version.
inline constexpr char kVersion[] = TARVELO_VERSION;
// Settings live under this application key (organisation\application).
inline constexpr char kAppKey[] = "Marsk\\TarveloV1";
// The maker's notice, in the status bar and the about dialog.
inline constexpr char kCopyright[] = "Copyright \u00A9 2026 Marsk. All rights reserved.";
// The help document beside the program.
inline constexpr char kHelpFileName[] = "TarveloV1_Help.chm";

} // namespace tarvelo
