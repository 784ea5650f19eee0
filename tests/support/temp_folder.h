// A fresh empty folder for a test, removed with everything in it at the end of the scope. Names are
// the wide, backslash-separated paths the product's file calls take on both builds.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "files/code_page.h"

namespace lumen::test {

class TempFolder {
public:
    TempFolder() {
        path_ = std::filesystem::temp_directory_path() /
                ("lumenpad-test-" + std::to_string(std::random_device()()));
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder itself, or a name inside it ("a\b.txt").
    std::wstring Wide(const std::wstring& name = L"") const {
#ifdef _WIN32
        const std::wstring base = path_.wstring();
#else
        const std::wstring base = Utf8ToWide(path_.string());
#endif
        return name.empty() ? base : base + L"\\" + name;
    }
    std::filesystem::path Path(const std::wstring& name) const {
#ifdef _WIN32
        return Wide(name);
#else
        std::string utf8 = WideToUtf8(Wide(name));
        for (char& c : utf8)
            if (c == '\\') c = '/';
        return utf8;
#endif
    }

    bool Exists(const std::wstring& name) const {
        return std::filesystem::exists(Path(name));
    }
    void Write(const std::wstring& name, const std::string& bytes) const {
        std::ofstream(Path(name), std::ios::binary) << bytes;
    }
    std::string Read(const std::wstring& name) const {
        std::ifstream in(Path(name), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

private:
    std::filesystem::path path_;
};

}  // namespace lumen::test
