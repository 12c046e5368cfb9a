// A real folder under the system's temporary folder for one test, removed
// with everything in it when the test ends.
#pragma once

#include <string>

namespace testing_support {

class TempFolder {
public:
    // prefix names the folder (prefix-XXXXXX), so that a leftover says whose
    // it was.
    explicit TempFolder(const std::string& prefix = "tallyroll-test");
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    // Creates a file (and the folders before it) relative to the root.
    void file(const std::string& relative, const std::string& content = "text\n") const;
    void folder(const std::string& relative) const;

private:
    std::string path_;
};

// Creates an empty file at path, or empties the one there.
void TouchFile(const std::string& path);

} // namespace testing_support
