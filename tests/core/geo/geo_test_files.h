// Temporary folders and raw files for the reader and search tests: every test writes its own
// CP932 fixtures byte for byte, so no test depends on files outside the source tree.
#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace zentorak::testing {

class TempFolder {
public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "zentorak-geo-XXXXXX");
        path_ = mkdtemp(pattern.data()) ? pattern : std::string();
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    // Writes the bytes as they are and returns the file's path.
    std::string Write(const std::string& name, const std::string& bytes) const {
        std::string file = path_ + "/" + name;
        std::ofstream(file, std::ios::binary) << bytes;
        return file;
    }

private:
    std::string path_;
};

}  // namespace zentorak::testing
