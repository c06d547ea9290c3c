// Discovery through a library's exports alone, for the benchmarks: the
// library is loaded and its functions looked up once, then every archive
// goes through the calls a route makes (check, open, items until one lies in
// a folder, close) with no adapter in between. The difference to the route's
// own time is what the adapter adds.
#pragma once

#include <string>
#include <vector>

// Milliseconds per archive through 7-zip32.dll (SevenZip... exports, UTF-8
// mode); -1 when the library cannot be loaded. Counts archives that gave no
// folder into failures.
double ArchiverAloneMs(const std::vector<std::wstring>& files, int& failures);

// The same through unrar.dll.
double UnrarAloneMs(const std::vector<std::wstring>& files, int& failures);
