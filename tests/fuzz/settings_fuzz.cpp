// libFuzzer target for the settings reader: any bytes must give a record whose every field is in
// range and which reads back as it is written, whatever record the bytes are read onto.
// Built and run by scripts/fuzz.sh (not part of the test program).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "files/settings.h"
#include "files/settings_invariants.h"

namespace {

void Check(const lumen::Settings& s, const char* start) {
    const std::string fault = lumen::test::SettingsFault(s);
    if (fault.empty()) return;
    std::fprintf(stderr, "settings fault (%s start): %s\n", start, fault.c_str());
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    lumen::Settings fresh;
    lumen::ParseSettings(bytes, fresh);
    Check(fresh, "default");

    // A record that was already loaded once, with some recent files, as a second read would find it.
    lumen::Settings loaded;
    loaded.size = 20.5, loaded.tab = 2, loaded.font = L"Consolas";
    loaded.recent = {L"C:\\a.txt", L"C:\\b.txt", L"C:\\c.txt"};
    lumen::ParseSettings(bytes, loaded);
    Check(loaded, "loaded");
    return 0;
}
