// A fresh empty folder for a test, removed with everything in it at the end of the scope. Paths are
// handed out as the wide, backslash-separated strings the product's file calls take on both builds.
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
        std::random_device seed;
        path_ = std::filesystem::temp_directory_path() / ("lumenpad-test-" + std::to_string(seed()));
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder itself, or a name inside it ("a\b.txt" style).
    std::wstring Wide(const std::wstring& name = L"") const {
#ifdef _WIN32
        std::wstring base = path_.wstring();
#else
        std::wstring base = Utf8ToWide(path_.string());
#endif
        return name.empty() ? base : base + L"\\" + name;
    }
    std::filesystem::path Path(const std::wstring& name) const {
        return Native(Wide(name));
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

    static std::filesystem::path Native(const std::wstring& wide) {
#ifdef _WIN32
        return std::filesystem::path(wide);
#else
        std::string utf8 = WideToUtf8(wide);
        for (char& c : utf8)
            if (c == '\\') c = '/';
        return std::filesystem::path(utf8);
#endif
    }

private:
    std::filesystem::path path_;
};

}  // namespace lumen::test
