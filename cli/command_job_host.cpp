#include "cli/command_job_host.h"

CCommandJobHost::CCommandJobHost(const PrintChoices& choices)
    : m_choices(choices), m_hPort(INVALID_HANDLE_VALUE) {}
