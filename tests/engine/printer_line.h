// A printer on a pseudo-terminal linked as COM3 in a private device table,
// with message boxes recorded, for tests that drive the real connection.
#pragma once

#include "link/port_connection.h"
#include "tests/engine/test_page_text.h"
#include "tests/support/host_fakes.h"
#include "tests/support/message_boxes.h"
#include "tests/support/pty_printer.h"

#include <gtest/gtest.h>
#include <string>

namespace testing_support {

inline const HWND kForm = kFormWindow;

class PrinterLine : public ::testing::Test {
protected:
    void SetUp() override { table_.Link(3, printer_.path()); }
    void TearDown() override {
        if (host_ != nullptr) {
            ClosePort(*host_);
        }
    }

    DeviceTable table_;
    PtyPrinter printer_;
    MessageBoxRecorder boxes_;
    PortHost* host_ = nullptr; // closed when the test ends
};

// The same line with COM3 already open through host.
class OpenPrinterLine : public PrinterLine {
protected:
    void SetUp() override {
        PrinterLine::SetUp();
        host_ = &host;
        ASSERT_TRUE(OpenPort(host, 3));
    }
    FakePortHost host;
};

} // namespace testing_support
