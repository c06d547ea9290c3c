#include "ArchiverText.h"

#include <cstring>

namespace archiver {

namespace {

wchar_t FoldAscii(wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

bool IsSpace(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; }

}  // namespace

bool MatchWildcard(const std::wstring& pattern, const std::wstring& name) {
    if (pattern.empty()) return true;
    const size_t pl = pattern.size(), nl = name.size();
    size_t p = 0, n = 0;
    size_t starP = std::wstring::npos, starN = 0;
    // Classic greedy match with one backtrack point: the last '*' seen.
    while (n < nl) {
        if (p < pl && pattern[p] == L'*') {
            starP = p++;
            starN = n;
        } else if (p < pl && (pattern[p] == L'?' || FoldAscii(pattern[p]) == FoldAscii(name[n]))) {
            ++p;
            ++n;
        } else if (starP != std::wstring::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    // The name is used up: what is left of the pattern may only be stars and
    // a final ".*" standing for "any extension, or none".
    while (p < pl) {
        if (pattern[p] == L'*') {
            ++p;
        } else if (pattern[p] == L'.' && p + 1 < pl && pattern[p + 1] == L'*') {
            p += 2;
        } else {
            return false;
        }
    }
    return true;
}

std::wstring ToBackslashes(std::wstring s) {
    for (wchar_t& c : s) {
        if (c == L'/') c = L'\\';
    }
    return s;
}

bool SplitExtractCommand(const std::wstring& line, std::wstring* archivePath, std::wstring* member) {
    std::vector<std::wstring> args;
    size_t i = 0;
    bool sawQuoted = false;
    while (i < line.size()) {
        while (i < line.size() && IsSpace(line[i])) ++i;
        if (i >= line.size()) break;
        if (line[i] == L'"') {
            size_t close = line.find(L'"', i + 1);
            if (close == std::wstring::npos) return false;
            args.push_back(line.substr(i + 1, close - i - 1));
            sawQuoted = true;
            i = close + 1;
            continue;
        }
        size_t end = i;
        while (end < line.size() && !IsSpace(line[end])) ++end;
        std::wstring token = line.substr(i, end - i);
        i = end;
        if (token[0] == L'-') continue;  // a switch
        // A bare command letter ("x", "e") comes before any path.
        if (!sawQuoted && args.empty() && token.size() == 1 &&
            ((token[0] >= L'a' && token[0] <= L'z') || (token[0] >= L'A' && token[0] <= L'Z'))) {
            continue;
        }
        args.push_back(token);
    }
    if (args.size() < 2 || args[0].empty() || args[1].empty()) return false;
    if (archivePath) *archivePath = args[0];
    if (member) *member = args[1];
    return true;
}

bool FromCaller(const char* text, UINT codePage, std::wstring* out) {
    if (!text || !out) return false;
    size_t len = strnlen(text, kMaxInput + 1);
    if (len > kMaxInput) return false;
    out->clear();
    if (len == 0) return true;
    int n = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text, static_cast<int>(len), nullptr, 0);
    if (n <= 0) return false;
    out->resize(static_cast<size_t>(n));
    return MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text, static_cast<int>(len), &(*out)[0], n) == n;
}

bool ToCaller(const std::wstring& text, UINT codePage, std::string* out) {
    if (!out) return false;
    out->clear();
    if (text.empty()) return true;
    if (text.size() > kMaxInput) return false;
    int n = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    if (n <= 0) return false;
    out->resize(static_cast<size_t>(n));
    return WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), &(*out)[0], n, nullptr,
                               nullptr) == n;
}

bool CopyToCaller(const std::wstring& text, UINT codePage, char* buffer, size_t size) {
    if (!buffer || size == 0) return false;
    buffer[0] = '\0';
    std::string converted;
    if (ToCaller(text, codePage, &converted) && converted.size() < size) {
        memcpy(buffer, converted.data(), converted.size());
        buffer[converted.size()] = '\0';
        return true;
    }
    // Too long (or not convertible whole): shorten by whole UTF-16 characters
    // until the conversion fits, so no multibyte character is cut in half.
    size_t keep = text.size() < size ? text.size() : size - 1;
    while (keep > 0) {
        if (keep < text.size() && text[keep] >= 0xDC00 && text[keep] <= 0xDFFF) {
            --keep;  // never split a surrogate pair
            continue;
        }
        if (ToCaller(text.substr(0, keep), codePage, &converted) && converted.size() < size) {
            memcpy(buffer, converted.data(), converted.size());
            buffer[converted.size()] = '\0';
            break;
        }
        --keep;
    }
    return false;
}

}  // namespace archiver
