#pragma once

#include "tests/support/temp_folder.h"
#include "tests/tools/vprinter/json_reader.h"

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace vprinter::test {

// A scratch folder, removed with everything in it at the end of the test.
class ScratchDir : public testing_support::TempFolder {
public:
    ScratchDir() : TempFolder("vprinter") {}
    std::string operator/(const std::string& name) const { return path() + "/" + name; }
};

// Where a printer under test keeps its things: its device table, event log
// and output in a scratch folder, and the link it makes for COM7.
struct PrinterFiles {
    ScratchDir dir;
    std::string table = dir / "devices";
    std::string events = dir / "events.jsonl";
    std::string output = dir / "output.txt";
    std::string port = table + "/COM7";
};

// tallyroll-vprinter running as a child process.
class VirtualPrinter {
public:
    // Starts the program with `args`; its standard output and error go to
    // `output`. With `as_user`, the child takes that user id first;
    // `before_exec` runs in the child just before the program replaces it.
    VirtualPrinter(const std::vector<std::string>& args, const std::string& output,
                   std::optional<uid_t> as_user = std::nullopt,
                   const std::function<void()>& before_exec = {});
    ~VirtualPrinter();

    // Its exit status, waiting at most `limit`; -1 if it had to be killed.
    int wait(std::chrono::milliseconds limit = std::chrono::seconds(10));
    void stop(); // SIGTERM
    pid_t pid() const { return pid_; }

private:
    pid_t pid_ = -1;
    std::optional<int> status_;
};

std::string program_path();
std::string read_text(const std::string& path);

// The complete lines of a JSON-lines file being written; a line still
// being written is left out.
std::vector<Json> read_events(const std::string& path);

// Re-reads the events until `done` holds for them, for at most ten seconds.
std::vector<Json> wait_for_events(const std::string& path,
                                  const std::function<bool(const std::vector<Json>&)>& done);

std::vector<Json> of_kind(const std::vector<Json>& events, const std::string& kind);

} // namespace vprinter::test
