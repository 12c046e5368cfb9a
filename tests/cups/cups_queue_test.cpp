// Tallyroll's printers as CUPS queues, through a private scheduler to
// printers on pseudo-terminals: what a queue prints is byte for byte what
// the print command prints with the same choices.
#include "private_cupsd.h"
#include "tests/support/pty_printer.h"
#include "tests/support/shell_command.h"
#include "tests/support/tcp_printer.h"
#include "tests/support/temp_folder.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

namespace {

using cups_test::PrivateCupsd;
using testing_support::Bytes;
using testing_support::PtyPrinter;
using testing_support::TempFolder;
using testing_support::ToBytes;

// What the print command sends for the same text and choices, read from its
// standard output.
Bytes PrintCommandBytes(const std::string& words) {
    return ToBytes(testing_support::RunShellCommand(std::string(TALLYROLL_BINARY) + " " + words +
                                                    " -o - 2>/dev/null")
                       .output);
}

// Whether a process other than this one holds path open.
bool HeldByAnotherProcess(const std::string& path) {
    const std::string self = std::to_string(::getpid());
    DIR* proc = ::opendir("/proc");
    bool held = false;
    while (const dirent* process = proc != nullptr && !held ? ::readdir(proc) : nullptr) {
        const std::string pid = process->d_name;
        if (pid.find_first_not_of("0123456789") != std::string::npos || pid == self) {
            continue;
        }
        const std::string fdFolder = "/proc/" + pid + "/fd";
        DIR* fds = ::opendir(fdFolder.c_str());
        while (const dirent* fd = fds != nullptr && !held ? ::readdir(fds) : nullptr) {
            char target[4096];
            const ssize_t n =
                ::readlink((fdFolder + "/" + fd->d_name).c_str(), target, sizeof target);
            held = n > 0 && std::string(target, static_cast<std::size_t>(n)) == path;
        }
        if (fds != nullptr) {
            ::closedir(fds);
        }
    }
    if (proc != nullptr) {
        ::closedir(proc);
    }
    return held;
}

class CupsQueue : public ::testing::Test {
protected:
    void SetUp() override {
        if (!cups_test::SchedulerInstalled()) {
            GTEST_SKIP() << "cupsd is not installed (tools/deps.sh installs it)";
        }
        ASSERT_TRUE(cupsd_.running()) << cupsd_.log();
    }

    std::string Text(const std::string& name, const std::string& content) const {
        texts_.file(name, content);
        return texts_.path() + "/" + name;
    }

