// The host's plugin interface, version 1.70 (ANSI/OEM), declared here from the
// host's published records so the core never needs <windows.h>. Records keep
// the host's names and its exact layout in both Windows widths (checked
// below): a 32-bit host packs them to 2, a 64-bit host aligns them naturally and
// widens pointers, handles and its pointer-sized integers to 8 bytes. This
// header is the only place that knows the difference. A native build takes the
// 64-bit layout, so a native test host drives the same records.
//
// Do not include this header in a translation unit that also includes
// <windows.h>: the constant names (VK_F5, INVALID_HANDLE_VALUE, ...) are macros
// there.
#pragma once

#include <cstddef>
#include <cstdint>

// The host's calling conventions. 64-bit Windows has only one: there both
// attributes are accepted and change nothing.
#if defined(_WIN32)
#define PIXLOR_WINAPI __stdcall
#define PIXLOR_CDECL __cdecl
#else
#define PIXLOR_WINAPI
#define PIXLOR_CDECL
#endif

namespace pixlor {

// Fixed-width stand-ins for the Windows types of the host's header.
using FarDword = std::uint32_t; // DWORD
using FarBool = std::int32_t;   // BOOL
// The host's pointer-sized integers (intptr_t, LONG_PTR, DWORD_PTR): 4 bytes in
// a 32-bit host, 8 in a 64-bit one. A module number, a panel item's UserData or
// a dialog message's parameter never fits an int or a DWORD there.
using FarIntPtr = std::intptr_t;
using FarUIntPtr = std::uintptr_t;
using FarLong = FarIntPtr;      // the dialog procedure's "long" (LONG_PTR)
using FarLong32 = std::int32_t; // a "long" of a record: 4 bytes in both widths
using HANDLE = void*;

inline constexpr int NM = 260; // path buffer of the host's records

inline HANDLE const INVALID_HANDLE_VALUE = reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1));

// The host's packing: 2 in 32-bit Windows, natural in 64-bit Windows.
#if defined(_WIN32) && !defined(_WIN64)
#pragma pack(push, 2)
#else
#pragma pack(push, 8)
#endif

struct FarFileTime {
    FarDword dwLowDateTime;
    FarDword dwHighDateTime;
};

struct FarRect {
    std::int32_t left;
    std::int32_t top;
    std::int32_t right;
    std::int32_t bottom;
};

// WIN32_FIND_DATAA as the host lays it out: packed to 2 (318 bytes, not the
// system's 320) in 32-bit; 320 bytes, the system's own, in 64-bit.
struct FAR_FIND_DATA {
    FarDword dwFileAttributes;
    FarFileTime ftCreationTime;
    FarFileTime ftLastAccessTime;
    FarFileTime ftLastWriteTime;
    FarDword nFileSizeHigh;
    FarDword nFileSizeLow;
    FarDword dwReserved0;
    FarDword dwReserved1;
    char cFileName[NM];
    char cAlternateFileName[14];
};

struct PluginPanelItem {
    FAR_FIND_DATA FindData;
    FarDword PackSizeHigh;
    FarDword PackSize;
    FarDword Flags;
    FarDword NumberOfLinks;
    char* Description;
    char* Owner;
    char** CustomColumnData;
    int CustomColumnNumber;
    FarUIntPtr UserData;
    FarDword CRC32;
    FarUIntPtr Reserved[2];
};

struct FarMenuItem {
    char Text[128];
    int Selected;
    int Checked;
    int Separator;
};

struct FarListItem {
    FarDword Flags;
    char Text[128];
    FarDword Reserved[3];
};

struct FarList {
    int ItemsNumber;
    FarListItem* Items;
};

struct FarDialogItem {
    int Type;
    int X1;
    int Y1;
    int X2;
    int Y2;
    int Focus;
    union {
        int Selected;
        const char* History;
        const char* Mask;
        FarList* ListItems;
        int ListPos;
        void* VBuf;
    };
    FarDword Flags;
    int DefaultButton;
    union {
        char Data[512];
        struct {
            FarDword PtrFlags;
            int PtrLength;
            char* PtrData;
            char PtrTail[1];
        } Ptr;
    };
};

struct InfoPanelLine {
    char Text[80];
    char Data[80];
    int Separator;
};

struct PanelMode {
    char* ColumnTypes;
    char* ColumnWidths;
    char** ColumnTitles;
    int FullScreen;
    int DetailedStatus;
    int AlignExtensions;
    int CaseConversion;
    char* StatusColumnTypes;
    char* StatusColumnWidths;
    FarDword Reserved[2];
};

struct KeyBarTitles {
    const char* Titles[12];
    const char* CtrlTitles[12];
    const char* AltTitles[12];
    const char* ShiftTitles[12];
    const char* CtrlShiftTitles[12];
    const char* AltShiftTitles[12];
    const char* CtrlAltTitles[12];
};

struct PluginInfo {
    int StructSize;
    FarDword Flags;
    const char* const* DiskMenuStrings;
    int* DiskMenuNumbers;
    int DiskMenuStringsNumber;
    const char* const* PluginMenuStrings;
    int PluginMenuStringsNumber;
    const char* const* PluginConfigStrings;
    int PluginConfigStringsNumber;
    const char* CommandPrefix;
    FarDword Reserved;
};

struct OpenPluginInfo {
    int StructSize;
    FarDword Flags;
    const char* HostFile;
    const char* CurDir;
    const char* Format;
    const char* PanelTitle;
    const InfoPanelLine* InfoLines;
    int InfoLinesNumber;
    const char* const* DescrFiles;
    int DescrFilesNumber;
    const PanelMode* PanelModesArray;
    int PanelModesNumber;
    int StartPanelMode;
    int StartSortMode;
    int StartSortOrder;
    const KeyBarTitles* KeyBar;
    const char* ShortcutData;
    FarLong32 Reserverd;
};

