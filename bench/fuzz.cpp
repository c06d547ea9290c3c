// Feeds mutated inputs to every reader of untrusted bytes, deterministically
// from a seed, and checks that each answers with one of its documented
// results in bounded time.
//
//   wine build/bench/fuzz.exe [inputs] [seed]     (defaults 100000 and 1)
//   wine build/bench/fuzz.exe --replay FILE       one archive through every target
//
// Archive seeds (ZIP, 7z, CAB, LZH, RAR 4 and 5, made here or taken from the
// build's fixtures, and ZIPs of pictures of every kind with header fields at
// or past the limits of the thumbnail's header check) are mutated (bit
// flips, overwrites, extreme length fields, truncation, duplicated and
// removed chunks, splices) and written to a file, which goes to folder discovery and to the edit dialog's name
// listing, for ZIP both through the built-in reader and through our
// libraries, and to the thumbnail's picture choice, unpacking and drawing.
// Besides archives: Zorvel.cfg texts, the blocks a second
// instance hands over, the update server's version file, and command lines
// of up to a few thousand arguments. The driver prints the inputs tried per target, the
// results per code and the slowest input, and exits 1 when a result was
// outside its documented set or an input took over 5 seconds. A crash or an
// input that runs for a minute stops the run with the input's number and
// leaves the input as fuzz-failure.* in the current folder.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "CabBuilder.h"
#include "LzhBuilder.h"
#include "PictureBuilder.h"
#include "RarBuilder.h"
#include "SolidPicture.h"
#include "TestFiles.h"
#include "ZipBuilder.h"
#include "app/CommandLine.h"
#include "archive/OptionalLibrary.h"
#include "base/HandOverBlock.h"
#include "base/Paths.h"
#include "base/ScopedWin.h"
#include "filelist/FileEntry.h"
#include "naming/FolderDiscovery.h"
#include "settings/ConfigFile.h"
#include "settings/Settings.h"
#include "thumbnail/ArchivePicture.h"
#include "thumbnail/GdiPlusInit.h"
#include "thumbnail/PictureHeader.h"
#include "thumbnail/RenderPicture.h"
#include "update/VersionFile.h"

namespace {

const double kSlowSeconds = 5.0;
const DWORD kHangMilliseconds = 60000;

// xorshift32: the whole run follows from the seed.
class Random {
public:
    explicit Random(uint32_t seed) : state_(seed ? seed : 1) {}
    uint32_t Next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }
    size_t Below(size_t n) { return n ? Next() % n : 0; }

private:
    uint32_t state_;
};

struct Seed {
    std::string name;
    std::wstring extension;
    std::string bytes;
};

// --- seeds -------------------------------------------------------------------

std::string Filler(size_t size, char c) {
    return std::string(size, c);
}

