// The settings text and its reader: every key written and read back, every kind of damaged file read
// into a usable record, and random bytes whose record writes back to itself.
#include "files/settings.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "files/code_page.h"
#include "files/settings_invariants.h"

namespace lumen {
namespace {

Settings Read(std::string_view bytes, Settings start = {}) {
    ParseSettings(bytes, start);
    return start;
}

TEST(SettingsText, EveryKeyInFileOrderReadsBack) {
    Settings s;  // every field away from its default
    s.font = L"나눔고딕", s.size = 10.5, s.weight = 700, s.italic = true, s.wrap = false, s.lines = true;
    s.theme = 2, s.zoom = -3, s.restore = false, s.dwrite = true, s.max = true,
    s.rect = {-8, 10, 1930, 2147483647};
    s.caretline = false, s.ws = s.eolmark = s.pastend = true, s.autoindent = false,
    s.spaces = s.topmost = true;
    s.tab = 8, s.neweol = 2, s.newenc = 1, s.autosave = s.keeplast = true, s.hint = false, s.count = 2,
    s.accent = 6;
    s.recent = {L"C:\\메모\\a b.txt", Utf8ToWide("D:\\\xF0\x9F\x98\x80.md")};
    const std::string text =
        "font=나눔고딕\nsize=10.5\nweight=700\nitalic=1\nwrap=0\nlines=1\ntheme=2\nzoom=-3\nrestore="
        "0\ndwrite=1\n"
        "max=1\nrect=-8,10,1930,2147483647\ncaretline=0\nws=1\neolmark=1\npastend=1\nautoindent=0\nspaces=1\n"
        "topmost=1\ntab=8\nneweol=2\nnewenc=1\nautosave=1\nkeeplast=1\nhint=0\ncount=2\naccent=6\n"
        "recent=C:\\메모\\a b.txt\nrecent=D:\\\xF0\x9F\x98\x80.md\n";
    EXPECT_EQ(SettingsText(s), text);
    EXPECT_EQ(Read(text), s);
    EXPECT_EQ(Read(SettingsText(Settings{})), Settings{});
}

struct ReadCase {
    const char* bytes;
    const char* expected;  // the record these canonical lines give; "" for the defaults
};

TEST(ParseSettings, DamagedFilesGiveUsableRecords) {
    const ReadCase cases[] = {
        {"", ""},  // empty file
        {"\x01=\x02\n==\n\xFF\x80\n\xC3", ""},
        {"\xEF\xBB\xBF"
         "tab=8\r\nwrap=0\r\n",
         "tab=8\nwrap=0\n"},                                         // mark, CR LF
        {"tab=8\rwrap=0\r", "tab=8\n"},                              // CR alone ends no line
        {"wrap=0\ntab=8", "wrap=0\ntab=8\n"},                        // no final LF
        {"font=Arial\r\r\n", ""},                                    // one CR dropped, the other refused
        {"font=A\xFF\xC3z\n", "font=A\xEF\xBF\xBD\xEF\xBF\xBDz\n"},  // invalid UTF-8
        {"tab=2\ntab=8\n", "tab=8\n"},
        {"recent=\nrecent=x\nrecent=a\tb\n", "recent=x\n"},
        {"Tab=8\n tab=8\ntab =8\n=8\nunknown=1\nno equals\n", ""},
        {"tab=8=2\ntheme= 8\nwrap= 1\n", "tab=8\nwrap=0\n"},  // no trimming
        {"weight=700px\nzoom=-3x\ntheme=+1\nhint=no\nsize=big\n", "weight=700\nzoom=-3\nhint=0\n"},
        {"zoom=99999999999999999999\ntheme=-99999999999\n", "zoom=2147483647\ntheme=-2147483648\n"},
        {"size=10.75\ntab=3\n", "size=10.5\n"},
        {"size=10.3\nweight=99\n", "size=10.5\n"},
        {"size=10.2\nweight=950\n", "size=10\n"},
        {"size=71.8\n", "size=72\n"},
        {"size=6\n", "size=6\n"},
        {"size=9.x5\n", "size=9\n"},
        {"size=5.9\n", ""},
        {"size=100\n", ""},
        {"size=-10.5\n", ""},
        {"size=72.1\n", ""},
        {"accent=9\ncount=-1\n", "accent=6\n"},
        {"accent=-2\ncount=3\n", "count=2\n"},
        {"neweol=1\nnewenc=2\n", ""},
        {"rect=1,2,3,4\nrect=10,20,300\n", "rect=1,2,3,4\n"},
        {"rect=1,2,3,4,5\n", "rect=1,2,3,4\n"},
        {"rect=1,2,3,4\nrect=,,,\n", ""},
        {"font=Consolas\nfont=\n", ""},
        {"font=Consolas\nfont=xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx\n", "font=Consolas\n"},  // 32: no face name
        {"font=xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx\n", "font=xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx\n"},
        {"wrap=0\ntab", "wrap=0\n"},  // cut short
    };
    for (const ReadCase& c : cases)
        EXPECT_EQ(Read(c.bytes), Read(c.expected)) << c.bytes;

    std::string twelve;
    for (int i = 0; i < 12; ++i)
        twelve += "recent=f" + std::to_string(i) + "\n";
    EXPECT_EQ(Read(twelve).recent.size(), kMaxRecentFiles);
    EXPECT_EQ(Read(twelve).recent.back(), L"f9");
    // Keys missing from the file keep what the record held; "recent" appends.
    Settings start;
    start.theme = 3, start.recent = {L"old"};
    const Settings got = Read("recent=new\n", start);
    EXPECT_EQ(got.theme, 3);
    EXPECT_EQ(got.recent, (std::vector<std::wstring>{L"old", L"new"}));
}

TEST(ParseSettings, HundredMegabytesAreReadToTheEnd) {
    std::string bytes;
    bytes.reserve(101u << 20);
    const char* heads[] = {"font=", "recent=", "size=", "junk", "rect="};
    for (int i = 0; bytes.size() < (100u << 20); ++i)
        bytes.append(heads[i % 5]).append(1u << 20, i % 2 ? '7' : 'x').append("\n");
    EXPECT_EQ(Read(bytes.append("tab=8\n")), Read("tab=8\n"));
}

TEST(ParseSettings, RandomBytesGiveRecordsThatReadBackAsWritten) {
    // Keys, separators, numbers and awkward bytes, split at '|'.
    std::vector<std::string> pieces;
    std::istringstream list(
        "font|size|weight|tab|rect|recent|accent|count|neweol|newenc|zoom|=|=|-|.|,|\r|\n|\n|0|1|"
        "2|5|9|72|6.|99999999999|\xEF\xBB\xBF|\xFF|\xE2\x82|\xED\xA0\x80|\xF0\x9F\x98\x80|\t| |x|가");
    for (std::string piece; std::getline(list, piece, '|');)
        pieces.push_back(piece);
    std::mt19937 rng(20240611);
    for (int round = 0; round < 3000; ++round) {
        std::string bytes;
        for (int i = static_cast<int>(rng() % 60); i > 0; --i)
            bytes += pieces[rng() % pieces.size()];
        ASSERT_EQ(test::SettingsFault(Read(bytes)), "") << "input: " << bytes;
    }
}

}  // namespace
}  // namespace lumen
