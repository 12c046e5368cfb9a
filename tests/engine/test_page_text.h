// The test page's text as the printer receives it, for every test that checks
// the bytes of a Test job (the engine's here, the Windows build's under Wine).
#pragma once

#include <string>

namespace testing_support {

// The 140-byte test text.
inline const std::string kTestText =
    "--Use Help for Printer--\r\n\r\n   Make sure your PDA have the  BlueTooth Port or IR Port"
    " and can run well\r\n\r\n---Here,Test Ok,Thank you---\r\n\r\n\r\n";

} // namespace testing_support
