// A printer on a pseudo-terminal linked as COM3 in a private device table,
// with message boxes recorded, for tests that drive the real connection.
#pragma once

#include "link/port_connection.h"
#include "tests/posix/virtual_port.h"

#include <gtest/gtest.h>
#include <string>

namespace testing_support {

inline const HWND kForm = reinterpret_cast<HWND>(0x3E9);

// The 140-byte test text, as the printer receives it.
inline const std::string kTestText =
    "--Use Help for Printer--\r\n\r\n   Make sure your PDA have the  BlueTooth Port or IR Port"
    " and can run well\r\n\r\n---Here,Test Ok,Thank you---\r\n\r\n\r\n";

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