struct PanelInfo {
    int PanelType;
    int Plugin;
    FarRect PanelRect;
    PluginPanelItem* PanelItems;
    int ItemsNumber;
    PluginPanelItem* SelectedItems;
    int SelectedItemsNumber;
    int CurrentItem;
    int TopPanelItem;
    int Visible;
    int Focus;
    int ViewMode;
    char ColumnTypes[80];
    char ColumnWidths[80];
    char CurDir[NM];
    int ShortNames;
    int SortMode;
    FarDword Flags;
    FarDword Reserved;
};

struct PanelRedrawInfo {
    int CurrentItem;
    int TopPanelItem;
};

struct CmdLineSelect {
    int SelStart;
    int SelEnd;
};

// Host services (all stdcall).
using FARWINDOWPROC = FarLong(PIXLOR_WINAPI*)(HANDLE hDlg, int Msg, int Param1, FarLong Param2);
using FARAPIMENU = int(PIXLOR_WINAPI*)(FarIntPtr PluginNumber, int X, int Y, int MaxHeight,
                                       FarDword Flags, const char* Title, const char* Bottom,
                                       const char* HelpTopic, const int* BreakKeys, int* BreakCode,
                                       const FarMenuItem* Item, int ItemsNumber);
using FARAPIDIALOG = int(PIXLOR_WINAPI*)(FarIntPtr PluginNumber, int X1, int Y1, int X2, int Y2,
                                         const char* HelpTopic, FarDialogItem* Item,
                                         int ItemsNumber);
using FARAPIMESSAGE = int(PIXLOR_WINAPI*)(FarIntPtr PluginNumber, FarDword Flags,
                                          const char* HelpTopic, const char* const* Items,
                                          int ItemsNumber, int ButtonsNumber);
using FARAPIGETMSG = const char*(PIXLOR_WINAPI*)(FarIntPtr PluginNumber, int MsgId);
using FARAPICONTROL = int(PIXLOR_WINAPI*)(HANDLE hPlugin, int Command, void* Param);
using FARAPISAVESCREEN = HANDLE(PIXLOR_WINAPI*)(int X1, int Y1, int X2, int Y2);
using FARAPIRESTORESCREEN = void(PIXLOR_WINAPI*)(HANDLE hScreen);
using FARAPIGETDIRLIST = int(PIXLOR_WINAPI*)(const char* Dir, PluginPanelItem** pPanelItem,
                                             int* pItemsNumber);
using FARAPIGETPLUGINDIRLIST = int(PIXLOR_WINAPI*)(FarIntPtr PluginNumber, HANDLE hPlugin,
                                                   const char* Dir, PluginPanelItem** pPanelItem,
                                                   int* pItemsNumber);
using FARAPIFREEDIRLIST = void(PIXLOR_WINAPI*)(const PluginPanelItem* PanelItem);
using FARAPIVIEWER = int(PIXLOR_WINAPI*)(const char* FileName, const char* Title, int X1, int Y1,
                                         int X2, int Y2, FarDword Flags);
using FARAPIEDITOR = int(PIXLOR_WINAPI*)(const char* FileName, const char* Title, int X1, int Y1,
                                         int X2, int Y2, FarDword Flags, int StartLine,
                                         int StartChar);
using FARAPICMPNAME = int(PIXLOR_WINAPI*)(const char* Pattern, const char* String, int SkipPath);
using FARAPICHARTABLE = int(PIXLOR_WINAPI*)(int Command, char* Buffer, int BufferSize);
using FARAPITEXT = void(PIXLOR_WINAPI*)(int X, int Y, int Color, const char* Str);
using FARAPIEDITORCONTROL = int(PIXLOR_WINAPI*)(int Command, void* Param);
using FARAPISHOWHELP = FarBool(PIXLOR_WINAPI*)(const char* ModuleName, const char* Topic,
                                               FarDword Flags);
using FARAPIADVCONTROL = FarIntPtr(PIXLOR_WINAPI*)(FarIntPtr ModuleNumber, int Command,
                                                   void* Param);
using FARAPIINPUTBOX = int(PIXLOR_WINAPI*)(const char* Title, const char* SubTitle,
                                           const char* HistoryName, const char* SrcText,
                                           char* DestText, int DestLength, const char* HelpTopic,
                                           FarDword Flags);
using FARAPIDIALOGEX = int(PIXLOR_WINAPI*)(FarIntPtr PluginNumber, int X1, int Y1, int X2, int Y2,
                                           const char* HelpTopic, FarDialogItem* Item,
                                           int ItemsNumber, FarDword Reserved, FarDword Flags,
                                           FARWINDOWPROC DlgProc, FarLong Param);
using FARAPISENDDLGMESSAGE = FarLong(PIXLOR_WINAPI*)(HANDLE hDlg, int Msg, int Param1,
                                                     FarLong Param2);
using FARAPIDEFDLGPROC = FarLong(PIXLOR_WINAPI*)(HANDLE hDlg, int Msg, int Param1, FarLong Param2);
using FARAPIVIEWERCONTROL = int(PIXLOR_WINAPI*)(int Command, void* Param);

