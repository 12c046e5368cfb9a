// The program's resources, as written in res/*.cpp. Only the resource compiler
// reads these; the program sees their compiled bytes, which the generated
// source hands to start-up as ProgramResources().
#pragma once

#include "res/resource_definitions.h"

namespace res {

extern const DialogDefinition kMainForm;
extern const ListDataDefinition kMainFormLists;
extern const std::span<const IconGroupDefinition> kIconGroups;
extern const VersionDefinition kVersionInfo;

} // namespace res
