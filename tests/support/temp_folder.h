// A temporary folder that removes itself, optionally filled with the game's assets.
#pragma once

#include <filesystem>
#include <string>

namespace vorlax::testing {

class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::string File(const std::string& name) const { return (path_ / name).string(); }
    // Copies the 26 bitmaps and Hiscore.txt from the project's assets folder.
    void CopyAssets() const;
    void Write(const std::string& name, const std::string& bytes) const;
    std::string Read(const std::string& name) const;
    void Remove(const std::string& name) const;

  private:
    std::filesystem::path path_;
};

}  // namespace vorlax::testing
