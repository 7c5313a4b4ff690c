// Checks: the repair of the HTML association, which makes ".htm" files open
// in the best browser on drive C:.
#pragma once

namespace tarvo {

// Searches drive C: and, when a browser is found, registers it for ".htm"
// through the file type "Lumora.htmlfile". Logs failures; never raises.
void RegistreerHTM();

}  // namespace tarvo