// Standard functions (stdcall except sprintf, sscanf and the comparison callbacks).
using FARSTDCMP = int(PIXLOR_CDECL*)(const void*, const void*);
using FARSTDCMPEX = int(PIXLOR_CDECL*)(const void*, const void*, void* user);
using FRSUSERFUNC = int(PIXLOR_WINAPI*)(const void* findData, const char* fullName, void* param);
using FARSTDATOI = int(PIXLOR_WINAPI*)(const char* s);
using FARSTDATOI64 = std::int64_t(PIXLOR_WINAPI*)(const char* s);
using FARSTDITOA = char*(PIXLOR_WINAPI*)(int value, char* buffer, int radix);
using FARSTDITOA64 = char*(PIXLOR_WINAPI*)(std::int64_t value, char* buffer, int radix);
using FARSTDSPRINTF = int(PIXLOR_CDECL*)(char* buffer, const char* format, ...);
using FARSTDSSCANF = int(PIXLOR_CDECL*)(const char* buffer, const char* format, ...);
using FARSTDQSORT = void(PIXLOR_WINAPI*)(void* base, std::size_t count, std::size_t width,
                                         FARSTDCMP cmp);
using FARSTDBSEARCH = void*(PIXLOR_WINAPI*)(const void* key, const void* base, std::size_t count,
                                            std::size_t width, FARSTDCMP cmp);
using FARSTDQSORTEX = void(PIXLOR_WINAPI*)(void* base, std::size_t count, std::size_t width,
                                           FARSTDCMPEX cmp, void* user);
using FARSTDLOCALISLOWER = int(PIXLOR_WINAPI*)(unsigned ch);
using FARSTDLOCALUPPER = unsigned(PIXLOR_WINAPI*)(unsigned ch);
using FARSTDLOCALUPPERBUF = void(PIXLOR_WINAPI*)(char* buf, int length);
using FARSTDLOCALSTRUPR = void(PIXLOR_WINAPI*)(char* s);
using FARSTDLOCALSTRICMP = int(PIXLOR_WINAPI*)(const char* s1, const char* s2);
using FARSTDLOCALSTRNICMP = int(PIXLOR_WINAPI*)(const char* s1, const char* s2, int n);
using FARSTDUNQUOTE = void(PIXLOR_WINAPI*)(char* str);
using FARSTDEXPANDENVIRONMENTSTR = FarDword(PIXLOR_WINAPI*)(const char* src, char* dst,
                                                            std::size_t dstSize);
using FARSTDTRIM = char*(PIXLOR_WINAPI*)(char* str);
using FARSTDTRUNCSTR = char*(PIXLOR_WINAPI*)(char* str, int maxLength);
using FARSTDQUOTESPACEONLY = char*(PIXLOR_WINAPI*)(char* str);
using FARSTDPOINTTONAME = char*(PIXLOR_WINAPI*)(const char* path);
using FARSTDGETPATHROOT = void(PIXLOR_WINAPI*)(const char* path, char* root);
using FARSTDADDENDSLASH = FarBool(PIXLOR_WINAPI*)(char* path);
using FARSTDCOPYTOCLIPBOARD = int(PIXLOR_WINAPI*)(const char* data);
using FARSTDPASTEFROMCLIPBOARD = char*(PIXLOR_WINAPI*)();
using FARSTDKEYTOKEYNAME = FarBool(PIXLOR_WINAPI*)(int key, char* keyText, int size);
using FARSTDKEYNAMETOKEY = int(PIXLOR_WINAPI*)(const char* name);
using FARSTDINPUTRECORDTOKEY = int(PIXLOR_WINAPI*)(const void* inputRecord);
using FARSTDXLAT = char*(PIXLOR_WINAPI*)(char* line, int startPos, int endPos, const void* table,
                                         FarDword flags);
using FARSTDGETFILEOWNER = int(PIXLOR_WINAPI*)(const char* computer, const char* name, char* owner);
using FARSTDGETNUMBEROFLINKS = int(PIXLOR_WINAPI*)(const char* name);
using FARSTDRECURSIVESEARCH = void(PIXLOR_WINAPI*)(const char* initDir, const char* mask,
                                                   FRSUSERFUNC func, FarDword flags, void* param);
using FARSTDMKTEMP = char*(PIXLOR_WINAPI*)(char* dest, const char* prefix);
using FARSTDDELETEBUFFER = void(PIXLOR_WINAPI*)(char* buffer);
using FARSTDPROCESSNAME = int(PIXLOR_WINAPI*)(const char* param1, char* param2, FarDword flags);
using FARSTDMKLINK = int(PIXLOR_WINAPI*)(const char* src, const char* dest, FarDword flags);
using FARCONVERTNAMETOREAL = int(PIXLOR_WINAPI*)(const char* src, char* dest, int destSize);
using FARGETREPARSEPOINTINFO = int(PIXLOR_WINAPI*)(const char* src, char* dest, int destSize);

