// The backend's device URIs and the job's options as CUPS hands them over.
#include "cups/device_uri.h"
#include "cups/job_options.h"

#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <string>

namespace {

using cups_backend::LinkTargetOf;

TEST(CupsDeviceUri, EachFormBecomesTheDeviceTablesLinkTarget) {
    EXPECT_EQ(LinkTargetOf("tallyroll:/dev/ttyUSB0"), "/dev/ttyUSB0");
    EXPECT_EQ(LinkTargetOf("tallyroll:///dev/ttyUSB0"), "/dev/ttyUSB0");
    EXPECT_EQ(LinkTargetOf("tallyroll:/dev/serial/by-id/usb-Maker_Roll-if00"),
              "/dev/serial/by-id/usb-Maker_Roll-if00");
    EXPECT_EQ(LinkTargetOf("tallyroll://tcp/printer.lan:9100"), "tcp:printer.lan:9100");
    EXPECT_EQ(LinkTargetOf("tallyroll://bt/00:11:22:33:44:55"), "bt:00:11:22:33:44:55");
    EXPECT_EQ(LinkTargetOf("tallyroll://bt/00:11:22:33:44:55/2"), "bt:00:11:22:33:44:55/2");
}

TEST(CupsDeviceUri, OtherSchemesAndEmptyTargetsAreRefused) {
    for (const char* uri : {"serial:/dev/ttyS0", "tallyroll:", "tallyroll:/", "tallyroll://tcp/",
                            "tallyroll://usb/x", "tallyroll:dev/ttyUSB0", "Tallyroll"}) {
        EXPECT_EQ(LinkTargetOf(uri), std::nullopt) << uri;
    }
}

class CupsJobOptions : public ::testing::Test {
protected:
    void TearDown() override { (void)std::remove(ppd_.c_str()); }

    SpoolerJob Read(const char* options, const char* ppd = nullptr) {
        SpoolerJob job;
        why_.clear();
        cups_backend::ReadJobOptions(options, ppd, job, why_);
        return job;
    }

    std::string ppd_ = ::testing::TempDir() + "tallyroll-queue.ppd";
    std::string why_;
};

TEST_F(CupsJobOptions, TheJobsChoicesOverTheQueuesDefaults) {
    std::ofstream(ppd_) << "*PPD-Adobe: \"4.3\"\n*DefaultModel: Rinth\n*DefaultWidth: 3\n"
                           "*DefaultUnderline: True\n*DefaultWhite: False\n";
    SpoolerJob job = Read("", ppd_.c_str());
    EXPECT_EQ(job.nModel, 1);
    EXPECT_EQ(job.nWidth, 2);
    EXPECT_TRUE(job.bUnderline);
    job = Read("Width=1 nounderline Direction White=yes Height=4 Model=wexol", ppd_.c_str());
    EXPECT_EQ(job.nModel, 3);
    EXPECT_EQ(job.nWidth, 0);
    EXPECT_EQ(job.nHeight, 3);
    EXPECT_FALSE(job.bUnderline);
    EXPECT_TRUE(job.bDirection);
    EXPECT_TRUE(job.bWhite);
    EXPECT_TRUE(why_.empty()) << why_;
}

TEST_F(CupsJobOptions, WithoutAQueueTheFormsDefaultsAndUnknownValuesAreTold) {
    SpoolerJob job = Read("job-uuid=urn:uuid:1 Width=9 Underline=maybe Model=Ink");
    EXPECT_EQ(job.nModel, 0);
    EXPECT_EQ(job.nWidth, 0);
    EXPECT_FALSE(job.bUnderline);
    EXPECT_NE(why_.find("Width=9"), std::string::npos) << why_;
    EXPECT_NE(why_.find("Underline=maybe"), std::string::npos) << why_;
    EXPECT_NE(why_.find("Model=Ink"), std::string::npos) << why_;
}

} // namespace
