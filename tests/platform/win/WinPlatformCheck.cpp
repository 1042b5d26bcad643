// Runs the Windows platform calls of src/platform/win against the real system
// (or Wine) and prints each check with PASS or FAIL; the exit status is the
// number of failures. Usage: velmora_wincheck TABLE, where TABLE is written
// by velmora_halfwidth_table (the program's ICU mappings).
//
// The same executable is also every helper process the checks start:
//   mutex NAME   tries the named mutex and reports the outcome as exit status
//   sleep MS     waits (started under the name iexplore.exe)
//   no argument, started as chk_verup.exe: leaves a marker file beside itself
//
// The half-width comparison covers the characters of MappedCharacters.h; a
// difference "changes a match" when some one-character text and name among
// them match under one mapping and not under the other.
#include "MappedCharacters.h"
#include "platform/win/HalfWidth.h"
#include "platform/win/NamedMutex.h"
#include "platform/win/ProcessSnapshot.h"
#include "platform/win/StartProgram.h"
#include "platform/win/Taskbar.h"
#include "platform/win/Win32ErrorNumber.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace win = velmora::platform::win;

namespace {

int failures = 0;

void check(const std::string& what, bool ok, const std::string& detail = std::string())
{
    std::printf("%s  %s%s%s\n", ok ? "PASS" : "FAIL", what.c_str(), detail.empty() ? "" : ": ", detail.c_str());
    std::fflush(stdout);
    if (!ok)
        ++failures;
}

std::string narrow(const std::wstring& text)
{
    std::string out;
    for (wchar_t c : text)
        out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

std::string units(const std::wstring& text)
{
    std::string out;
    char buffer[8];
    for (wchar_t c : text) {
        std::snprintf(buffer, sizeof(buffer), "U+%04X", static_cast<unsigned>(c));
        out += (out.empty() ? "" : " ") + std::string(buffer);
    }
    return out;
}

std::wstring selfPath()
{
    std::wstring path(MAX_PATH, L'\0');
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    path.resize(n);
    return path;
}

std::wstring directoryOf(const std::wstring& path)
{
    return path.substr(0, path.find_last_of(L"\\/") + 1);
}

std::wstring fileNameOf(const std::wstring& path)
{
    return path.substr(path.find_last_of(L"\\/") + 1);
}

bool exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Polls for up to `ms` milliseconds.
template <typename Condition>
bool waitFor(Condition condition, DWORD ms)
{
    for (DWORD waited = 0;; waited += 50) {
        if (condition())
            return true;
        if (waited >= ms)
            return false;
        Sleep(50);
    }
}

PROCESS_INFORMATION start(const std::wstring& program, const std::wstring& arguments)
{
    std::wstring commandLine = L"\"" + program + L"\" " + arguments;
    STARTUPINFOW startup {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process {};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        process = PROCESS_INFORMATION {};
    return process;
}

void close(PROCESS_INFORMATION& process)
{
    if (process.hThread)
        CloseHandle(process.hThread);
    if (process.hProcess)
        CloseHandle(process.hProcess);
    process = PROCESS_INFORMATION {};
}

// The exit status of a helper run to its end; -1 when it could not run.
int run(const std::wstring& program, const std::wstring& arguments)
{
    PROCESS_INFORMATION process = start(program, arguments);
    if (!process.hProcess)
        return -1;
    DWORD status = static_cast<DWORD>(-1);
    if (WaitForSingleObject(process.hProcess, 30000) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &status);
    close(process);
    return static_cast<int>(status);
}

bool running(const std::wstring& name)
{
    const std::vector<std::wstring> names = win::RunningExecutableNames();
    return std::find(names.begin(), names.end(), name) != names.end();
}

// Helper: exit statuses of the mutex helper.
enum MutexStatus { MutexAcquired = 10, MutexAlreadyExists = 11, MutexFailed = 12 };

int mutexHelper(const std::wstring& name)
{
    const win::NamedMutex mutex(name);
    switch (mutex.state()) {
    case win::NamedMutex::State::Acquired:
        return MutexAcquired;
    case win::NamedMutex::State::AlreadyExists:
        return MutexAlreadyExists;
    case win::NamedMutex::State::Failed:
        break;
    }
    return MutexFailed;
}

// Helper started by the shell: records its current directory in "started"
// beside itself, written under another name first so that the reader never
// sees half a file.
int markerHelper()
{
    const std::wstring dir = directoryOf(selfPath());
    std::wstring current(MAX_PATH, L'\0');
    current.resize(GetCurrentDirectoryW(static_cast<DWORD>(current.size()), current.data()));
    {
        std::ofstream out((dir + L"started.tmp").c_str());
        out << narrow(current);
    }
    return MoveFileW((dir + L"started.tmp").c_str(), (dir + L"started").c_str()) ? 0 : 1;
}

std::wstring makeScratchDirectory()
{
    std::wstring temp(MAX_PATH, L'\0');
    temp.resize(GetTempPathW(static_cast<DWORD>(temp.size()), temp.data()));
    const std::wstring dir = temp + L"velmora-wincheck-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
    CreateDirectoryW(dir.c_str(), nullptr);
    return dir;
}

void removeScratchDirectory(const std::wstring& dir)
{
    for (const wchar_t* name : { L"iexplore.exe", L"chk_verup.exe", L"started", L"started.tmp" }) {
        const std::wstring path = dir + name;
        // A helper that has just ended may still hold its executable a moment.
        waitFor([&path] { return !exists(path) || DeleteFileW(path.c_str()); }, 5000);
    }
    RemoveDirectoryW(dir.c_str());
}

void checkMutex(const std::wstring& self)
{
    const std::wstring name = L"VelmoraWinCheck." + std::to_wstring(GetCurrentProcessId());
    {
        const win::NamedMutex first(name);
        check("mutex: the first copy acquires " + narrow(name), first.state() == win::NamedMutex::State::Acquired);
        const int second = run(self, L"mutex " + name);
        check("mutex: a second copy started while the first holds it is refused", second == MutexAlreadyExists,
              "helper status " + std::to_string(second));
    }
    const int next = run(self, L"mutex " + name);
    check("mutex: after the first closes it a new copy acquires it", next == MutexAcquired,
          "helper status " + std::to_string(next));
}

void checkSnapshot(const std::wstring& self, const std::wstring& dir)
{
    const std::wstring copy = dir + L"iexplore.exe";
    check("snapshot: no iexplore.exe before the check starts one", !running(L"iexplore.exe"));
    if (!CopyFileW(self.c_str(), copy.c_str(), FALSE)) {
        check("snapshot: copy of the check program as iexplore.exe", false);
        return;
    }
    PROCESS_INFORMATION process = start(copy, L"sleep 30000");
    check("snapshot: iexplore.exe started", process.hProcess != nullptr);
    if (!process.hProcess)
        return;
    const bool found = waitFor([] { return running(L"iexplore.exe"); }, 5000);
    check("snapshot: a process named exactly iexplore.exe is found", found);
    check("snapshot: IEXPLORE.EXE is not found", !running(L"IEXPLORE.EXE"));
    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, 5000);
    close(process);
    check("snapshot: once it ends iexplore.exe is no longer found",
          waitFor([] { return !running(L"iexplore.exe"); }, 5000));
}

void checkStartProgram(const std::wstring& self, const std::wstring& dir)
{
    const std::wstring copy = dir + L"chk_verup.exe";
    const std::wstring marker = dir + L"started";
    if (!CopyFileW(self.c_str(), copy.c_str(), FALSE)) {
        check("start: copy of the check program as chk_verup.exe", false);
        return;
    }
    const bool started = win::StartProgram(copy);
    check("start: ShellExecuteW reports chk_verup.exe started", started);
    const bool ran = started && waitFor([&marker] { return exists(marker); }, 10000);
    check("start: the started program ran without arguments", ran);
    if (ran) {
        std::ifstream in(marker.c_str());
        std::string seen;
        std::getline(in, seen);
        std::wstring current(MAX_PATH, L'\0');
        current.resize(GetCurrentDirectoryW(static_cast<DWORD>(current.size()), current.data()));
        check("start: it ran in our current directory", seen == narrow(current), seen);
    }
    check("start: a missing program is reported as not started", !win::StartProgram(dir + L"missing.exe"));
}

void checkTaskbar()
{
    APPBARDATA data {};
    data.cbSize = sizeof(data);
    const UINT_PTR reported = SHAppBarMessage(ABM_GETTASKBARPOS, &data);
    const int height = win::TaskbarHeight();
    const int screen = GetSystemMetrics(SM_CYSCREEN);
    std::printf("info  taskbar: SHAppBarMessage returned %u, rectangle (%ld,%ld)-(%ld,%ld), edge %u; screen height %d\n",
                static_cast<unsigned>(reported), data.rc.left, data.rc.top, data.rc.right, data.rc.bottom, data.uEdge, screen);
    const int expected = reported ? win::StripHeight(data.rc.left, data.rc.top, data.rc.right, data.rc.bottom) : 0;
    check("taskbar: height read is " + std::to_string(height) + " px, the reported rectangle's strip",
          height == expected && height >= 0 && (screen <= 0 || height < screen));
    check("taskbar: a strip across the bottom or top counts with its height",
          win::StripHeight(0, 728, 1024, 768) == 40 && win::StripHeight(0, 0, 1280, 30) == 30);
    check("taskbar: a strip at the side, or no rectangle, counts as 0",
          win::StripHeight(0, 0, 62, 768) == 0 && win::StripHeight(1218, 0, 1280, 1024) == 0 && win::StripHeight(0, 0, 0, 0) == 0);
}

// The file failures an estimator meets, provoked for real: the code the
// system reports must give the error number whose Japanese reason fits.
void checkFileErrors(const std::wstring& dir)
{
    const auto errnoOf = [](HANDLE h) {
        const int e = h == INVALID_HANDLE_VALUE ? win::ErrnoOfWin32Error(GetLastError()) : 0;
        if (h != INVALID_HANDLE_VALUE)
            CloseHandle(h);
        return e;
    };
    const auto open = [](const std::wstring& path, DWORD access, DWORD share, DWORD disposition, DWORD flags = 0) {
        return CreateFileW(path.c_str(), access, share, nullptr, disposition, flags, nullptr);
    };
    check("file errors: a missing file is ENOENT", errnoOf(open(dir + L"missing.dat", GENERIC_READ, 0, OPEN_EXISTING)) == ENOENT);
    check("file errors: a missing folder is ENOENT",
          errnoOf(open(dir + L"nowhere\\missing.dat", GENERIC_READ, 0, OPEN_EXISTING)) == ENOENT);
    const std::wstring held = dir + L"held.dat";
    HANDLE holder = open(held, GENERIC_WRITE, 0, CREATE_ALWAYS);
    check("file errors: a file another program holds is EBUSY",
          errnoOf(open(held, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING)) == EBUSY);
    CloseHandle(holder);
    check("file errors: an existing file made anew exclusively is EEXIST",
          errnoOf(open(held, GENERIC_WRITE, 0, CREATE_NEW)) == EEXIST);
    const std::wstring folder = dir + L"folder";
    CreateDirectoryW(folder.c_str(), nullptr);
    check("file errors: a folder opened for writing as a file is EACCES",
          errnoOf(open(folder, GENERIC_WRITE, 0, OPEN_EXISTING)) == EACCES);
    RemoveDirectoryW(folder.c_str());
    DeleteFileW(held.c_str());
    check("file errors: a code without a reason gives 0", win::ErrnoOfWin32Error(ERROR_INVALID_FUNCTION) == 0);
}

// One line of the table: the program's mappings and ICU's stock ones.
struct Mappings
{
    std::wstring katakana;
    std::wstring plain;
    std::wstring stockKatakana;
    std::wstring stockPlain;
};

std::wstring parseUnits(const std::string& field)
{
    std::wstring out;
    std::istringstream in(field);
    unsigned unit = 0;
    while (in >> std::hex >> unit)
        out += static_cast<wchar_t>(unit);
    return out;
}

std::map<unsigned, Mappings> readTable(const std::wstring& path)
{
    std::map<unsigned, Mappings> table;
    std::ifstream in(path.c_str());
    std::string line;
    while (std::getline(in, line)) {
        std::vector<std::string> fields;
        std::istringstream split(line);
        for (std::string field; std::getline(split, field, '\t');)
            fields.push_back(field);
        if (fields.size() != 5)
            continue;
        table[std::stoul(fields[0], nullptr, 16)] = { parseUnits(fields[1]), parseUnits(fields[2]),
                                                      parseUnits(fields[3]), parseUnits(fields[4]) };
    }
    return table;
}

using Mapping = std::map<unsigned, std::wstring>;

bool contains(const std::wstring& text, const std::wstring& name)
{
    return text.find(name) != std::wstring::npos;
}

// For each character, one one-character text and name pair, among them that
// character, that matches under one mapping and not under the other.
std::map<unsigned, std::pair<unsigned, unsigned>> changedMatches(const std::vector<unsigned>& chars,
                                                                  const Mapping& one, const Mapping& other)
{
    std::map<unsigned, std::pair<unsigned, unsigned>> changed;
    for (unsigned text : chars)
        for (unsigned name : chars)
            if (contains(one.at(text), one.at(name)) != contains(other.at(text), other.at(name))) {
                changed.emplace(text, std::make_pair(text, name));
                changed.emplace(name, std::make_pair(text, name));
            }
    return changed;
}

std::string hex(unsigned c)
{
    return units(std::wstring(1, static_cast<wchar_t>(c)));
}

// Prints where ICU's stock mapping and the system's differ, what the program
// makes of them, and for the matching's mapping whether the stock one would
// change a match there. Returns how many characters the program maps
// differently from the system.
size_t compare(const char* title, const std::vector<unsigned>& chars, const Mapping& stock, const Mapping& system,
               const Mapping& program, bool matching)
{
    const auto changed = matching ? changedMatches(chars, stock, system) : std::map<unsigned, std::pair<unsigned, unsigned>>();
    std::vector<unsigned> differs;
    size_t programDiffers = 0;
    for (unsigned c : chars) {
        if (stock.at(c) != system.at(c) || program.at(c) != system.at(c))
            differs.push_back(c);
        if (program.at(c) != system.at(c))
            ++programDiffers;
    }
    std::printf("\n%s\n%zu of %zu characters differ between stock ICU and LCMapStringW\n", title, differs.size(),
                chars.size());
    if (!differs.empty())
        std::printf("%-8s %-16s %-16s %-16s %s\n", "char", "stock ICU", "LCMapStringW", "program",
                    matching ? "stock ICU changes a match (text in name)" : "");
    for (unsigned c : differs) {
        const auto pair = changed.find(c);
        std::string effect;
        if (matching)
            effect = pair == changed.end() ? "no" : "yes: " + hex(pair->second.first) + " in " + hex(pair->second.second);
        std::printf("%-8s %-16s %-16s %-16s %s\n", hex(c).c_str(), units(stock.at(c)).c_str(),
                    units(system.at(c)).c_str(), units(program.at(c)).c_str(), effect.c_str());
    }
    std::printf("\n");
    return programDiffers;
}

void checkHalfWidth(const std::wstring& tablePath)
{
    const std::vector<unsigned> chars = MappedCharacters();
    const std::map<unsigned, Mappings> table = readTable(tablePath);
    std::vector<unsigned> missing;
    Mapping program, system, stock, programPlain, systemPlain, stockPlain;
    for (unsigned c : chars) {
        const auto row = table.find(c);
        if (row == table.end()) {
            missing.push_back(c);
            continue;
        }
        const std::wstring text(1, static_cast<wchar_t>(c));
        program[c] = row->second.katakana;
        stock[c] = row->second.stockKatakana;
        system[c] = win::ToHalfWidthKatakana(text);
        programPlain[c] = row->second.plain;
        stockPlain[c] = row->second.stockPlain;
        systemPlain[c] = win::ToHalfWidth(text);
    }
    check("halfwidth: the ICU table covers all " + std::to_string(chars.size()) + " characters", missing.empty(),
          missing.empty() ? std::string() : "first missing " + hex(missing.front()));
    if (!missing.empty())
        return;

    const size_t katakana = compare("Katakana mapping: LCMAP_HALFWIDTH | LCMAP_KATAKANA, stock ICU "
                                    "Hiragana-Katakana; Fullwidth-Halfwidth, the program's MatchesCostItem",
                                    chars, stock, system, program, true);
    check("halfwidth: the matching's mapping equals LCMapStringW's katakana mapping", katakana == 0,
          std::to_string(katakana) + " characters differ");
    const size_t plain = compare("Plain mapping: LCMAP_HALFWIDTH, stock ICU Fullwidth-Halfwidth, the program's ToHalfWidth",
                                 chars, stockPlain, systemPlain, programPlain, false);
    check("halfwidth: ToHalfWidth equals LCMapStringW's plain half-width mapping", plain == 0,
          std::to_string(plain) + " characters differ");
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    const std::wstring self = selfPath();
    if (argc == 3 && std::wstring(argv[1]) == L"mutex")
        return mutexHelper(argv[2]);
    if (argc == 3 && std::wstring(argv[1]) == L"sleep") {
        Sleep(static_cast<DWORD>(_wtoi(argv[2])));
        return 0;
    }
    if (argc == 1 && fileNameOf(self) == L"chk_verup.exe")
        return markerHelper();
    if (argc != 2) {
        std::printf("usage: velmora_wincheck TABLE\n");
        return 2;
    }

    const std::wstring dir = makeScratchDirectory();
    checkMutex(self);
    checkSnapshot(self, dir);
    checkStartProgram(self, dir);
    checkTaskbar();
    checkFileErrors(dir);
    checkHalfWidth(argv[1]);
    removeScratchDirectory(dir);
    std::printf("%s: %d check(s) failed\n", failures ? "FAIL" : "PASS", failures);
    return failures;
}