struct FarStandardFunctions {
    int StructSize;
    FARSTDATOI atoi;
    FARSTDATOI64 atoi64;
    FARSTDITOA itoa;
    FARSTDITOA64 itoa64;
    FARSTDSPRINTF sprintf;
    FARSTDSSCANF sscanf;
    FARSTDQSORT qsort;
    FARSTDBSEARCH bsearch;
    FARSTDQSORTEX qsortex;
    FarIntPtr Reserved[9]; // the first is empty in 1.70; never call it
    FARSTDLOCALISLOWER LIsLower;
    FARSTDLOCALISLOWER LIsUpper;
    FARSTDLOCALISLOWER LIsAlpha;
    FARSTDLOCALISLOWER LIsAlphanum;
    FARSTDLOCALUPPER LUpper;
    FARSTDLOCALUPPER LLower;
    FARSTDLOCALUPPERBUF LUpperBuf;
    FARSTDLOCALUPPERBUF LLowerBuf;
    FARSTDLOCALSTRUPR LStrupr;
    FARSTDLOCALSTRUPR LStrlwr;
    FARSTDLOCALSTRICMP LStricmp;
    FARSTDLOCALSTRNICMP LStrnicmp;
    FARSTDUNQUOTE Unquote;
    FARSTDEXPANDENVIRONMENTSTR ExpandEnvironmentStr;
    FARSTDTRIM LTrim;
    FARSTDTRIM RTrim;
    FARSTDTRIM Trim;
    FARSTDTRUNCSTR TruncStr;
    FARSTDTRUNCSTR TruncPathStr;
    FARSTDQUOTESPACEONLY QuoteSpaceOnly;
    FARSTDPOINTTONAME PointToName;
    FARSTDGETPATHROOT GetPathRoot;
    FARSTDADDENDSLASH AddEndSlash;
    FARSTDCOPYTOCLIPBOARD CopyToClipboard;
    FARSTDPASTEFROMCLIPBOARD PasteFromClipboard;
    FARSTDKEYTOKEYNAME FarKeyToName;
    FARSTDKEYNAMETOKEY FarNameToKey;
    FARSTDINPUTRECORDTOKEY FarInputRecordToKey;
    FARSTDXLAT XLat;
    FARSTDGETFILEOWNER GetFileOwner;
    FARSTDGETNUMBEROFLINKS GetNumberOfLinks;
    FARSTDRECURSIVESEARCH FarRecursiveSearch;
    FARSTDMKTEMP MkTemp;
    FARSTDDELETEBUFFER DeleteBuffer;
    FARSTDPROCESSNAME ProcessName;
    FARSTDMKLINK MkLink;
    FARCONVERTNAMETOREAL ConvertNameToReal;
    FARGETREPARSEPOINTINFO GetReparsePointInfo;
};

struct PluginStartupInfo {
    int StructSize;
    char ModuleName[NM];
    FarIntPtr ModuleNumber;
    const char* RootKey;
    FARAPIMENU Menu;
    FARAPIDIALOG Dialog;
    FARAPIMESSAGE Message;
    FARAPIGETMSG GetMsg;
    FARAPICONTROL Control;
    FARAPISAVESCREEN SaveScreen;
    FARAPIRESTORESCREEN RestoreScreen;
    FARAPIGETDIRLIST GetDirList;
    FARAPIGETPLUGINDIRLIST GetPluginDirList;
    FARAPIFREEDIRLIST FreeDirList;
    FARAPIVIEWER Viewer;
    FARAPIEDITOR Editor;
    FARAPICMPNAME CmpName;
    FARAPICHARTABLE CharTable;
    FARAPITEXT Text;
    FARAPIEDITORCONTROL EditorControl;
    FarStandardFunctions* FSF;
    FARAPISHOWHELP ShowHelp;
    FARAPIADVCONTROL AdvControl;
    FARAPIINPUTBOX InputBox;
    FARAPIDIALOGEX DialogEx;
    FARAPISENDDLGMESSAGE SendDlgMessage;
    FARAPIDEFDLGPROC DefDlgProc;
    FarIntPtr Reserved;
    FARAPIVIEWERCONTROL ViewerControl;
};

#pragma pack(pop)

// Sizes the plugin fills in itself (44 and 72 on 32-bit Windows).
inline constexpr int kPluginInfoSize = static_cast<int>(sizeof(PluginInfo));
inline constexpr int kOpenPluginInfoSize = static_cast<int>(sizeof(OpenPluginInfo));

// Message flags. The FMSG_MB_* values form a field (mask 0x000F0000).
inline constexpr FarDword FMSG_WARNING = 0x00000001;
inline constexpr FarDword FMSG_ERRORTYPE = 0x00000002;
inline constexpr FarDword FMSG_KEEPBACKGROUND = 0x00000004;
inline constexpr FarDword FMSG_DOWN = 0x00000008;
inline constexpr FarDword FMSG_LEFTALIGN = 0x00000010;
inline constexpr FarDword FMSG_ALLINONE = 0x00000020;
inline constexpr FarDword FMSG_MB_OK = 0x00010000;
inline constexpr FarDword FMSG_MB_OKCANCEL = 0x00020000;
inline constexpr FarDword FMSG_MB_ABORTRETRYIGNORE = 0x00030000;
inline constexpr FarDword FMSG_MB_YESNO = 0x00040000;
inline constexpr FarDword FMSG_MB_YESNOCANCEL = 0x00050000;
inline constexpr FarDword FMSG_MB_RETRYCANCEL = 0x00060000;
inline constexpr FarDword FMSG_MB_MASK = 0x000F0000;

// Dialog item types.
inline constexpr int DI_TEXT = 0;
inline constexpr int DI_VTEXT = 1;
inline constexpr int DI_SINGLEBOX = 2;
inline constexpr int DI_DOUBLEBOX = 3;
inline constexpr int DI_EDIT = 4;
inline constexpr int DI_PSWEDIT = 5;
inline constexpr int DI_FIXEDIT = 6;
inline constexpr int DI_BUTTON = 7;
inline constexpr int DI_CHECKBOX = 8;
inline constexpr int DI_RADIOBUTTON = 9;
inline constexpr int DI_COMBOBOX = 10;
inline constexpr int DI_LISTBOX = 11;
inline constexpr int DI_USERCONTROL = 255;

