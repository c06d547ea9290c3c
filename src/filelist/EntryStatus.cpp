#include "filelist/FileEntry.h"

namespace {
const wchar_t* const kStatusTexts[kStatusCount] = {
    L"",
    L"リネームすることが出来ます",
    L"正常にリネームされました",
    L"リネームに失敗しました",
    L"ファイル名に使えない文字が含まれています",
    L"ファイル名とフォルダ名が一致します",
    L"ファイルが見つかりません",
    L"対応していないファイルです",
    L"アーカイバDLLが実行中です",
    L"ファイルを開くことが出来ません",
    L"ファイル内の情報を取得することが出来ません",
    L"ファイル名を取得することが出来ません",
    L"ファイル内にフォルダが見つかりません",
    L"新しいファイル名が長すぎます",
    L"同じ名前のファイルが既にあります",
    L"ほかのファイルと同じ名前になります",
};
} // namespace

const wchar_t* StatusText(int status) {
    if (status < 0 || status >= kStatusCount) return L"";
    return kStatusTexts[status];
}
