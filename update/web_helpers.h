#pragma once
// The service's building blocks on the Windows side: the client identifier in
// the registry, the executable's version, the shell and one HTTP GET.

#include "base/text.h"
#include "update/service_contract.h"

namespace tidewell {

// Opens an address or a path with the shell's "open" verb. A web address is
// opened by the user's own desktop shell where it can be reached, so that the
// browser does not inherit the program's elevation. The result is not examined.
void ShellOpen(const Text& target);

// The executable's file version through a printf-style pattern; "0.0.0.0",
// whatever the pattern, when the executable carries no version information.
[[nodiscard]] Text VersionText(const Text& format);

// The client identifier under HKEY_CURRENT_USER\Software\Varnok, value "VUID".
// Made and stored on first use; a stored string comes back as it is. Empty
// when the registry cannot be used or holds a value of another type.
[[nodiscard]] Text ReadClientId();

// One GET of the service endpoint (update/service_values.h) with the headers in
// order. True with the whole body decoded as UTF-8, whatever the status; false
// with an empty text when no response arrives.
[[nodiscard]] bool HttpGetText(const HeaderList& headers, Text& answer);

}  // namespace tidewell