// Dialog item flags; several names share a bit, the item type decides.
inline constexpr FarDword DIF_COLORMASK = 0x000000FF;
inline constexpr FarDword DIF_SETCOLOR = 0x00000100;
inline constexpr FarDword DIF_BOXCOLOR = 0x00000200;
inline constexpr FarDword DIF_GROUP = 0x00000400;
inline constexpr FarDword DIF_LEFTTEXT = 0x00000800;
inline constexpr FarDword DIF_MOVESELECT = 0x00001000;
inline constexpr FarDword DIF_SHOWAMPERSAND = 0x00002000;
inline constexpr FarDword DIF_CENTERGROUP = 0x00004000;
inline constexpr FarDword DIF_NOBRACKETS = 0x00008000;
inline constexpr FarDword DIF_MANUALADDHISTORY = 0x00008000;
inline constexpr FarDword DIF_SEPARATOR = 0x00010000;
inline constexpr FarDword DIF_VAREDIT = 0x00010000;
inline constexpr FarDword DIF_SEPARATOR2 = 0x00020000;
inline constexpr FarDword DIF_EDITOR = 0x00020000;
inline constexpr FarDword DIF_LISTNOAMPERSAND = 0x00020000;
inline constexpr FarDword DIF_HISTORY = 0x00040000;
inline constexpr FarDword DIF_BTNNOCLOSE = 0x00040000;
inline constexpr FarDword DIF_LISTNOBOX = 0x00040000;
inline constexpr FarDword DIF_EDITEXPAND = 0x00080000;
inline constexpr FarDword DIF_DROPDOWNLIST = 0x00100000;
inline constexpr FarDword DIF_USELASTHISTORY = 0x00200000;
inline constexpr FarDword DIF_MASKEDIT = 0x00400000;
inline constexpr FarDword DIF_SELECTONENTRY = 0x00800000;
inline constexpr FarDword DIF_3STATE = 0x00800000;
inline constexpr FarDword DIF_LISTWRAPMODE = 0x01000000;
inline constexpr FarDword DIF_LISTAUTOHIGHLIGHT = 0x02000000;
inline constexpr FarDword DIF_AUTOMATION = 0x08000000;
inline constexpr FarDword DIF_HIDDEN = 0x10000000;
inline constexpr FarDword DIF_READONLY = 0x20000000;
inline constexpr FarDword DIF_NOFOCUS = 0x40000000;
inline constexpr FarDword DIF_DISABLE = 0x80000000;

// Control commands.
inline constexpr int FCTL_CLOSEPLUGIN = 0;
inline constexpr int FCTL_GETPANELINFO = 1;
inline constexpr int FCTL_GETANOTHERPANELINFO = 2;
inline constexpr int FCTL_UPDATEPANEL = 3;
inline constexpr int FCTL_UPDATEANOTHERPANEL = 4;
inline constexpr int FCTL_REDRAWPANEL = 5;
inline constexpr int FCTL_REDRAWANOTHERPANEL = 6;
inline constexpr int FCTL_SETANOTHERPANELDIR = 7;
inline constexpr int FCTL_GETCMDLINE = 8;
inline constexpr int FCTL_SETCMDLINE = 9;
inline constexpr int FCTL_SETSELECTION = 10;
inline constexpr int FCTL_SETANOTHERSELECTION = 11;
inline constexpr int FCTL_SETVIEWMODE = 12;
inline constexpr int FCTL_SETANOTHERVIEWMODE = 13;
inline constexpr int FCTL_INSERTCMDLINE = 14;
inline constexpr int FCTL_SETUSERSCREEN = 15;
inline constexpr int FCTL_SETPANELDIR = 16;
inline constexpr int FCTL_SETCMDLINEPOS = 17;
inline constexpr int FCTL_GETCMDLINEPOS = 18;
inline constexpr int FCTL_SETSORTMODE = 19;
inline constexpr int FCTL_SETANOTHERSORTMODE = 20;
inline constexpr int FCTL_SETSORTORDER = 21;
inline constexpr int FCTL_SETANOTHERSORTORDER = 22;
inline constexpr int FCTL_GETCMDLINESELECTEDTEXT = 23;
inline constexpr int FCTL_SETCMDLINESELECTION = 24;
inline constexpr int FCTL_GETCMDLINESELECTION = 25;

// OpenPluginInfo.Flags.
inline constexpr FarDword OPIF_USEFILTER = 0x0001;
inline constexpr FarDword OPIF_USESORTGROUPS = 0x0002;
inline constexpr FarDword OPIF_USEHIGHLIGHTING = 0x0004;
inline constexpr FarDword OPIF_ADDDOTS = 0x0008;
inline constexpr FarDword OPIF_RAWSELECTION = 0x0010;
inline constexpr FarDword OPIF_REALNAMES = 0x0020;
inline constexpr FarDword OPIF_SHOWNAMESONLY = 0x0040;
inline constexpr FarDword OPIF_SHOWRIGHTALIGNNAMES = 0x0080;
inline constexpr FarDword OPIF_SHOWPRESERVECASE = 0x0100;
inline constexpr FarDword OPIF_FINDFOLDERS = 0x0200;
inline constexpr FarDword OPIF_COMPAREFATTIME = 0x0400;
inline constexpr FarDword OPIF_EXTERNALGET = 0x0800;
inline constexpr FarDword OPIF_EXTERNALPUT = 0x1000;
inline constexpr FarDword OPIF_EXTERNALDELETE = 0x2000;
inline constexpr FarDword OPIF_EXTERNALMKDIR = 0x4000;
inline constexpr FarDword OPIF_USEATTRHIGHLIGHTING = 0x8000;

