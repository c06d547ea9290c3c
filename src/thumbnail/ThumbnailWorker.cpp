#include "thumbnail/ThumbnailWorker.h"

#include "base/ScopedWin.h"
#include "filelist/FileList.h"
#include "thumbnail/ArchivePicture.h"
#include "thumbnail/IconThumbnails.h"
#include "thumbnail/RenderPicture.h"

HBITMAP MakeRowThumbnail(const wchar_t* path, int boxWidth, int boxHeight, const ThumbnailOptions& options) {
    HBITMAP bitmap = nullptr;
    {
        PictureData picture = LoadArchivePicture(path, options.firstFile);
        if (picture) bitmap = RenderPicture(picture, boxWidth, boxHeight, options.interpolationMode);
    }
    return bitmap ? bitmap : TypeIconThumbnail(boxWidth, boxHeight, path);
}

RunResult RunThumbnails(const ThumbnailJob& job, const FileList& list, ThumbnailSink& sink, Run& run) {
    ScopedCoInit com; // the shell's icons need COM on this thread
    int done = 0;
    FileEntry entry;
    for (int row = job.startRow; row < job.endRow; ++row) {
        if (!job.only.empty() && !(row < static_cast<int>(job.only.size()) && job.only[row])) continue;
        if (!list.CopyEntry(row, entry)) break;
        ScopedBitmap bitmap(MakeRowThumbnail(entry.fullPath, job.boxWidth, job.boxHeight, job.options));
        if (bitmap) sink.Put(row, bitmap.get());
        run.Progress(++done);
        if (run.Cancelled()) break; // the current row is finished
    }
    return RunResult{};
}
