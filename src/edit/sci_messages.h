// Message and notification numbers of the QuillEdit control. They follow the numbering of the
// published SCI editing-component interface, so a host written against that interface drives this
// control unchanged; the names are that interface's public names.
#pragma once

#include <cstdint>

#include "edit/search.h"

namespace quill {

// ---- private messages ------------------------------------------------------------------------
// The range of numbers the message handler answers (unknown ones in it return 0).
inline constexpr unsigned kFirstSciMessage = 2000;
inline constexpr unsigned kLastSciMessage = 4999;
inline constexpr unsigned QM_SETHINTTEXT = 9001;
inline constexpr unsigned QM_DELIVERUPDATEUI = 0x7E01;  // posted to itself
inline constexpr unsigned QM_TESTHOOK = 0x7E02;         // input-method test hook (QUILLEDIT_TEST)

// ---- text and document -----------------------------------------------------------------------
inline constexpr unsigned SCI_ADDTEXT = 2001;
inline constexpr unsigned SCI_INSERTTEXT = 2003;
inline constexpr unsigned SCI_CLEARALL = 2004;
inline constexpr unsigned SCI_GETLENGTH = 2006;
inline constexpr unsigned SCI_GETCHARAT = 2007;
inline constexpr unsigned SCI_GETCURRENTPOS = 2008;
inline constexpr unsigned SCI_GETANCHOR = 2009;
inline constexpr unsigned SCI_REDO = 2011;
inline constexpr unsigned SCI_SETUNDOCOLLECTION = 2012;
inline constexpr unsigned SCI_SELECTALL = 2013;
inline constexpr unsigned SCI_SETSAVEPOINT = 2014;
inline constexpr unsigned SCI_CANREDO = 2016;
inline constexpr unsigned SCI_GETUNDOCOLLECTION = 2019;
inline constexpr unsigned SCI_GETVIEWWS = 2020;
inline constexpr unsigned SCI_SETVIEWWS = 2021;
inline constexpr unsigned SCI_POSITIONFROMPOINT = 2022;
inline constexpr unsigned SCI_POSITIONFROMPOINTCLOSE = 2023;
inline constexpr unsigned SCI_GOTOLINE = 2024;
inline constexpr unsigned SCI_GOTOPOS = 2025;
inline constexpr unsigned SCI_SETANCHOR = 2026;
inline constexpr unsigned SCI_GETCURLINE = 2027;
inline constexpr unsigned SCI_CONVERTEOLS = 2029;
inline constexpr unsigned SCI_GETEOLMODE = 2030;
inline constexpr unsigned SCI_SETEOLMODE = 2031;
inline constexpr unsigned SCI_SETTABWIDTH = 2036;
inline constexpr unsigned SCI_GETTEXTRANGEFULL = 2039;
inline constexpr unsigned SCI_STYLECLEARALL = 2050;
inline constexpr unsigned SCI_STYLESETFORE = 2051;
inline constexpr unsigned SCI_STYLESETBACK = 2052;
inline constexpr unsigned SCI_STYLESETBOLD = 2053;
inline constexpr unsigned SCI_STYLESETITALIC = 2054;
inline constexpr unsigned SCI_STYLESETSIZE = 2055;
inline constexpr unsigned SCI_STYLESETFONT = 2056;
inline constexpr unsigned SCI_STYLERESETDEFAULT = 2058;
inline constexpr unsigned SCI_STYLESETSIZEFRACTIONAL = 2061;
inline constexpr unsigned SCI_STYLEGETSIZEFRACTIONAL = 2062;
inline constexpr unsigned SCI_STYLESETWEIGHT = 2063;
inline constexpr unsigned SCI_STYLEGETWEIGHT = 2064;
inline constexpr unsigned SCI_SETSELBACK = 2068;
inline constexpr unsigned SCI_SETCARETFORE = 2069;
inline constexpr unsigned SCI_GETCARETPERIOD = 2075;
inline constexpr unsigned SCI_SETCARETPERIOD = 2076;
inline constexpr unsigned SCI_BEGINUNDOACTION = 2078;
inline constexpr unsigned SCI_ENDUNDOACTION = 2079;
inline constexpr unsigned SCI_INDICSETSTYLE = 2080;
inline constexpr unsigned SCI_INDICGETSTYLE = 2081;
inline constexpr unsigned SCI_INDICSETFORE = 2082;
inline constexpr unsigned SCI_INDICGETFORE = 2083;
inline constexpr unsigned SCI_GETCARETLINEVISIBLE = 2095;
inline constexpr unsigned SCI_SETCARETLINEVISIBLE = 2096;
inline constexpr unsigned SCI_SETCARETLINEBACK = 2098;
inline constexpr unsigned SCI_GETTABWIDTH = 2121;
inline constexpr unsigned SCI_SETINDENT = 2122;
inline constexpr unsigned SCI_GETINDENT = 2123;
inline constexpr unsigned SCI_SETUSETABS = 2124;
inline constexpr unsigned SCI_GETUSETABS = 2125;
inline constexpr unsigned SCI_SETLINEINDENTATION = 2126;
inline constexpr unsigned SCI_GETLINEINDENTATION = 2127;
inline constexpr unsigned SCI_GETLINEINDENTPOSITION = 2128;
inline constexpr unsigned SCI_GETCOLUMN = 2129;
inline constexpr unsigned SCI_SETHSCROLLBAR = 2130;
inline constexpr unsigned SCI_GETHSCROLLBAR = 2131;
inline constexpr unsigned SCI_GETLINEENDPOSITION = 2136;
inline constexpr unsigned SCI_GETCODEPAGE = 2137;
inline constexpr unsigned SCI_GETREADONLY = 2140;
inline constexpr unsigned SCI_SETCURRENTPOS = 2141;
inline constexpr unsigned SCI_SETSELECTIONSTART = 2142;
inline constexpr unsigned SCI_GETSELECTIONSTART = 2143;
inline constexpr unsigned SCI_SETSELECTIONEND = 2144;
inline constexpr unsigned SCI_GETSELECTIONEND = 2145;
inline constexpr unsigned SCI_FINDTEXT = 2150;
inline constexpr unsigned SCI_GETFIRSTVISIBLELINE = 2152;
inline constexpr unsigned SCI_GETLINE = 2153;
inline constexpr unsigned SCI_GETLINECOUNT = 2154;
inline constexpr unsigned SCI_SETMARGINLEFT = 2155;
inline constexpr unsigned SCI_GETMARGINLEFT = 2156;
inline constexpr unsigned SCI_SETMARGINRIGHT = 2157;
inline constexpr unsigned SCI_GETMARGINRIGHT = 2158;
inline constexpr unsigned SCI_GETMODIFY = 2159;
inline constexpr unsigned SCI_SETSEL = 2160;
inline constexpr unsigned SCI_GETSELTEXT = 2161;
inline constexpr unsigned SCI_GETTEXTRANGE = 2162;
inline constexpr unsigned SCI_POINTXFROMPOSITION = 2164;
inline constexpr unsigned SCI_POINTYFROMPOSITION = 2165;
inline constexpr unsigned SCI_LINEFROMPOSITION = 2166;
inline constexpr unsigned SCI_POSITIONFROMLINE = 2167;
inline constexpr unsigned SCI_LINESCROLL = 2168;
inline constexpr unsigned SCI_SCROLLCARET = 2169;
inline constexpr unsigned SCI_REPLACESEL = 2170;
inline constexpr unsigned SCI_SETREADONLY = 2171;
inline constexpr unsigned SCI_CANPASTE = 2173;
inline constexpr unsigned SCI_CANUNDO = 2174;
inline constexpr unsigned SCI_EMPTYUNDOBUFFER = 2175;
inline constexpr unsigned SCI_UNDO = 2176;
inline constexpr unsigned SCI_CUT = 2177;
inline constexpr unsigned SCI_COPY = 2178;
inline constexpr unsigned SCI_PASTE = 2179;
inline constexpr unsigned SCI_CLEAR = 2180;
inline constexpr unsigned SCI_SETTEXT = 2181;
inline constexpr unsigned SCI_GETTEXT = 2182;
inline constexpr unsigned SCI_GETTEXTLENGTH = 2183;
inline constexpr unsigned SCI_SETOVERTYPE = 2186;
inline constexpr unsigned SCI_GETOVERTYPE = 2187;
inline constexpr unsigned SCI_SETCARETWIDTH = 2188;
inline constexpr unsigned SCI_GETCARETWIDTH = 2189;
inline constexpr unsigned SCI_SETTARGETSTART = 2190;
inline constexpr unsigned SCI_GETTARGETSTART = 2191;
inline constexpr unsigned SCI_SETTARGETEND = 2192;
inline constexpr unsigned SCI_GETTARGETEND = 2193;
inline constexpr unsigned SCI_REPLACETARGET = 2194;
inline constexpr unsigned SCI_FINDTEXTFULL = 2196;
inline constexpr unsigned SCI_SEARCHINTARGET = 2197;
inline constexpr unsigned SCI_SETSEARCHFLAGS = 2198;
inline constexpr unsigned SCI_GETSEARCHFLAGS = 2199;
inline constexpr unsigned SCI_VISIBLEFROMDOCLINE = 2220;
inline constexpr unsigned SCI_DOCLINEFROMVISIBLE = 2221;
inline constexpr unsigned SCI_WRAPCOUNT = 2235;
inline constexpr unsigned SCI_SETMARGINTYPEN = 2240;
inline constexpr unsigned SCI_GETMARGINTYPEN = 2241;
inline constexpr unsigned SCI_SETMARGINWIDTHN = 2242;
inline constexpr unsigned SCI_GETMARGINWIDTHN = 2243;
inline constexpr unsigned SCI_GETMARGINS = 2253;
inline constexpr unsigned SCI_WORDSTARTPOSITION = 2266;
inline constexpr unsigned SCI_WORDENDPOSITION = 2267;
inline constexpr unsigned SCI_SETWRAPMODE = 2268;
inline constexpr unsigned SCI_GETWRAPMODE = 2269;
inline constexpr unsigned SCI_SETSCROLLWIDTH = 2274;
inline constexpr unsigned SCI_GETSCROLLWIDTH = 2275;
inline constexpr unsigned SCI_TEXTWIDTH = 2276;
inline constexpr unsigned SCI_SETENDATLASTLINE = 2277;
inline constexpr unsigned SCI_GETENDATLASTLINE = 2278;
inline constexpr unsigned SCI_TEXTHEIGHT = 2279;
inline constexpr unsigned SCI_APPENDTEXT = 2282;
inline constexpr unsigned SCI_TARGETFROMSELECTION = 2287;
inline constexpr unsigned SCI_LINELENGTH = 2350;
inline constexpr unsigned SCI_GETVIEWEOL = 2355;
inline constexpr unsigned SCI_SETVIEWEOL = 2356;
inline constexpr unsigned SCI_GETDOCPOINTER = 2357;
inline constexpr unsigned SCI_SETDOCPOINTER = 2358;
inline constexpr unsigned SCI_SETMODEVENTMASK = 2359;
inline constexpr unsigned SCI_SEARCHNEXT = 2367;
inline constexpr unsigned SCI_SEARCHPREV = 2368;
inline constexpr unsigned SCI_LINESONSCREEN = 2370;
inline constexpr unsigned SCI_SETZOOM = 2373;
inline constexpr unsigned SCI_GETZOOM = 2374;
inline constexpr unsigned SCI_CREATEDOCUMENT = 2375;
inline constexpr unsigned SCI_ADDREFDOCUMENT = 2376;
inline constexpr unsigned SCI_RELEASEDOCUMENT = 2377;
inline constexpr unsigned SCI_GETMODEVENTMASK = 2378;
inline constexpr unsigned SCI_GETDOCUMENTOPTIONS = 2379;
inline constexpr unsigned SCI_SETFOCUS = 2380;
inline constexpr unsigned SCI_GETFOCUS = 2381;
inline constexpr unsigned SCI_SETXOFFSET = 2397;
inline constexpr unsigned SCI_GETXOFFSET = 2398;
inline constexpr unsigned SCI_CHOOSECARETX = 2399;
inline constexpr unsigned SCI_GRABFOCUS = 2400;
inline constexpr unsigned SCI_POSITIONBEFORE = 2417;
inline constexpr unsigned SCI_POSITIONAFTER = 2418;
inline constexpr unsigned SCI_FINDCOLUMN = 2456;
inline constexpr unsigned SCI_STYLEGETFORE = 2481;
inline constexpr unsigned SCI_STYLEGETBACK = 2482;
inline constexpr unsigned SCI_STYLEGETBOLD = 2483;
inline constexpr unsigned SCI_STYLEGETITALIC = 2484;
inline constexpr unsigned SCI_STYLEGETSIZE = 2485;
inline constexpr unsigned SCI_STYLEGETFONT = 2486;
inline constexpr unsigned SCI_SETINDICATORCURRENT = 2500;
inline constexpr unsigned SCI_GETINDICATORCURRENT = 2501;
inline constexpr unsigned SCI_SETINDICATORVALUE = 2502;
inline constexpr unsigned SCI_GETINDICATORVALUE = 2503;
inline constexpr unsigned SCI_INDICATORFILLRANGE = 2504;
inline constexpr unsigned SCI_INDICATORCLEARRANGE = 2505;
inline constexpr unsigned SCI_INDICATORALLONFOR = 2506;
inline constexpr unsigned SCI_INDICATORVALUEAT = 2507;
inline constexpr unsigned SCI_INDICSETUNDER = 2510;
inline constexpr unsigned SCI_INDICGETUNDER = 2511;
inline constexpr unsigned SCI_GETCHARACTERPOINTER = 2520;
inline constexpr unsigned SCI_INDICSETALPHA = 2523;
inline constexpr unsigned SCI_INDICGETALPHA = 2524;
inline constexpr unsigned SCI_SETEXTRAASCENT = 2525;
inline constexpr unsigned SCI_GETEXTRAASCENT = 2526;
inline constexpr unsigned SCI_SETEXTRADESCENT = 2527;
inline constexpr unsigned SCI_GETEXTRADESCENT = 2528;
inline constexpr unsigned SCI_SETEMPTYSELECTION = 2556;
inline constexpr unsigned SCI_INDICSETOUTLINEALPHA = 2558;
inline constexpr unsigned SCI_INDICGETOUTLINEALPHA = 2559;
inline constexpr unsigned SCI_CHARPOSITIONFROMPOINT = 2561;
inline constexpr unsigned SCI_CHARPOSITIONFROMPOINTCLOSE = 2562;
inline constexpr unsigned SCI_SCROLLRANGE = 2569;
inline constexpr unsigned SCI_GETSELECTIONS = 2570;
inline constexpr unsigned SCI_CLEARSELECTIONS = 2571;
inline constexpr unsigned SCI_GETSELECTIONNCARET = 2577;
inline constexpr unsigned SCI_GETSELECTIONNANCHOR = 2579;
inline constexpr unsigned SCI_GETSELECTIONNSTART = 2585;
inline constexpr unsigned SCI_GETSELECTIONNEND = 2587;
inline constexpr unsigned SCI_SETFIRSTVISIBLELINE = 2613;
inline constexpr unsigned SCI_VERTICALCENTRECARET = 2619;
inline constexpr unsigned SCI_SCROLLTOSTART = 2628;
inline constexpr unsigned SCI_SCROLLTOEND = 2629;
inline constexpr unsigned SCI_CREATELOADER = 2632;
inline constexpr unsigned SCI_COUNTCHARACTERS = 2633;
inline constexpr unsigned SCI_GETRANGEPOINTER = 2643;
inline constexpr unsigned SCI_GETGAPPOSITION = 2644;
inline constexpr unsigned SCI_DELETERANGE = 2645;
inline constexpr unsigned SCI_GETSELECTIONEMPTY = 2650;
inline constexpr unsigned SCI_GETCARETLINEVISIBLEALWAYS = 2654;
inline constexpr unsigned SCI_SETCARETLINEVISIBLEALWAYS = 2655;
inline constexpr unsigned SCI_POSITIONRELATIVE = 2670;
inline constexpr unsigned SCI_GETIMEINTERACTION = 2678;
inline constexpr unsigned SCI_SETTARGETRANGE = 2686;
inline constexpr unsigned SCI_GETTARGETTEXT = 2687;
inline constexpr unsigned SCI_TARGETWHOLEDOCUMENT = 2690;
inline constexpr unsigned SCI_SETELEMENTCOLOUR = 2753;
inline constexpr unsigned SCI_GETELEMENTCOLOUR = 2754;
inline constexpr unsigned SCI_RESETELEMENTCOLOUR = 2755;
inline constexpr unsigned SCI_GETELEMENTISSET = 2756;
inline constexpr unsigned SCI_REPLACETARGETMINIMAL = 2779;
inline constexpr unsigned SCI_GETDIRECTFUNCTION = 2184;
inline constexpr unsigned SCI_GETDIRECTPOINTER = 2185;

// ---- keyboard commands -----------------------------------------------------------------------
inline constexpr unsigned SCI_LINEDOWN = 2300;
inline constexpr unsigned SCI_LINEDOWNEXTEND = 2301;
inline constexpr unsigned SCI_LINEUP = 2302;
inline constexpr unsigned SCI_LINEUPEXTEND = 2303;
inline constexpr unsigned SCI_CHARLEFT = 2304;
inline constexpr unsigned SCI_CHARLEFTEXTEND = 2305;
inline constexpr unsigned SCI_CHARRIGHT = 2306;
inline constexpr unsigned SCI_CHARRIGHTEXTEND = 2307;
inline constexpr unsigned SCI_WORDLEFT = 2308;
inline constexpr unsigned SCI_WORDLEFTEXTEND = 2309;
inline constexpr unsigned SCI_WORDRIGHT = 2310;
inline constexpr unsigned SCI_WORDRIGHTEXTEND = 2311;
inline constexpr unsigned SCI_HOME = 2312;
inline constexpr unsigned SCI_HOMEEXTEND = 2313;
inline constexpr unsigned SCI_LINEEND = 2314;
inline constexpr unsigned SCI_LINEENDEXTEND = 2315;
inline constexpr unsigned SCI_DOCUMENTSTART = 2316;
inline constexpr unsigned SCI_DOCUMENTSTARTEXTEND = 2317;
inline constexpr unsigned SCI_DOCUMENTEND = 2318;
inline constexpr unsigned SCI_DOCUMENTENDEXTEND = 2319;
inline constexpr unsigned SCI_PAGEUP = 2320;
inline constexpr unsigned SCI_PAGEUPEXTEND = 2321;
inline constexpr unsigned SCI_PAGEDOWN = 2322;
inline constexpr unsigned SCI_PAGEDOWNEXTEND = 2323;
inline constexpr unsigned SCI_EDITTOGGLEOVERTYPE = 2324;
inline constexpr unsigned SCI_CANCEL = 2325;
inline constexpr unsigned SCI_DELETEBACK = 2326;
inline constexpr unsigned SCI_TAB = 2327;
inline constexpr unsigned SCI_BACKTAB = 2328;
inline constexpr unsigned SCI_NEWLINE = 2329;
inline constexpr unsigned SCI_FORMFEED = 2330;
inline constexpr unsigned SCI_VCHOME = 2331;
inline constexpr unsigned SCI_VCHOMEEXTEND = 2332;
inline constexpr unsigned SCI_ZOOMIN = 2333;
inline constexpr unsigned SCI_ZOOMOUT = 2334;
inline constexpr unsigned SCI_DELWORDLEFT = 2335;
inline constexpr unsigned SCI_DELWORDRIGHT = 2336;
inline constexpr unsigned SCI_LINECUT = 2337;
inline constexpr unsigned SCI_LINEDELETE = 2338;
inline constexpr unsigned SCI_LINETRANSPOSE = 2339;
inline constexpr unsigned SCI_LOWERCASE = 2340;
inline constexpr unsigned SCI_UPPERCASE = 2341;
inline constexpr unsigned SCI_LINESCROLLDOWN = 2342;
inline constexpr unsigned SCI_LINESCROLLUP = 2343;
inline constexpr unsigned SCI_DELETEBACKNOTLINE = 2344;
inline constexpr unsigned SCI_HOMEDISPLAY = 2345;
inline constexpr unsigned SCI_HOMEDISPLAYEXTEND = 2346;
inline constexpr unsigned SCI_LINEENDDISPLAY = 2347;
inline constexpr unsigned SCI_LINEENDDISPLAYEXTEND = 2348;
inline constexpr unsigned SCI_DELLINELEFT = 2395;
inline constexpr unsigned SCI_DELLINERIGHT = 2396;
inline constexpr unsigned SCI_LINEDUPLICATE = 2404;
inline constexpr unsigned SCI_LINEENDWRAP = 2451;
inline constexpr unsigned SCI_LINEENDWRAPEXTEND = 2452;
inline constexpr unsigned SCI_VCHOMEWRAP = 2453;
inline constexpr unsigned SCI_VCHOMEWRAPEXTEND = 2454;
inline constexpr unsigned SCI_SELECTIONDUPLICATE = 2469;
inline constexpr unsigned SCI_DELWORDRIGHTEND = 2518;

// ---- values ------------------------------------------------------------------------------------
// Search flags SCFIND_WHOLEWORD, SCFIND_MATCHCASE and SCFIND_WORDSTART: edit/search.h.

inline constexpr int SC_WRAP_NONE = 0;
inline constexpr int SC_WRAP_WORD = 1;
inline constexpr int SC_WRAP_CHAR = 2;

inline constexpr int SC_EOL_CRLF = 0;
inline constexpr int SC_EOL_CR = 1;
inline constexpr int SC_EOL_LF = 2;

inline constexpr int SC_ELEMENT_SELECTION_BACK = 11;
inline constexpr int SC_ELEMENT_SELECTION_INACTIVE_BACK = 17;
inline constexpr int SC_ELEMENT_CARET = 40;
inline constexpr int SC_ELEMENT_CARET_LINE_BACK = 50;
inline constexpr int SC_ELEMENT_WHITE_SPACE = 60;

inline constexpr int STYLE_TEXT = 0;
inline constexpr int STYLE_DEFAULT = 32;
inline constexpr int STYLE_LINENUMBER = 33;

inline constexpr uint32_t SC_MOD_INSERTTEXT = 0x1;
inline constexpr uint32_t SC_MOD_DELETETEXT = 0x2;
inline constexpr uint32_t SC_PERFORMED_USER = 0x10;
inline constexpr uint32_t SC_PERFORMED_UNDO = 0x20;
inline constexpr uint32_t SC_PERFORMED_REDO = 0x40;

inline constexpr uint32_t SC_UPDATE_CONTENT = 0x1;
inline constexpr uint32_t SC_UPDATE_SELECTION = 0x2;
inline constexpr uint32_t SC_UPDATE_V_SCROLL = 0x4;
inline constexpr uint32_t SC_UPDATE_H_SCROLL = 0x8;

inline constexpr int SC_CP_UTF8 = 65001;

// ---- notifications -----------------------------------------------------------------------------
inline constexpr unsigned SCN_CHARADDED = 2001;
inline constexpr unsigned SCN_SAVEPOINTREACHED = 2002;
inline constexpr unsigned SCN_SAVEPOINTLEFT = 2003;
inline constexpr unsigned SCN_UPDATEUI = 2007;
inline constexpr unsigned SCN_MODIFIED = 2008;
inline constexpr unsigned SCN_ZOOM = 2018;
inline constexpr unsigned SCN_FOCUSIN = 2028;
inline constexpr unsigned SCN_FOCUSOUT = 2029;

// ---- records of the range messages -----------------------------------------------------------
// 32-bit positions for the older messages, pointer-sized ones for the full forms.
struct CharacterRange32 {
    int32_t cpMin;
    int32_t cpMax;
};
struct CharacterRangeFull {
    intptr_t cpMin;
    intptr_t cpMax;
};
// SCI_GETTEXTRANGE(FULL): the range (cpMax -1 for the end) and a buffer of its length plus one.
struct TextRange32 {
    CharacterRange32 chrg;
    char* text;
};
struct TextRangeFull {
    CharacterRangeFull chrg;
    char* text;
};
// SCI_FINDTEXT(FULL): the range, the text to find, and where it was found.
struct TextToFind32 {
    CharacterRange32 chrg;
    const char* text;
    CharacterRange32 found;
};
struct TextToFindFull {
    CharacterRangeFull chrg;
    const char* text;
    CharacterRangeFull found;
};

}  // namespace quill