// Flags of the Viewer service.
inline constexpr FarDword VF_NONMODAL = 0x0001;
inline constexpr FarDword VF_DELETEONCLOSE = 0x0002;
inline constexpr FarDword VF_ENABLE_F6 = 0x0004;
inline constexpr FarDword VF_DISABLEHISTORY = 0x0008;
inline constexpr FarDword VF_IMMEDIATERETURN = 0x0100;
inline constexpr FarDword VF_DELETEONLYFILEONCLOSE = 0x0200;

// PluginInfo.Flags.
inline constexpr FarDword PF_PRELOAD = 0x0001;
inline constexpr FarDword PF_DISABLEPANELS = 0x0002;
inline constexpr FarDword PF_EDITOR = 0x0004;
inline constexpr FarDword PF_VIEWER = 0x0008;
inline constexpr FarDword PF_FULLCMDLINE = 0x0010;

// ProcessKey's control state.
inline constexpr unsigned PKF_CONTROL = 0x00000001;
inline constexpr unsigned PKF_ALT = 0x00000002;
inline constexpr unsigned PKF_SHIFT = 0x00000004;
inline constexpr unsigned PKF_PREPROCESS = 0x00080000;

// Sort modes.
inline constexpr int SM_DEFAULT = 0;
inline constexpr int SM_UNSORTED = 1;
inline constexpr int SM_NAME = 2;
inline constexpr int SM_EXT = 3;
inline constexpr int SM_MTIME = 4;
inline constexpr int SM_CTIME = 5;
inline constexpr int SM_ATIME = 6;
inline constexpr int SM_SIZE = 7;
inline constexpr int SM_DESCR = 8;
inline constexpr int SM_OWNER = 9;
inline constexpr int SM_COMPRESSEDSIZE = 10;
inline constexpr int SM_NUMLINKS = 11;

// PluginPanelItem.Flags.
inline constexpr FarDword PPIF_PROCESSDESCR = 0x80000000;
inline constexpr FarDword PPIF_SELECTED = 0x40000000;
inline constexpr FarDword PPIF_USERDATA = 0x20000000;

// Operation modes.
inline constexpr int OPM_SILENT = 0x0001;
inline constexpr int OPM_FIND = 0x0002;
inline constexpr int OPM_VIEW = 0x0004;
inline constexpr int OPM_EDIT = 0x0008;
inline constexpr int OPM_TOPLEVEL = 0x0010;
inline constexpr int OPM_DESCR = 0x0020;

// OpenPlugin's OpenFrom.
inline constexpr int OPEN_DISKMENU = 0;
inline constexpr int OPEN_PLUGINSMENU = 1;
inline constexpr int OPEN_FINDLIST = 2;
inline constexpr int OPEN_SHORTCUT = 3;
inline constexpr int OPEN_COMMANDLINE = 4;
inline constexpr int OPEN_EDITOR = 5;
inline constexpr int OPEN_VIEWER = 6;

// Panel types and PanelInfo.Flags.
inline constexpr int PTYPE_FILEPANEL = 0;
inline constexpr int PTYPE_TREEPANEL = 1;
inline constexpr int PTYPE_QVIEWPANEL = 2;
inline constexpr int PTYPE_INFOPANEL = 3;
inline constexpr FarDword PFLAGS_SHOWHIDDEN = 0x01;
inline constexpr FarDword PFLAGS_HIGHLIGHT = 0x02;
inline constexpr FarDword PFLAGS_REVERSESORTORDER = 0x04;
inline constexpr FarDword PFLAGS_USESORTGROUPS = 0x08;
inline constexpr FarDword PFLAGS_SELECTEDFIRST = 0x10;
inline constexpr FarDword PFLAGS_REALNAMES = 0x20;

// Virtual-key codes ProcessKey receives.
inline constexpr int VK_RETURN = 0x0D;
inline constexpr int VK_SHIFT = 0x10;
inline constexpr int VK_CONTROL = 0x11;
inline constexpr int VK_MENU = 0x12;
inline constexpr int VK_ESCAPE = 0x1B;
inline constexpr int VK_F1 = 0x70;
inline constexpr int VK_F2 = 0x71;
inline constexpr int VK_F3 = 0x72;
inline constexpr int VK_F4 = 0x73;
inline constexpr int VK_F5 = 0x74;
inline constexpr int VK_F6 = 0x75;
inline constexpr int VK_F7 = 0x76;
inline constexpr int VK_F8 = 0x77;

// File attributes used in the listing.
inline constexpr FarDword FILE_ATTRIBUTE_DIRECTORY = 0x10;
inline constexpr FarDword FILE_ATTRIBUTE_ARCHIVE = 0x20;

// Oldest host the plugin works with: 1.70 build 1282.
inline constexpr int kMinFarVersion = (1 << 8) | 70 | (1282 << 16);
static_assert(kMinFarVersion == 0x05020146);

