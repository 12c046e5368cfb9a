// The binary layouts of the resources written in res/*.cpp, as the window
// system and version readers expect them.
#pragma once

#include "res/resource_definitions.h"

#include <cstdint>
#include <vector>

namespace res {

// DLGTEMPLATEEX followed by one DLGITEMTEMPLATEEX per control.
std::vector<std::uint8_t> LayOutDialog(const DialogDefinition& dialog);

// Records of control id, message, byte length and a zero-terminated UTF-16
// string, ended by a zero control id.
std::vector<std::uint8_t> LayOutListData(const ListDataDefinition& lists);

// VS_VERSIONINFO with its fixed part, one string table and the translation.
std::vector<std::uint8_t> LayOutVersion(const VersionDefinition& version);

} // namespace res