std::vector<Seed> ArchiveSeeds() {
    std::vector<Seed> seeds;
    ZipMember root, folder, stored, deflated, sjis, utf8;
    root.name = "readme.txt";
    root.data = "read me";
    folder.name = "Photos/";
    folder.externalAttributes = 0x10;
    stored.name = "Photos/a.bmp";
    stored.data = SolidBmp(8, 6, RGB(200, 30, 40));
    deflated.name = "Photos/b.jpg";
    deflated.data = Filler(3000, 'b');
    deflated.method = 8;
    sjis.name = "\x95\x5c\x8e\xa6/\x83\x5c.jpg"; // 表示/ソ.jpg, 0x5C second bytes
    sjis.data = "s";
    utf8.name = "\xe5\x86\x99\xe7\x9c\x9f/a.png";
    utf8.flags = 0x800;
    utf8.data = "u";
    seeds.push_back({"zip", L".zip", BuildZip({root, folder, stored, deflated})});
    seeds.push_back({"zip, Shift-JIS and UTF-8", L".zip", BuildZip({sjis, utf8})});
    ZipMember described = deflated, wide = stored, hostile = stored;
    described.dataDescriptor = true;
    wide.zip64 = true;
    seeds.push_back({"zip, descriptor and zip64", L".zip", BuildZip({described, wide}, false, "comment")});
    hostile.name = Filler(65000, 'n') + "/x.jpg";
    seeds.push_back({"zip, 65,000-byte name", L".zip", BuildZip({hostile, stored})});

    RarMember readme, photo, dir, unicode;
    readme.name = "readme.txt";
    readme.data = "read me";
    dir.name = "Photos";
    dir.directory = true;
    photo.name = "Photos\\a.bmp";
    photo.data = SolidBmp(5, 5, RGB(20, 30, 240));
    unicode.name = "?\\a.jpg";
    unicode.unicodeName = L"\u5199\u771f\\a.jpg";
    unicode.data = "u";
    seeds.push_back({"rar 4", L".rar", BuildRar4({readme, dir, photo, unicode})});
    RarMember photo5 = photo;
    photo5.name = "Photos/a.bmp";
    seeds.push_back({"rar 5", L".rar", BuildRar5({readme, photo5})});

    LzhMember l0, l1, l2;
    l0.name = "Photos\\a.bmp";
    l0.data = SolidBmp(4, 4, RGB(0, 200, 0));
    l1.level = 1;
    l1.folder = "Photos\xff";
    l1.name = "b.jpg";
    l1.data = "one";
    l2.level = 2;
    l2.unicodeFolder = L"\u5199\u771f\uffff";
    l2.unicodeName = L"c.jpg";
    l2.data = "two";
    seeds.push_back({"lzh", L".lzh", BuildLzh({l0, l1, l2})});

    CabMember c1, c2;
    c1.name = "Photos\\a.jpg";
    c1.data = Filler(100, 'c');
    c2.name = "\xe5\x86\x99\xe7\x9c\x9f\\b.jpg";
    c2.attributes = 0xA0;
    c2.data = "d";
    seeds.push_back({"cab", L".cab", BuildCab({c1, c2})});

    // Pictures of every kind at or past the limits of the header check, with
    // pixel data that is not zero, stored so that mutations reach their
    // headers: dimensions, scans, frames, pages, icon directories.
    const std::string dib = BuildIconDib(16, 16, 16 * 16 * 4 + 16 * 4);
    const std::pair<const char*, std::pair<const char*, std::string>> pictures[] = {
        {"PNG of 65,536 x 65,536", {"a/cover.png", BuildPng(65536, 65536, 64)}},
        {"icon of 65,536 x 16,385", {"a/cover.ico", BuildIco({dib, BuildIconDib(65536, 16385, 65536 * 4)})}},
        {"icon of a PNG image", {"a/cover.ico", BuildIco({BuildPng(32, 32, 32, 2), dib})}},
        {"progressive JPEG of 100 scans", {"a/cover.jpg", BuildJpeg({64, 48, 3, 0xC2, 100})}},
        {"JPEG of 20,000 x 20,000", {"a/cover.jpg", BuildJpeg({20000, 20000, 3, 0xC2, 1, 0, false})}},
        {"JPEG with restart markers", {"a/cover.jpg", BuildJpeg({40, 30, 1, 0xC0, 1, 3})}},
        {"GIF of 4,096 frames", {"a/cover.gif", BuildGif(8192, 8192, std::vector<uint32_t>(4096, 2))}},
        {"TIFF of 1,024 pages", {"a/cover.tif", BuildTiff(std::vector<TiffPage>(1024, {2, 2}))}},
        {"TIFF of tiled and looping pages", {"a/cover.tif", BuildTiff({{16, 16, 16}, {16, 16}}, 0)}},
    };
    for (const auto& [what, member] : pictures) {
        ZipMember picture;
        picture.name = member.first;
        picture.data = member.second;
        seeds.push_back({std::string("zip, ") + what, L".zip", BuildZip({picture})});
    }

    // Archives made by the real packers at build time.
    const std::wstring fixtures = BuildFolder(L"fixtures");
    for (const wchar_t* file : {L"photos.7z", L"solid.7z", L"japanese.7z", L"symlink.7z", L"photos.zip",
                                L"photos.cab", L"photos.lzh", L"japanese.lzh"}) {
        std::string bytes = ReadBytes(fixtures + L"\\" + file);
        if (bytes.empty()) continue;
        std::wstring name = file;
        seeds.push_back({Utf8(name), name.substr(name.rfind(L'.')), bytes});
    }
    return seeds;
}

std::string ConfigSeed(const std::wstring& folder) {
    Settings settings;
    LoadSettingsFrom(nullptr, settings, 1280, 1024);
    wcscpy(settings.Format, L"%new_%date");
    wcscpy(settings.Design[0].Font, L"\uff2d\uff33 \u30b4\u30b7\u30c3\u30af");
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof(placement);
    placement.rcNormalPosition = {10, 20, 810, 620};
    std::wstring path = folder + L"\\seed.cfg";
    SaveSettingsTo(path.c_str(), settings, placement);
    return ReadBytes(path);
}