// The layout the host uses, pinned for both widths: ByWidth(32-bit, 64-bit).
// A native build is checked against the 64-bit layout, the one it shares.
#if defined(_WIN32) || defined(__LP64__)
namespace layout {
inline constexpr bool kHost64 = sizeof(void*) == 8;
constexpr std::size_t ByWidth(std::size_t narrow, std::size_t wide) {
    return kHost64 ? wide : narrow;
}
} // namespace layout
using layout::ByWidth;
static_assert(sizeof(void*) == sizeof(FarIntPtr) && sizeof(FarLong32) == 4);
static_assert(sizeof(FAR_FIND_DATA) == ByWidth(318, 320));
static_assert(offsetof(FAR_FIND_DATA, ftLastWriteTime) == 20);
static_assert(offsetof(FAR_FIND_DATA, nFileSizeLow) == 32);
static_assert(offsetof(FAR_FIND_DATA, cFileName) == 44);
static_assert(offsetof(FAR_FIND_DATA, cAlternateFileName) == 304);
static_assert(sizeof(PluginPanelItem) == ByWidth(366, 400));
static_assert(offsetof(PluginPanelItem, PackSizeHigh) == ByWidth(318, 320));
static_assert(offsetof(PluginPanelItem, PackSize) == ByWidth(322, 324));
static_assert(offsetof(PluginPanelItem, Flags) == ByWidth(326, 328));
static_assert(offsetof(PluginPanelItem, NumberOfLinks) == ByWidth(330, 332));
static_assert(offsetof(PluginPanelItem, Description) == ByWidth(334, 336));
static_assert(offsetof(PluginPanelItem, Owner) == ByWidth(338, 344));
static_assert(offsetof(PluginPanelItem, CustomColumnData) == ByWidth(342, 352));
static_assert(offsetof(PluginPanelItem, CustomColumnNumber) == ByWidth(346, 360));
static_assert(offsetof(PluginPanelItem, UserData) == ByWidth(350, 368));
static_assert(sizeof(PluginPanelItem::UserData) == ByWidth(4, 8));
static_assert(offsetof(PluginPanelItem, CRC32) == ByWidth(354, 376));
static_assert(offsetof(PluginPanelItem, Reserved) == ByWidth(358, 384));
static_assert(sizeof(PluginStartupInfo) == ByWidth(372, 480));
static_assert(offsetof(PluginStartupInfo, ModuleName) == 4);
static_assert(offsetof(PluginStartupInfo, ModuleNumber) == 264);
static_assert(sizeof(PluginStartupInfo::ModuleNumber) == ByWidth(4, 8));
static_assert(offsetof(PluginStartupInfo, RootKey) == ByWidth(268, 272));
static_assert(offsetof(PluginStartupInfo, Menu) == ByWidth(272, 280));
static_assert(offsetof(PluginStartupInfo, Dialog) == ByWidth(276, 288));
static_assert(offsetof(PluginStartupInfo, Message) == ByWidth(280, 296));
static_assert(offsetof(PluginStartupInfo, GetMsg) == ByWidth(284, 304));
static_assert(offsetof(PluginStartupInfo, Control) == ByWidth(288, 312));
static_assert(offsetof(PluginStartupInfo, SaveScreen) == ByWidth(292, 320));
static_assert(offsetof(PluginStartupInfo, RestoreScreen) == ByWidth(296, 328));
static_assert(offsetof(PluginStartupInfo, GetDirList) == ByWidth(300, 336));
static_assert(offsetof(PluginStartupInfo, Viewer) == ByWidth(312, 360));
static_assert(offsetof(PluginStartupInfo, FSF) == ByWidth(336, 408));
static_assert(offsetof(PluginStartupInfo, AdvControl) == ByWidth(344, 424));
static_assert(offsetof(PluginStartupInfo, DialogEx) == ByWidth(352, 440));
static_assert(offsetof(PluginStartupInfo, SendDlgMessage) == ByWidth(356, 448));
static_assert(offsetof(PluginStartupInfo, Reserved) == ByWidth(364, 464));
static_assert(offsetof(PluginStartupInfo, ViewerControl) == ByWidth(368, 472));
static_assert(sizeof(FarStandardFunctions) == ByWidth(228, 456));
static_assert(offsetof(FarStandardFunctions, atoi) == ByWidth(4, 8));
static_assert(offsetof(FarStandardFunctions, sprintf) == ByWidth(20, 40));
static_assert(offsetof(FarStandardFunctions, sscanf) == ByWidth(24, 48));
static_assert(offsetof(FarStandardFunctions, qsortex) == ByWidth(36, 72));
static_assert(offsetof(FarStandardFunctions, Reserved) == ByWidth(40, 80));
static_assert(offsetof(FarStandardFunctions, LIsLower) == ByWidth(76, 152));
static_assert(offsetof(FarStandardFunctions, LStricmp) == ByWidth(116, 232));
static_assert(offsetof(FarStandardFunctions, LStrnicmp) == ByWidth(120, 240));
static_assert(offsetof(FarStandardFunctions, TruncStr) == ByWidth(144, 288));
static_assert(offsetof(FarStandardFunctions, TruncPathStr) == ByWidth(148, 296));
static_assert(offsetof(FarStandardFunctions, AddEndSlash) == ByWidth(164, 328));
static_assert(offsetof(FarStandardFunctions, FarRecursiveSearch) == ByWidth(200, 400));
static_assert(offsetof(FarStandardFunctions, GetReparsePointInfo) == ByWidth(224, 448));
static_assert(sizeof(PluginInfo) == ByWidth(44, 80) && kPluginInfoSize == ByWidth(44, 80));
static_assert(offsetof(PluginInfo, Flags) == 4);
static_assert(offsetof(PluginInfo, DiskMenuStrings) == 8);
static_assert(offsetof(PluginInfo, DiskMenuNumbers) == ByWidth(12, 16));
static_assert(offsetof(PluginInfo, DiskMenuStringsNumber) == ByWidth(16, 24));
static_assert(offsetof(PluginInfo, PluginMenuStrings) == ByWidth(20, 32));
static_assert(offsetof(PluginInfo, PluginConfigStrings) == ByWidth(28, 48));
static_assert(offsetof(PluginInfo, PluginConfigStringsNumber) == ByWidth(32, 56));
static_assert(offsetof(PluginInfo, CommandPrefix) == ByWidth(36, 64));
static_assert(offsetof(PluginInfo, Reserved) == ByWidth(40, 72));
static_assert(sizeof(OpenPluginInfo) == ByWidth(72, 120) &&
              kOpenPluginInfoSize == ByWidth(72, 120));
