// A printer on a pseudo-terminal linked as COM3 in a private device table,
// with message boxes recorded, for tests that drive the real connection.
#pragma once

#include "link/port_connection.h"
#include "tests/engine/test_page_text.h"
#include "tests/posix/virtual_port.h"

#include <gtest/gtest.h>
#include <string>

namespace testing_support {

inline const HWND kForm = reinterpret_cast<HWND>(0x3E9);

class PrinterLine : public ::testing::Test {
protected:
    void SetUp() override { table_.Link(3, printer_.path()); }
    void TearDown() override {
        if (host_ != nullptr) {
            ClosePort(*host_);
        }
    }

    DeviceTable table_;
    VirtualPort printer_;
    MessageBoxRecorder boxes_;
    PortHost* host_ = nullptr; // closed when the test ends
};

} // namespace testing_support
