// Adds a test printer to a Wine prefix: Wine's own PostScript driver with its built-in PPD, the
// "winprint" processor and a file as its port, so every job lands in that file with no prompt.
//   lumen_printer_setup.exe <printer name> <port file>
// Idempotent: an existing printer of that name gets the port (and default) again. The port file's
// folder is created, since the spooler cannot write into a missing one. Refuses to run on Windows,
// where it would add a printer for real.
#include <windows.h>
#include <winspool.h>

#include <cstdio>
#include <string>

namespace {

int Fail(const char* what, DWORD error = GetLastError()) {
    std::fprintf(stderr, "printer setup: %s failed (error %lu)\n", what, static_cast<unsigned long>(error));
    return 1;
}

bool UnderWine() {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

// The driver's PPD is a resource of Wine's winspool.drv (up to its first NUL); the driver reads it
// from a file.
bool WritePpd(const std::wstring& path) {
    HMODULE spool = LoadLibraryExW(L"winspool.drv", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HRSRC resource = spool ? FindResourceW(spool, MAKEINTRESOURCEW(1), L"PPDFILE") : nullptr;
    HGLOBAL loaded = resource ? LoadResource(spool, resource) : nullptr;
    const char* bytes = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
    if (!bytes) return false;
    const std::string ppd(bytes, strnlen(bytes, SizeofResource(spool, resource)));
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = WriteFile(file, ppd.data(), static_cast<DWORD>(ppd.size()), &written, nullptr) &&
                    written == ppd.size();
    CloseHandle(file);
    return ok;
}

void CreateFolderOf(const std::wstring& file) {
    for (size_t slash = file.find_first_of(L"\\/", 3); slash != std::wstring::npos;
         slash = file.find_first_of(L"\\/", slash + 1))
        CreateDirectoryW(file.substr(0, slash).c_str(), nullptr);
}

// An existing printer keeps its driver; only the port is brought up to date.
bool SetPort(const std::wstring& name, const std::wstring& port) {
    HANDLE printer = nullptr;
    PRINTER_DEFAULTSW access{nullptr, nullptr, PRINTER_ALL_ACCESS};
    if (!OpenPrinterW(const_cast<wchar_t*>(name.c_str()), &printer, &access)) return false;
    DWORD needed = 0;
    GetPrinterW(printer, 2, nullptr, 0, &needed);
    std::string buffer(needed, '\0');
    bool ok = needed && GetPrinterW(printer, 2, reinterpret_cast<BYTE*>(buffer.data()), needed, &needed);
    if (ok) {
        auto* info = reinterpret_cast<PRINTER_INFO_2W*>(buffer.data());
        if (port != info->pPortName) {
            info->pPortName = const_cast<wchar_t*>(port.c_str());
            info->pSecurityDescriptor = nullptr;
            ok = SetPrinterW(printer, 2, reinterpret_cast<BYTE*>(info), 0);
        }
    }
    ClosePrinter(printer);
    return ok;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (!UnderWine()) {
        std::fprintf(stderr, "printer setup: runs under Wine only (it would add a real printer here)\n");
        return 2;
    }
    if (argc != 3) {
        std::fprintf(stderr, "usage: lumen_printer_setup <printer name> <port file>\n");
        return 2;
    }
    std::wstring name = argv[1], port = argv[2];
    CreateFolderOf(port);

    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring ppd = std::wstring(temp) + name + L".ppd";
    if (!WritePpd(ppd)) return Fail("writing the PPD");

    DRIVER_INFO_3W driver{};
    driver.cVersion = 3;
    driver.pName = name.data();
    driver.pDriverPath = const_cast<wchar_t*>(L"wineps.drv");
    driver.pConfigFile = const_cast<wchar_t*>(L"wineps.drv");
    driver.pDataFile = ppd.data();
    driver.pDefaultDataType = const_cast<wchar_t*>(L"RAW");
    if (!AddPrinterDriverExW(nullptr, 3, reinterpret_cast<BYTE*>(&driver),
                             APD_COPY_NEW_FILES | APD_COPY_FROM_DIRECTORY))
        return Fail("AddPrinterDriverExW");

    // "winprint", not Wine's "wineps" processor: that one refuses RAW jobs and EndDoc writes nothing.
    PRINTER_INFO_2W info{};
    info.pPrinterName = name.data();
    info.pDriverName = name.data();
    info.pPortName = port.data();
    info.pPrintProcessor = const_cast<wchar_t*>(L"winprint");
    info.pDatatype = const_cast<wchar_t*>(L"RAW");
    HANDLE printer = AddPrinterW(nullptr, 2, reinterpret_cast<BYTE*>(&info));
    if (printer) {
        ClosePrinter(printer);
    } else if (GetLastError() != ERROR_PRINTER_ALREADY_EXISTS) {
        return Fail("AddPrinterW");
    } else if (!SetPort(name, port)) {
        return Fail("updating the port");
    }
    // The print dialog starts on the default printer.
    if (!SetDefaultPrinterW(name.c_str())) return Fail("SetDefaultPrinterW");
    std::printf("printer setup: ready\n");
    return 0;
}