static_assert(offsetof(OpenPluginInfo, HostFile) == 8);
static_assert(offsetof(OpenPluginInfo, CurDir) == ByWidth(12, 16));
static_assert(offsetof(OpenPluginInfo, Format) == ByWidth(16, 24));
static_assert(offsetof(OpenPluginInfo, PanelTitle) == ByWidth(20, 32));
static_assert(offsetof(OpenPluginInfo, InfoLines) == ByWidth(24, 40));
static_assert(offsetof(OpenPluginInfo, InfoLinesNumber) == ByWidth(28, 48));
static_assert(offsetof(OpenPluginInfo, DescrFiles) == ByWidth(32, 56));
static_assert(offsetof(OpenPluginInfo, PanelModesArray) == ByWidth(40, 72));
static_assert(offsetof(OpenPluginInfo, PanelModesNumber) == ByWidth(44, 80));
static_assert(offsetof(OpenPluginInfo, StartPanelMode) == ByWidth(48, 84));
static_assert(offsetof(OpenPluginInfo, StartSortMode) == ByWidth(52, 88));
static_assert(offsetof(OpenPluginInfo, StartSortOrder) == ByWidth(56, 92));
static_assert(offsetof(OpenPluginInfo, KeyBar) == ByWidth(60, 96));
static_assert(offsetof(OpenPluginInfo, ShortcutData) == ByWidth(64, 104));
static_assert(offsetof(OpenPluginInfo, Reserverd) == ByWidth(68, 112));
static_assert(sizeof(PanelInfo) == ByWidth(496, 512));
static_assert(offsetof(PanelInfo, PanelRect) == 8);
static_assert(offsetof(PanelInfo, PanelItems) == 24);
static_assert(offsetof(PanelInfo, ItemsNumber) == ByWidth(28, 32));
static_assert(offsetof(PanelInfo, SelectedItems) == ByWidth(32, 40));
static_assert(offsetof(PanelInfo, SelectedItemsNumber) == ByWidth(36, 48));
static_assert(offsetof(PanelInfo, CurrentItem) == ByWidth(40, 52));
static_assert(offsetof(PanelInfo, TopPanelItem) == ByWidth(44, 56));
static_assert(offsetof(PanelInfo, ViewMode) == ByWidth(56, 68));
static_assert(offsetof(PanelInfo, ColumnTypes) == ByWidth(60, 72));
static_assert(offsetof(PanelInfo, ColumnWidths) == ByWidth(140, 152));
static_assert(offsetof(PanelInfo, CurDir) == ByWidth(220, 232));
static_assert(offsetof(PanelInfo, ShortNames) == ByWidth(480, 492));
static_assert(offsetof(PanelInfo, SortMode) == ByWidth(484, 496));
static_assert(offsetof(PanelInfo, Flags) == ByWidth(488, 500));
static_assert(offsetof(PanelInfo, Reserved) == ByWidth(492, 504));
static_assert(sizeof(PanelRedrawInfo) == 8);
static_assert(sizeof(KeyBarTitles) == ByWidth(336, 672));
static_assert(offsetof(KeyBarTitles, CtrlTitles) == ByWidth(48, 96));
static_assert(offsetof(KeyBarTitles, ShiftTitles) == ByWidth(144, 288));
static_assert(offsetof(KeyBarTitles, CtrlShiftTitles) == ByWidth(192, 384));
static_assert(offsetof(KeyBarTitles, CtrlAltTitles) == ByWidth(288, 576));
static_assert(sizeof(FarDialogItem) == ByWidth(548, 552));
static_assert(offsetof(FarDialogItem, Focus) == 20);
static_assert(offsetof(FarDialogItem, Selected) == 24);
static_assert(offsetof(FarDialogItem, History) == 24);
static_assert(offsetof(FarDialogItem, Flags) == ByWidth(28, 32));
static_assert(offsetof(FarDialogItem, DefaultButton) == ByWidth(32, 36));
static_assert(offsetof(FarDialogItem, Data) == ByWidth(36, 40));
static_assert(offsetof(FarDialogItem, Ptr.PtrLength) == ByWidth(40, 44));
static_assert(offsetof(FarDialogItem, Ptr.PtrData) == ByWidth(44, 48));
static_assert(offsetof(FarDialogItem, Ptr.PtrTail) == ByWidth(48, 56));
static_assert(sizeof(FarList) == ByWidth(8, 16) && offsetof(FarList, Items) == ByWidth(4, 8));
static_assert(sizeof(FarListItem) == 144 && offsetof(FarListItem, Reserved) == 132);
static_assert(sizeof(FarMenuItem) == 140);
static_assert(sizeof(InfoPanelLine) == 164 && offsetof(InfoPanelLine, Separator) == 160);
static_assert(sizeof(PanelMode) == ByWidth(44, 64));
static_assert(offsetof(PanelMode, FullScreen) == ByWidth(12, 24));
static_assert(offsetof(PanelMode, StatusColumnTypes) == ByWidth(28, 40));
static_assert(offsetof(PanelMode, Reserved) == ByWidth(36, 56));
static_assert(sizeof(CmdLineSelect) == 8);
#endif

} // namespace pixlor
