// The form of the fault and load tests: no text until a test gives one, and
// no log, since the load tests count every byte that jobs keep.
#pragma once

#include "tests/support/host_fakes.h"

namespace faults {

using testing_support::kFormWindow;

struct JobForm : testing_support::FakeJobForm {
    JobForm() {
        textBox.clear();
        logging = false;
    }
};

} // namespace faults
