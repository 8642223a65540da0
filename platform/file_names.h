// File names as the system expects to find them: a name that does not exist
// as written is looked up case-insensitively, one path component at a time,
// in its directory; and the temporary directory.
#pragma once

#include <string>

namespace vaultrix::platform {

// `name` with each component that does not exist as written replaced by the
// entry of its directory that matches it ignoring the case of ASCII letters.
// Components that exist as written are kept; from the first component that
// matches nothing on, the rest stays as written (a file about to be created).
// When several entries match one component, the first in byte order wins.
[[nodiscard]] std::string ResolveName(const std::string& name);

// $TMPDIR when it is set and not empty, otherwise "/tmp"; without a trailing
// slash.
[[nodiscard]] std::string TempDirectory();

// True when the two names are equal ignoring the case of ASCII letters.
[[nodiscard]] bool EqualNoCase(const std::string& a, const std::string& b);

}  // namespace vaultrix::platform
