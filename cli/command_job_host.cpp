#include "cli/command_job_host.h"

#include <utility>

CCommandJobHost::CCommandJobHost(PrintChoices choices)
    : m_choices(std::move(choices)), m_hPort(INVALID_HANDLE_VALUE) {}
