#pragma once

namespace tarvo {

// Where users send their logs; named in the log header and in messages.
inline constexpr const char* SupportAddress = "helpdesk@lumora.nl";

}  // namespace tarvo
