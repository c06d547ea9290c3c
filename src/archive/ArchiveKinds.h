// The archive kinds Zorvel reads and how each is read, in one table: its
// extension, its enable flag, the way to its names and the way to its
// picture; and the optional libraries those ways load.
//
// Kinds are told apart by the path's extension alone (compared without
// regard to the case of ASCII letters); the content decides only which
// library of the common archiver interface accepts an archive.
#pragma once

// The kinds in table order, which is also the order of their enable flags
// (Settings::EnableKind) and the order a folder is walked in.
enum ArchiveKindIndex { kKindZip = 0, kKind7z, kKindCab, kKindLzh, kKindRar, kArchiveKindCount };

// An optional library: one of the common archiver interface (exports named
// prefix + function) or the RAR library.
struct ArchiverLibrary {
    const wchar_t* file;            // the name it is loaded by
    const wchar_t* prefix;          // its exports' prefix; null for the RAR library
    const wchar_t* extractSwitches; // what precedes the archive in an ExtractMem command line
};

extern const ArchiverLibrary kSevenZipLibrary; // 7-zip32.dll: 7z, ZIP, CAB, LZH
extern const ArchiverLibrary kCabLibrary;      // cab32.dll
extern const ArchiverLibrary kLhaLibrary;      // unlha32.dll
extern const ArchiverLibrary kRarLibrary;      // unrar.dll

// The libraries of the common interface in the order an archive is offered
// to them, whatever its extension (so a .lzh goes to 7-zip32.dll first).
extern const ArchiverLibrary* const kArchiverLibraries[3];
// Every optional library, in the order the version page lists them.
extern const ArchiverLibrary* const kOptionalLibraries[4];

// How the folder name is found.
enum class NameRoute {
    Zip,       // the libraries first while Use7zip32 is on, then the built-in ZIP reader
    Libraries, // the libraries of the common interface, in turn
    Rar,       // the RAR library
};

// Where the thumbnail's picture comes from.
enum class PictureRoute {
    None,    // no picture (cabinets)
    Zip,     // the built-in ZIP reader, whatever Use7zip32 says
    Library, // the kind's own library of the common interface
    Rar,     // the RAR library
};

struct ArchiveKind {
    const wchar_t* extension; // with the dot
    ArchiveKindIndex index;   // its row, and its enable flag
    NameRoute names;
    PictureRoute pictures;
    const ArchiverLibrary* pictureLibrary; // for PictureRoute::Library
};

extern const ArchiveKind kArchiveKinds[kArchiveKindCount];

// The kind of path by its extension; null for any other file.
const ArchiveKind* ArchiveKindOf(const wchar_t* path);

// The kinds the user has switched on.
struct KindFilter {
    bool enabled[kArchiveKindCount] = {};

    // path's kind is switched on.
    bool Accepts(const wchar_t* path) const;
    bool Any() const;
};