// The same file with every value oversized: long texts, huge and negative
// numbers, in turn.
std::string OversizedConfig(const std::string& seed) {
    std::wstring text(reinterpret_cast<const wchar_t*>(seed.data()), seed.size() / sizeof(wchar_t));
    const std::wstring values[] = {std::wstring(5000, L'\u5199'), L"99999999999999999999", L"-2147483649",
                                   L"#FFFFFFFFFF", std::wstring(300, L'9')};
    std::wstring out;
    size_t n = 0;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find(L"\r\n", start);
        if (end == std::wstring::npos) end = text.size();
        std::wstring line = text.substr(start, end - start);
        size_t equals = line.find(L'=');
        if (equals != std::wstring::npos) line = line.substr(0, equals + 1) + values[n++ % 5];
        out += line + L"\r\n";
        start = end + 2;
    }
    return std::string(reinterpret_cast<const char*>(out.data()), out.size() * sizeof(wchar_t));
}

// --- mutations ---------------------------------------------------------------

void PutLittle(std::string& bytes, size_t at, uint32_t value, int width) {
    for (int i = 0; i < width && at + i < bytes.size(); ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
}

void MutateOnce(std::string& bytes, const std::string& other, Random& random) {
    if (bytes.empty()) {
        bytes = other.substr(0, random.Below(other.size() + 1));
        return;
    }
    const uint32_t extremes[] = {0, 1, 0x7F, 0x80, 0xFF, 0xFFFF, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF,
                                 static_cast<uint32_t>(bytes.size()), static_cast<uint32_t>(bytes.size() + 1)};
    size_t at = random.Below(bytes.size());
    switch (random.Below(8)) {
    case 0: // bit flips
        for (size_t n = 1 + random.Below(8); n > 0; --n)
            bytes[random.Below(bytes.size())] ^= static_cast<char>(1u << random.Below(8));
        break;
    case 1: // a run of random bytes
        for (size_t n = 1 + random.Below(16); n > 0 && at < bytes.size(); --n, ++at)
            bytes[at] = static_cast<char>(random.Next());
        break;
    case 2: // a length or offset field set to an extreme
    case 3: PutLittle(bytes, at, extremes[random.Below(sizeof(extremes) / sizeof(extremes[0]))], 1 << random.Below(3)); break;
    case 4: bytes.resize(at); break; // truncation
    case 5: { // a chunk duplicated in place
        size_t length = 1 + random.Below(bytes.size() - at);
        if (length > 4096) length = 4096;
        bytes.insert(at, bytes.substr(at, length));
        break;
    }
    case 6: { // a chunk removed
        size_t length = 1 + random.Below(bytes.size() - at);
        bytes.erase(at, length);
        break;
    }
    case 7: { // the tail of another input of the same kind spliced in
        size_t from = random.Below(other.size());
        bytes = bytes.substr(0, at) + other.substr(from);
        break;
    }
    }
}

std::string Mutant(const std::string& seed, const std::string& other, Random& random) {
    std::string bytes = seed;
    for (size_t n = 1 + random.Below(3); n > 0; --n) MutateOnce(bytes, other, random);
    return bytes;
}

// --- targets -----------------------------------------------------------------

// One reader under test: it takes the mutant's file and answers with a code
// that must be in its documented set.
struct Target {
    using Call = std::function<int(const std::wstring& path)>;
    using Check = std::function<bool(int code)>;
    Target(const char* name, Call call, Check documented) : name(name), call(call), documented(documented) {}

    const char* name;
    Call call;
    Check documented;
    long long tried = 0;
    std::map<int, long long> codes;
};

int DiscoverWith(bool useLibraries, const std::wstring& path) {
    NamingOptions options;
    options.use7zip32 = useLibraries;
    wchar_t folder[260];
    int status = DiscoverFolderName(path.c_str(), options, folder);
    // A found folder is a non-empty name that fits its field.
    if (status == 0 && (folder[0] == L'\0' || wcsnlen(folder, 260) >= 260)) return -1;
    return status;
}

int ListNamesWith(bool useLibraries, const std::wstring& path) {
    NamingOptions options;
    options.use7zip32 = useLibraries;
    std::vector<std::wstring> names;
    return CollectNameCandidates(path.c_str(), options, names) ? 1 : 0;
}

// The picture a thumbnail would be made of, and the thumbnail itself: 0 no
// picture, 1 a picture drawn, 2 a picture GDI+ would not draw, 3 one the
// header check refused (the type icon stands in for both); -1 a refused
// picture drawn all the same.
int MakePicture(const std::wstring& path, bool firstFile) {
    PictureData picture = LoadArchivePicture(path.c_str(), firstFile);
    if (!picture) return 0;
    bool fits;
    {
        ScopedGlobalLock bytes(picture.memory.get());
        fits = bytes && CheckPicture(static_cast<const unsigned char*>(bytes.get()), picture.size).verdict ==
                            PictureVerdict::Fits;
    }
    ScopedBitmap thumbnail(RenderPicture(picture, 64, 64, 7));
    if (!fits) return thumbnail ? -1 : 3;
    return thumbnail ? 1 : 2;
}

bool DiscoveryCode(int code) {
    return code == 0 || (code >= kStatusNotFound && code <= kStatusNoFolder);
}

bool Boolean(int code) {
    return code == 0 || code == 1;
}

// Loading a mutated configuration must give a record that saves and loads
// back to the same text: 1 when it does, -1 when not.
int LoadConfig(const std::wstring& path) {
    Settings loaded;
    LoadSettingsFrom(path.c_str(), loaded, 1280, 1024);
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof(placement);
    placement.rcNormalPosition = {loaded.Left, loaded.Top, loaded.Left + loaded.Width, loaded.Top + loaded.Height};
    const std::wstring first = path + L".1", second = path + L".2";
    if (!SaveSettingsTo(first.c_str(), loaded, placement)) return -1;
    Settings again;
    LoadSettingsFrom(first.c_str(), again, 1280, 1024);
    if (!SaveSettingsTo(second.c_str(), again, placement)) return -1;
    return ReadBytes(first) == ReadBytes(second) ? 1 : -1;
}

// A hand-over block built from the mutant's bytes with a random kind and
// size claim (never beyond the bytes there are): 1 taken, 0 refused, -1 taken
// although the path is not absolute or not terminated inside the claimed size.
int ReadBlock(const std::string& bytes, Random& random) {
    COPYDATASTRUCT data = {};
    data.dwData = random.Below(8) == 0 ? random.Next() : kHandOverPathKind;
    data.cbData = static_cast<DWORD>(random.Below(bytes.size() + 1));
    data.lpData = bytes.empty() ? nullptr : const_cast<char*>(bytes.data());
    std::wstring path;
    if (!ReadHandOverBlock(&data, path)) return 0;
    bool sound = !path.empty() && (path.size() + 1) * sizeof(wchar_t) <= data.cbData &&
                 path.find(L'\0') == std::wstring::npos && IsFullPath(path.c_str());
    return sound ? 1 : -1;
}

// The update server's version file: 1 read, 0 refused, -1 read with a field
// that does not end inside its buffer.
int ReadVersionFile(const std::string& bytes) {
    VersionFile file;
    wmemset(file.version, L'x', kVersionFieldUnits);
    wmemset(file.fileName, L'x', kVersionFieldUnits);
    wmemset(file.serverPath, L'x', kVersionFieldUnits);
    if (!ParseVersionFile(bytes.data(), bytes.size(), file)) return 0;
    for (const wchar_t* field : {file.version, file.fileName, file.serverPath})
        if (wcsnlen(field, kVersionFieldUnits) == kVersionFieldUnits) return -1;
    IsNewerVersion(L"1.3.9.0", file.version);
    return 1;
}

// A command line of up to a few thousand arguments drawn from switches,
// empty, blank, relative, quoted and over-long paths: 1 parsed soundly, -1
// when a path to hand over is empty or not absolute.
std::wstring RandomCommandLine(Random& random) {
    const std::wstring pieces[] = {L"/showwindow", L"/SILENT", L"/verysilent", L"/s", L"/", L"\"\"", L"\"   \"",
                                   L"C:\\files\\a.zip", L"a.zip", L"..\\..\\b.rar", L"\"C:\\with space\\c.7z\"",
                                   L"\\\\server\\share\\d.lzh", L"\"unbalanced", L"back\\\\\"slash",
                                   L"C:\\" + std::wstring(300, L'x') + L".zip", std::wstring(40000, L'y')};
    const size_t count = sizeof(pieces) / sizeof(pieces[0]);
    std::wstring line = L"\"C:\\Program Files\\Zorvel\\Zorvel.exe\"";
    size_t arguments = random.Below(8) == 0 ? random.Below(4000) : random.Below(8);
    for (size_t i = 0; i < arguments; ++i) line += L" " + pieces[random.Below(count)];
    return line;
}

int ParseCommandLineOf(const std::wstring& text) {
    CommandLine line = ParseCommandLine(SplitCommandLine(text.c_str()));
    line.Mode(false);
    line.Mode(true);
    line.WindowPaths();
    for (const std::wstring& path : line.HandOverPaths())
        if (path.empty() || !IsFullPath(path.c_str())) return -1;
    return 1;
}

std::string HandOverSeed(const std::wstring& path) {
    return std::string(reinterpret_cast<const char*>(path.c_str()), (path.size() + 1) * sizeof(wchar_t));
}

// --- failure reporting -------------------------------------------------------

struct Current {
    const char* target = "";
    long long input = 0;
    std::string bytes;
    std::wstring extension;
    volatile LONG sequence = 0; // moves on with every call
} g_current;

void SaveFailure() {
    std::wstring path = L"fuzz-failure" + g_current.extension;
    WriteBytes(path, g_current.bytes);
    fprintf(stderr, "the input is in %ls\n", path.c_str());
}

LONG WINAPI OnCrash(EXCEPTION_POINTERS* info) {
    fprintf(stderr, "CRASH (exception 0x%08lx) in %s on input %lld\n",
            static_cast<unsigned long>(info->ExceptionRecord->ExceptionCode), g_current.target, g_current.input);
    SaveFailure();
    ExitProcess(3);
}

DWORD WINAPI Watchdog(LPVOID) {
    for (;;) {
        LONG before = g_current.sequence;
        Sleep(kHangMilliseconds);
        if (g_current.sequence == before) {
            fprintf(stderr, "HANG: %s on input %lld ran for a minute\n", g_current.target, g_current.input);
            SaveFailure();
            ExitProcess(4);
        }
    }
}

double Now() {
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(counter.QuadPart) / frequency.QuadPart;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    long long inputs = argc > 1 ? _wtoi64(argv[1]) : 100000;
    uint32_t seedValue = argc > 2 ? static_cast<uint32_t>(_wtoi(argv[2])) : 1;
    // (--replay FILE reads no counts.)
    if (inputs <= 0) inputs = 100000;
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    SetUnhandledExceptionFilter(OnCrash);
    CGDIPlusInit gdiplus;

    TempDir dir;
    const bool replay = argc > 2 && wcscmp(argv[1], L"--replay") == 0;
    SetDllDirectoryW(BuildFolder(L"bin").c_str());
    ForgetMissingLibraries();

    const std::vector<Seed> archives = ArchiveSeeds();
    const std::string configText = ConfigSeed(dir.path());
    const Seed configs[] = {{"Zorvel.cfg", L".cfg", configText},
                            {"Zorvel.cfg, oversized values", L".cfg", OversizedConfig(configText)}};
    const Seed handOver = {"hand-over", L".bin", HandOverSeed(dir / L"Photos\\a.zip")};
    const Seed versions[] = {
        {"version file", L".dat", "1.4.0.0,Zorvel-1.4.0.0.zip,/update/Zorvel-1.4.0.0.zip\r\n1.3.0.0,old.zip,/old\r\n"},
        {"long version file", L".dat", "2," + std::string(125, 'f') + "," + std::string(3000, '/')},
    };
    std::vector<Target> targets = {
        {"discovery, built-in ZIP reader", [](const std::wstring& p) { return DiscoverWith(false, p); }, DiscoveryCode},
        {"discovery, our libraries", [](const std::wstring& p) { return DiscoverWith(true, p); }, DiscoveryCode},
        {"name listing, built-in ZIP reader", [](const std::wstring& p) { return ListNamesWith(false, p); }, Boolean},
        {"name listing, our libraries", [](const std::wstring& p) { return ListNamesWith(true, p); }, Boolean},
        {"thumbnail picture", [](const std::wstring& p) { return MakePicture(p, p.size() % 2 == 0); },
         [](int code) { return code >= 0 && code <= 3; }},
        {"configuration file", LoadConfig, [](int code) { return code == 1; }},
        {"hand-over block", nullptr, Boolean},
        {"update version file", nullptr, Boolean},
        {"command line", nullptr, [](int code) { return code == 1; }},
    };
    Target& configTarget = targets[5];
    Target& handOverTarget = targets[6];
    Target& versionTarget = targets[7];
    Target& commandLineTarget = targets[8];

    if (replay) {
        g_current.bytes = ReadBytes(argv[2]);
        for (Target& target : targets) {
            if (!target.call || &target == &configTarget) continue;
            g_current.target = target.name;
            printf("%s: %d\n", target.name, target.call(argv[2]));
            fflush(stdout);
        }
        return 0;
    }
    CloseHandle(CreateThread(nullptr, 0, Watchdog, nullptr, 0, nullptr));
    Random random(seedValue);
    double slowest = 0;
    std::string slowestWhat;
    int undocumented = 0, slow = 0;
    double started = Now();
    long long tried = 0;
    auto check = [&](Target& target, int code, double seconds, const char* seedName) {
        ++target.tried;
        ++target.codes[code];
        ++tried;
        if (seconds > slowest) {
            slowest = seconds;
            slowestWhat = std::string(target.name) + " on input " + std::to_string(g_current.input) + " (from " +
                          seedName + ")";
        }
        if (seconds > kSlowSeconds && ++slow <= 5) {
            fprintf(stderr, "SLOW: %s on input %lld took %.1f s\n", target.name, g_current.input, seconds);
            SaveFailure();
        }
        if (!target.documented(code) && ++undocumented <= 5) {
            fprintf(stderr, "UNDOCUMENTED result %d from %s on input %lld (from %s)\n", code, target.name,
                    g_current.input, seedName);
            SaveFailure();
        }
    };

    for (long long n = 0; n < inputs; ++n) {
        g_current.input = n;
        size_t pick = random.Below(archives.size() + 4);
        if (pick == archives.size() + 3) {
            std::wstring text = RandomCommandLine(random);
            g_current.bytes.assign(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
            g_current.extension = L".txt";
            g_current.target = commandLineTarget.name;
            double start = Now();
            int code = ParseCommandLineOf(text);
            check(commandLineTarget, code, Now() - start, "generated");
            continue;
        }
        if (pick == archives.size() + 2) { // a version file from the update server
            const Seed& version = versions[random.Below(2)];
            g_current.bytes = Mutant(version.bytes, versions[random.Below(2)].bytes, random);
            g_current.extension = version.extension;
            g_current.target = versionTarget.name;
            double start = Now();
            int code = ReadVersionFile(g_current.bytes);
            check(versionTarget, code, Now() - start, version.name.c_str());
            continue;
        }
        if (pick == archives.size() + 1) { // a hand-over block
            g_current.bytes = Mutant(handOver.bytes, handOver.bytes, random);
            g_current.extension = handOver.extension;
            g_current.target = handOverTarget.name;
            double start = Now();
            int code = ReadBlock(g_current.bytes, random);
            check(handOverTarget, code, Now() - start, handOver.name.c_str());
            continue;
        }
        const Seed& seed = pick == archives.size() ? configs[random.Below(2)] : archives[pick];
        const Seed& other = pick == archives.size() ? seed : archives[random.Below(archives.size())];
        g_current.bytes = Mutant(seed.bytes, other.extension == seed.extension ? other.bytes : seed.bytes, random);
        g_current.extension = seed.extension;
        const std::wstring path = dir / (L"input" + seed.extension);
        if (!WriteBytes(path, g_current.bytes)) {
            fprintf(stderr, "cannot write %ls\n", path.c_str());
            return 2;
        }
        for (Target& target : targets) {
            if (!target.call) continue;
            bool isConfig = &target == &configTarget;
            if (isConfig != (pick == archives.size())) continue;
            // The built-in reader only ever sees ZIP archives.
            if (strstr(target.name, "built-in") && seed.extension != L".zip") continue;
            g_current.target = target.name;
            InterlockedIncrement(&g_current.sequence);
            double start = Now();
            int code = target.call(path);
            check(target, code, Now() - start, seed.name.c_str());
        }
    }

    printf("%lld inputs from seed %u (%lld calls) in %.0f s, %zu archive seeds\n", inputs, seedValue, tried,
           Now() - started, archives.size());
    for (const Target& target : targets) {
        printf("  %-36s %8lld tried:", target.name, target.tried);
        for (const auto& [code, count] : target.codes) printf(" %d:%lld", code, count);
        printf("\n");
    }
    printf("slowest: %.3f s, %s\n", slowest, slowestWhat.c_str());
    printf("crashes: 0, undocumented results: %d, inputs over %.0f s: %d\n", undocumented, kSlowSeconds, slow);
    return undocumented == 0 && slow == 0 ? 0 : 1;
}
