// The picture of a RAR archive, through unrar.dll: listed once to choose,
// then opened again and unpacked (tested) into memory up to the chosen item.
#include <objidl.h>

#include "archive/UnRar.h"
#include "thumbnail/PictureChoice.h"
#include "thumbnail/PictureSources.h"

PictureData RarPicture(const wchar_t* path, bool firstFile) {
    CUnRar rar;
    if (!rar.Loaded() || !rar.Open(path, true) || rar.RefusesArchive()) return PictureData();
    PictureChoice choice(firstFile);
    for (int position = 0; rar.ReadHeader(); ++position) {
        const RARHeaderDataEx& header = rar.Header();
        // Sizes over 4 GiB and empty or unpacked-to-nothing items are no pictures.
        bool sized = header.UnpSizeHigh == 0 && header.UnpSize != 0 && header.PackSize != 0;
        uint64_t size = sized ? header.UnpSize : 0;
        if (choice.Offer(position, header.FileNameW, size, rar.IsDirectory())) break;
        rar.SkipCurrent();
    }
    if (!choice.HasChoice()) return PictureData();

    rar.Close();
    if (!rar.Open(path, false) || !rar.SkipItems(static_cast<uint64_t>(choice.Position())) || !rar.ReadHeader())
        return PictureData();
    PictureData picture = AllocatePicture(static_cast<size_t>(choice.Size()));
    if (!picture) return picture;
    IStream* raw = nullptr;
    // The stream writes into the block; the block stays ours.
    if (FAILED(CreateStreamOnHGlobal(picture.memory.get(), FALSE, &raw))) return PictureData();
    ScopedCom<IStream> stream(raw);
    rar.SetDataSink(stream.get());
    bool tested = rar.TestCurrent();
    rar.SetDataSink(nullptr);
    // Exactly the listed size, or nothing: a stream over a block grows it
    // when more is written.
    ULARGE_INTEGER written = {};
    LARGE_INTEGER zero = {};
    if (!tested || FAILED(stream.get()->Seek(zero, STREAM_SEEK_CUR, &written)) || written.QuadPart != picture.size)
        return PictureData();
    return picture;
}
