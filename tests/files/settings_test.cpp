// The settings text and its reader: every key written and read back, every kind of damaged file read
// into a usable record, and a randomized check that whatever is read writes back to itself.
#include "files/settings.h"

#include <gtest/gtest.h>

#include <random>

#include "files/code_page.h"
#include "files/settings_invariants.h"

namespace lumen {
namespace {

using Change = void (*)(Settings&);

Settings Changed(Change change) {
    Settings s;
    change(s);
    return s;
}

Settings Read(std::string_view bytes, Settings start = {}) {
    ParseSettings(bytes, start);
    return start;
}

struct KeyCase {
    const char* line;  // as written
    Change change;
};

const KeyCase kKeyCases[] = {
    {"font=나눔고딕\n", [](Settings& s) { s.font = L"나눔고딕"; }},
    {"size=10.5\n", [](Settings& s) { s.size = 10.5; }},
    {"weight=700\n", [](Settings& s) { s.weight = 700; }},
    {"italic=1\n", [](Settings& s) { s.italic = true; }},
    {"wrap=0\n", [](Settings& s) { s.wrap = false; }},
    {"lines=1\n", [](Settings& s) { s.lines = true; }},
    {"theme=2\n", [](Settings& s) { s.theme = 2; }},
    {"zoom=-3\n", [](Settings& s) { s.zoom = -3; }},
    {"restore=0\n", [](Settings& s) { s.restore = false; }},
    {"dwrite=1\n", [](Settings& s) { s.dwrite = true; }},
    {"max=1\n", [](Settings& s) { s.max = true; }},
    {"rect=-8,10,1930,2147483647\n",
     [](Settings& s) {
         s.rect = {-8, 10, 1930, 2147483647};
     }},
    {"caretline=0\n", [](Settings& s) { s.caretline = false; }},
    {"ws=1\n", [](Settings& s) { s.ws = true; }},
    {"eolmark=1\n", [](Settings& s) { s.eolmark = true; }},
    {"pastend=1\n", [](Settings& s) { s.pastend = true; }},
    {"autoindent=0\n", [](Settings& s) { s.autoindent = false; }},
    {"spaces=1\n", [](Settings& s) { s.spaces = true; }},
    {"topmost=1\n", [](Settings& s) { s.topmost = true; }},
    {"tab=8\n", [](Settings& s) { s.tab = 8; }},
    {"neweol=2\n", [](Settings& s) { s.neweol = 2; }},
    {"newenc=1\n", [](Settings& s) { s.newenc = 1; }},
    {"autosave=1\n", [](Settings& s) { s.autosave = true; }},
    {"keeplast=1\n", [](Settings& s) { s.keeplast = true; }},
    {"hint=0\n", [](Settings& s) { s.hint = false; }},
    {"count=2\n", [](Settings& s) { s.count = 2; }},
    {"accent=6\n", [](Settings& s) { s.accent = 6; }},
    {"recent=C:\\메모\\a b.txt\nrecent=D:\\\xF0\x9F\x98\x80.md\n",
     [](Settings& s) {
         s.recent = {L"C:\\메모\\a b.txt", Utf8ToWide("D:\\\xF0\x9F\x98\x80.md")};
     }},
};

TEST(SettingsText, DefaultsInFileOrder) {
    EXPECT_EQ(SettingsText(Settings{}),
              "font=Malgun Gothic\nsize=11\nweight=400\nitalic=0\n"
              "wrap=1\nlines=0\ntheme=0\nzoom=0\nrestore=1\ndwrite=0\nmax=0\nrect=0,0,0,0\n"
              "caretline=1\nws=0\neolmark=0\npastend=0\nautoindent=1\nspaces=0\ntopmost=0\ntab=4\n"
              "neweol=0\nnewenc=0\nautosave=0\nkeeplast=0\nhint=1\ncount=0\naccent=0\n");
}

TEST(SettingsText, EveryKeyWritesItsLineAndReadsBack) {
    Settings all;
    for (const KeyCase& c : kKeyCases) {
        const Settings changed = Changed(c.change);
        const std::string text = SettingsText(changed);
        EXPECT_NE(text.find(c.line), std::string::npos) << c.line;
        EXPECT_EQ(Read(text), changed) << c.line;
        // The line alone changes just its field.
        EXPECT_EQ(Read(c.line), changed) << c.line;
        c.change(all);
    }
    EXPECT_EQ(Read(SettingsText(all)), all);
}

struct ReadCase {
    const char* name;
    std::string bytes;
    Change expected;  // applied to the defaults
};

TEST(ParseSettings, DamagedFilesGiveUsableRecords) {
    const Change sampleChange = [](Settings& s) {
        s.font = L"Consolas", s.tab = 8, s.wrap = false, s.recent = {L"C:\\a.txt"};
    };
    const std::string sample = SettingsText(Changed(sampleChange));
    std::string crlf;
    for (char c : sample)
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    std::string twelveRecent;
    for (int i = 0; i < 12; ++i)
        twelveRecent += "recent=f" + std::to_string(i) + "\n";

    const ReadCase cases[] = {
        {"empty file", "", [](Settings&) {}},
        {"binary garbage", std::string("\x00\xFF\x7F\x80\n\x01=\x02\n==\n\xC3", 12), [](Settings&) {}},
        {"CRLF line ends", crlf, sampleChange},
        {"byte-order mark", "\xEF\xBB\xBF" + sample, sampleChange},
        {"CR-only line ends: one line", "tab=8\rwrap=0\r", [](Settings& s) { s.tab = 8; }},
        {"last line without LF", "wrap=0\ntab=8", [](Settings& s) { s.wrap = false, s.tab = 8; }},
        {"two CRs before LF keep one", "font=Arial\r\r\n", [](Settings&) {}},
        {"invalid UTF-8 in the font", "font=A\xFF\xC3z\n", [](Settings& s) { s.font = L"A\xFFFD\xFFFDz"; }},
        {"key twice: last wins", "tab=2\ntab=8\n", [](Settings& s) { s.tab = 8; }},
        {"twelve recent files keep ten", twelveRecent,
         [](Settings& s) {
             for (int i = 0; i < 10; ++i)
                 s.recent.push_back(L"f" + std::to_wstring(i));
         }},
        {"empty recent ignored", "recent=\nrecent=x\n", [](Settings& s) { s.recent = {L"x"}; }},
        {"keys are exact", "Tab=8\n tab=8\ntab =8\n=8\nunknown=1\nno equals sign\n", [](Settings&) {}},
        {"value keeps later equals signs", "tab=8=2\n", [](Settings& s) { s.tab = 8; }},
        {"no trimming of values", "tab= 8\nwrap= 1\n", [](Settings& s) { s.wrap = false; }},
        {"digits up to the first other", "weight=700px\nzoom=-3x\ntheme=+1\n",
         [](Settings& s) { s.weight = 700, s.zoom = -3; }},
        {"not numbers", "wrap=yes\nhint=no\nsize=big\nweight=bold\n",
         [](Settings& s) { s.wrap = false, s.hint = false; }},
        {"overflow stops at the range", "zoom=99999999999999999999\ntheme=-99999999999\n",
         [](Settings& s) { s.zoom = 2147483647, s.theme = -2147483647 - 1; }},
        {"size 10.75 and tab 3", "size=10.75\ntab=3\n", [](Settings& s) { s.size = 10.5; }},
        {"size rounds to half points", "size=10.3\n", [](Settings& s) { s.size = 10.5; }},
        {"size rounds down", "size=10.2\n", [](Settings& s) { s.size = 10.0; }},
        {"size just inside", "size=71.8\n", [](Settings& s) { s.size = 72.0; }},
        {"size above 72, last line wins", "size=100\nsize=72.1\n", [](Settings&) {}},
        {"size negative", "size=-10.5\n", [](Settings&) {}},
        {"size 5.9", "size=5.9\n", [](Settings&) {}},
        {"size 6", "size=6\n", [](Settings& s) { s.size = 6.0; }},
        {"size dot without digit", "size=9.x5\n", [](Settings& s) { s.size = 9.0; }},
        {"weight out of range", "weight=950\n", [](Settings&) {}},
        {"weight below", "weight=99\n", [](Settings&) {}},
        {"accent and count clamped", "accent=9\ncount=-1\n", [](Settings& s) { s.accent = 6; }},
        {"count above", "count=3\naccent=-2\n", [](Settings& s) { s.count = 2; }},
        {"neweol 1 is not CR-only", "neweol=1\nnewenc=2\n", [](Settings&) {}},
        {"rect with three pieces ignored", "rect=1,2,3,4\nrect=10,20,300\n",
         [](Settings& s) {
             s.rect = {1, 2, 3, 4};
         }},
        {"rect with five pieces", "rect=1,2,3,4,5\n",
         [](Settings& s) {
             s.rect = {1, 2, 3, 4};
         }},
        {"rect with empty pieces", "rect=1,2,3,4\nrect=,,,\n", [](Settings& s) { s.rect = {}; }},
        {"empty font", "font=\n", [](Settings&) {}},
        {"font too long for a face name", "font=Consolas\nfont=" + std::string(32, 'x') + "\n",
         [](Settings& s) { s.font = L"Consolas"; }},
        {"font of 31 units", "font=" + std::string(31, 'x') + "\n",
         [](Settings& s) { s.font = std::wstring(31, L'x'); }},
        {"control character in a path", "recent=a\tb\nrecent=c\n", [](Settings& s) { s.recent = {L"c"}; }},
        {"truncated mid-key", sample.substr(0, sample.find("tab=8") + 3),
         [](Settings& s) { s.font = L"Consolas", s.wrap = false; }},
    };
    for (const ReadCase& c : cases)
        EXPECT_EQ(Read(c.bytes), Changed(c.expected)) << c.name;
}

TEST(ParseSettings, KeysMissingFromTheFileKeepTheirValues) {
    Settings start = Changed([](Settings& s) { s.theme = 3, s.recent = {L"old"}; });
    EXPECT_EQ(Read("zoom=2\nrecent=new\n", start), Changed([](Settings& s) {
                  s.theme = 3, s.zoom = 2, s.recent = {L"old", L"new"};
              }));
}

TEST(ParseSettings, HundredMegabytesAreReadToTheEnd) {
    // Huge lines of every kind, then one ordinary line that must still be seen.
    std::string bytes;
    bytes.reserve(101u << 20);
    const char* heads[] = {"font=", "recent=", "size=", "junk", "rect="};
    for (int i = 0; bytes.size() < (100u << 20); ++i) {
        bytes += heads[i % 5];
        bytes.append(1u << 20, i % 2 ? '7' : 'x');
        bytes += '\n';
    }
    bytes += "tab=8\n";
    Settings got = Read(bytes);
    EXPECT_EQ(got.tab, 8);
    EXPECT_EQ(got.font, L"Malgun Gothic");
    EXPECT_TRUE(got.recent.empty());
    EXPECT_EQ(test::SettingsFault(got), "");
}

TEST(ParseSettings, RandomBytesGiveRecordsThatReadBackAsWritten) {
    // Text assembled from the pieces the reader cares about, so most lines reach a key.
    const char* pieces[] = {"font",
                            "size",
                            "weight",
                            "tab",
                            "rect",
                            "recent",
                            "accent",
                            "count",
                            "neweol",
                            "newenc",
                            "zoom",
                            "=",
                            "=",
                            "-",
                            ".",
                            ",",
                            "\r",
                            "\n",
                            "\n",
                            "0",
                            "1",
                            "2",
                            "5",
                            "9",
                            "72",
                            "6.",
                            "99999999999",
                            "\xEF\xBB\xBF",
                            "\xFF",
                            "\xE2\x82",
                            "\xED\xA0\x80",
                            "\xF0\x9F\x98\x80",
                            "\t",
                            " ",
                            "x",
                            "가"};
    std::mt19937 rng(20240611);
    for (int round = 0; round < 3000; ++round) {
        std::string bytes;
        const int count = static_cast<int>(rng() % 60);
        for (int i = 0; i < count; ++i)
            bytes += pieces[rng() % std::size(pieces)];
        const Settings got = Read(bytes);
        ASSERT_EQ(test::SettingsFault(got), "") << "input: " << bytes;
    }
}

}  // namespace
}  // namespace lumen
