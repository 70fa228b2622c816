#include "support/temp_folder.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace vorlax::testing {

namespace fs = std::filesystem;

TempFolder::TempFolder() {
    std::string pattern = (fs::temp_directory_path() / "vorlax-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot make a temp folder");
    path_ = pattern;
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

void TempFolder::CopyAssets() const {
    for (const auto& entry : fs::directory_iterator(VORLAX_ASSET_DIR)) {
        const std::string ext = entry.path().extension().string();
        if (ext == ".bmp" || entry.path().filename() == "Hiscore.txt") {
            fs::copy_file(entry.path(), path_ / entry.path().filename(),
                          fs::copy_options::overwrite_existing);
        }
    }
}

void TempFolder::Write(const std::string& name, const std::string& bytes) const {
    std::ofstream out(path_ / name, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::string TempFolder::Read(const std::string& name) const {
    std::ifstream in(path_ / name, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

void TempFolder::Remove(const std::string& name) const {
    fs::remove(path_ / name);
}

}  // namespace vorlax::testing