    PrivateCupsd cupsd_;
    TempFolder texts_{"tallyroll-cups-texts"};
};

TEST_F(CupsQueue, TextsWithOptionsPrintAsThePrintCommandDoes) {
    PtyPrinter printer;
    ASSERT_TRUE(cupsd_.AddQueue("Receipt", "tallyroll:" + printer.path())) << cupsd_.log();
    struct Case {
        const char* name;
        std::string text;
        std::string lpOptions;
        std::string commandOptions;
    };
    const Case cases[] = {
        {"ascii.txt", "Notes\nline two\n", "-o Width=2 -o Underline=True", "-w 2 -u"},
        {"cp1252.txt", "Caf\xE9 \x80 12\n", "-o Model=Sovak -o Height=3 -o White=True",
         "-p sovak -H 3 -W"},
        {"utf8.txt", "\xC3\xA9t\xC3\xA9 \xE2\x82\xAC\n",
         "-o Model=Wexol -o Direction=True -o Width=4", "-p wexol -d -w 4"},
        {"defaults.txt", "plain\n", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string file = Text(c.name, c.text);
        ASSERT_FALSE(cupsd_.Print("Receipt", file, c.lpOptions).empty()) << cupsd_.log();
        ASSERT_TRUE(cupsd_.WaitQueueEmpty("Receipt")) << cupsd_.QueueState("Receipt");
        EXPECT_EQ(printer.Drain(), PrintCommandBytes("print " + c.commandOptions + " " + file));
    }
}

TEST_F(CupsQueue, NetworkPrinterUriPrintsThroughTheSamePortCode) {
    testing_support::TcpPrinter printer;
    ASSERT_TRUE(printer.listening());
    ASSERT_TRUE(
        cupsd_.AddQueue("Receipt", "tallyroll://tcp/127.0.0.1:" + std::to_string(printer.port())));
    const std::string file = Text("notes.txt", "over tcp\n");
    ASSERT_FALSE(cupsd_.Print("Receipt", file, "-o Height=2").empty());
    ASSERT_TRUE(cupsd_.WaitQueueEmpty("Receipt")) << cupsd_.QueueState("Receipt");
    ASSERT_TRUE(printer.WaitForClose());
    EXPECT_EQ(printer.Received(), PrintCommandBytes("print -H 2 " + file));
}

TEST_F(CupsQueue, QueueDefaultsSetByTheAdministratorApplyToEveryJob) {
    PtyPrinter printer;
    ASSERT_TRUE(cupsd_.AddQueue("Receipt", "tallyroll:" + printer.path()));
    ASSERT_EQ(
        cupsd_.Client("lpadmin -p Receipt -o Width-default=3 -o Underline-default=True").status, 0);
    const std::string file = Text("notes.txt", "defaults\n");
    ASSERT_FALSE(cupsd_.Print("Receipt", file).empty());
    ASSERT_TRUE(cupsd_.WaitQueueEmpty("Receipt"));
    EXPECT_EQ(printer.Drain(), PrintCommandBytes("print -w 3 -u " + file));
    // A job's own choice wins over the queue's.
    ASSERT_FALSE(cupsd_.Print("Receipt", file, "-o Width=1").empty());
    ASSERT_TRUE(cupsd_.WaitQueueEmpty("Receipt"));
    EXPECT_EQ(printer.Drain(), PrintCommandBytes("print -u " + file));
}

TEST_F(CupsQueue, SelfTestCommandPrintsTheTestPage) {
    PtyPrinter printer;
    ASSERT_TRUE(cupsd_.AddQueue("Receipt", "tallyroll:" + printer.path()));
    const std::string command = Text("self-test", "#CUPS-COMMAND\nPrintSelfTestPage\n");
    ASSERT_FALSE(
        cupsd_.Print("Receipt", command, "-o document-format=application/vnd.cups-command").empty())
        << cupsd_.log();
    ASSERT_TRUE(cupsd_.WaitQueueEmpty("Receipt"));
    EXPECT_EQ(printer.Drain(), PrintCommandBytes("test"));
}

TEST_F(CupsQueue, CupsOwnTestPagePrintsTheTestPageAndOtherBannersNothing) {
    PtyPrinter printer;
    ASSERT_TRUE(cupsd_.AddQueue("Receipt", "tallyroll:" + printer.path()));
    // What the printer settings' "Print Test Page" sends.
    const std::string testPage = std::string(CUPS_DATADIR) + "/data/testprint";
    if (::access(testPage.c_str(), R_OK) != 0) {
        GTEST_SKIP() << testPage << " is not installed";
    }
    ASSERT_FALSE(cupsd_.Print("Receipt", testPage).empty()) << cupsd_.log();
    ASSERT_TRUE(cupsd_.WaitQueueEmpty("Receipt"));
    EXPECT_EQ(printer.Drain(), PrintCommandBytes("test"));
    const std::string banner = Text("sheet", "#PDF-BANNER\nTemplate standard.pdf\n");
    ASSERT_FALSE(cupsd_.Print("Receipt", banner).empty());
    ASSERT_TRUE(cupsd_.WaitQueueEmpty("Receipt"));
    EXPECT_TRUE(printer.Drain().empty());
}

TEST_F(CupsQueue, MissingPortStopsTheQueueWithTheReason) {
    const TempFolder gone{"tallyroll-cups-gone"};
    ASSERT_TRUE(cupsd_.AddQueue("Receipt", "tallyroll:" + gone.path() + "/ttyUSB9"));
    ASSERT_FALSE(cupsd_.Print("Receipt", Text("notes.txt", "lost?\n")).empty());
    ASSERT_TRUE(cupsd_.WaitQueueStopped("Receipt")) << cupsd_.QueueState("Receipt");
    const std::string state = cupsd_.QueueState("Receipt");
    EXPECT_NE(state.find("Unable to open"), std::string::npos) << state;
    EXPECT_NE(state.find(gone.path() + "/ttyUSB9"), std::string::npos) << state;
    // The job waits in the queue for the printer, not lost.
    EXPECT_NE(cupsd_.Client("lpstat -o Receipt").output.find("Receipt-1"), std::string::npos);
}

TEST_F(CupsQueue, CancelDuringAStalledJobReleasesThePort) {
    PtyPrinter printer(PtyPrinter::Start::Stalled);
    ASSERT_TRUE(cupsd_.AddQueue("Receipt", "tallyroll:" + printer.path()));
    const std::string job = cupsd_.Print("Receipt", Text("long.txt", std::string(200000, 'x')));
    ASSERT_FALSE(job.empty());
    ASSERT_GT(printer.WaitUntilFull(), 0U) << cupsd_.log();
    ASSERT_TRUE(HeldByAnotherProcess(printer.path()));
    ASSERT_EQ(cupsd_.Client("cancel " + job).status, 0);
    ASSERT_TRUE(cupsd_.WaitQueueEmpty("Receipt"));
    EXPECT_FALSE(HeldByAnotherProcess(printer.path()));
    // A cancel is not a fault of the printer: the queue does not say it is.
    const std::string state = cupsd_.QueueState("Receipt");
    EXPECT_EQ(state.find("Can't Send Data"), std::string::npos) << state;
    // The queue goes on with the next job.
    printer.Resume();
    (void)printer.Drain();
    const std::string file = Text("next.txt", "next\n");
    ASSERT_FALSE(cupsd_.Print("Receipt", file).empty());
    ASSERT_TRUE(cupsd_.WaitQueueEmpty("Receipt"));
    EXPECT_EQ(printer.Drain(), PrintCommandBytes("print " + file));
}

TEST_F(CupsQueue, TwoJobsBackToBackPrintInOrderEachFramedOnItsOwn) {
    PtyPrinter printer;
    ASSERT_TRUE(cupsd_.AddQueue("Receipt", "tallyroll:" + printer.path()));
    const std::string first = Text("first.txt", "first\n");
    const std::string second = Text("second.txt", "second\n");
    ASSERT_FALSE(cupsd_.Print("Receipt", first, "-o Width=2").empty());
    ASSERT_FALSE(cupsd_.Print("Receipt", second).empty());
    ASSERT_TRUE(cupsd_.WaitQueueEmpty("Receipt"));
    Bytes expected = PrintCommandBytes("print -w 2 " + first);
    const Bytes then = PrintCommandBytes("print " + second);
    expected.insert(expected.end(), then.begin(), then.end());
    EXPECT_EQ(printer.Drain(), expected);
}

TEST_F(CupsQueue, CopiesPrintTheTextThatManyTimes) {
    PtyPrinter printer;
    ASSERT_TRUE(cupsd_.AddQueue("Receipt", "tallyroll:" + printer.path()));
    const std::string file = Text("notes.txt", "twice\n");
    ASSERT_FALSE(cupsd_.Print("Receipt", file, "-n 2").empty());
    ASSERT_TRUE(cupsd_.WaitQueueEmpty("Receipt"));
    Bytes expected = PrintCommandBytes("print " + file);
    const Bytes once = expected;
    expected.insert(expected.end(), once.begin(), once.end());
    EXPECT_EQ(printer.Drain(), expected);
}

TEST_F(CupsQueue, PdfIsRefusedAtTheDoorAndNothingPrints) {
    PtyPrinter printer;
    ASSERT_TRUE(cupsd_.AddQueue("Receipt", "tallyroll:" + printer.path()));
    const std::string pdf =
        Text("page.pdf", "%PDF-1.4\n1 0 obj <<>> endobj\ntrailer <<>>\n%%EOF\n");
    const auto refused = cupsd_.Client("lp -d Receipt '" + pdf + "'");
    EXPECT_NE(refused.status, 0) << refused.output;
    EXPECT_NE(refused.output.find("document-format"), std::string::npos) << refused.output;
    // The queue goes on, and the next text prints alone.
    const std::string file = Text("notes.txt", "after\n");
    ASSERT_FALSE(cupsd_.Print("Receipt", file).empty());
    ASSERT_TRUE(cupsd_.WaitQueueEmpty("Receipt"));
    EXPECT_EQ(printer.Drain(), PrintCommandBytes("print " + file));
}

TEST_F(CupsQueue, AnotherSchedulerPrintsToTheSharedQueueOverIpp) {
    PtyPrinter printer;
    ASSERT_TRUE(cupsd_.AddQueue("Receipt", "tallyroll:" + printer.path()));
    ASSERT_EQ(cupsd_.Client("lpadmin -p Receipt -o printer-is-shared=true").status, 0);
    PrivateCupsd office;
    ASSERT_TRUE(office.running()) << office.log();
    ASSERT_TRUE(office.AddQueue("Relay", "ipp://localhost:" + std::to_string(cupsd_.port()) +
                                             "/printers/Receipt"));
    const std::string file = Text("notes.txt", "Caf\xE9 over the network\n");
    ASSERT_FALSE(office.Print("Relay", file, "-o Width=2 -o Underline=True").empty());
    ASSERT_TRUE(office.WaitQueueEmpty("Relay")) << office.log();
    ASSERT_TRUE(cupsd_.WaitQueueEmpty("Receipt"));
    EXPECT_EQ(printer.Drain(), PrintCommandBytes("print -w 2 -u " + file));
}

TEST(CupsDevices, LpinfoListsThePrintersTheBackendFinds) {
    if (!cups_test::SchedulerInstalled()) {
        GTEST_SKIP() << "cupsd is not installed (tools/deps.sh installs it)";
    }
    const TempFolder byId{"tallyroll-cups-by-id"};
    ASSERT_EQ(::symlink("/dev/null", (byId.path() + "/usb-Maker_Roll-if00").c_str()), 0);
    const PrivateCupsd cupsd("SetEnv TALLYROLL_SERIAL_BY_ID " + byId.path() + "\n");
    ASSERT_TRUE(cupsd.running()) << cupsd.log();
    const std::string devices = cupsd.Client("lpinfo -l -v --include-schemes tallyroll").output;
    EXPECT_NE(devices.find("uri = tallyroll:" + byId.path() + "/usb-Maker_Roll-if00"),
              std::string::npos)
        << devices;
    EXPECT_NE(devices.find("make-and-model = Tallyroll serial printer"), std::string::npos)
        << devices;
    // What the add-a-printer dialogs offer for it: our PPD.
    EXPECT_NE(cupsd.Client("lpinfo -m --make-and-model 'Tallyroll serial printer'")
                  .output.find("tallyroll.ppd Tallyroll serial printer"),
              std::string::npos);
}

} // namespace
