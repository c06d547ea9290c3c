// Thumbnails for a range of rows, made on a run's thread.
//
// Contract:
// - MakeRowThumbnail(path, w, h, options): the archive's picture
//   (LoadArchivePicture, with options.firstFile) drawn by RenderPicture with
//   options.interpolationMode; when there is none or it cannot be decoded,
//   the file type's icon (TypeIconThumbnail). The caller owns the bitmap.
// - RunThumbnails makes the thumbnail of every row from startRow to
//   endRow - 1 (of only the marked ones when `only` is not empty), in row
//   order, and hands each to the sink as soon as it is made, then deletes
//   it; it reports progress after each row it made and stops after the
//   current row when the run is cancelled. The rows' shape must not change
//   while it runs (the window refuses everything but Cancel meanwhile).
// - The sink decides where a thumbnail goes; it is called on the run's thread.
#pragma once

#include <windows.h>

#include <vector>

#include "base/Run.h"
#include "settings/Settings.h"

class FileList;

// What making a thumbnail depends on, copied when a run starts.
struct ThumbnailOptions {
    bool firstFile = true;      // the first picture found, not the first in logical order
    int interpolationMode = 1;  // GDI+'s, when a picture is scaled

    static ThumbnailOptions From(const Settings& settings) { return {settings.FirstFile, settings.InterpolationMode}; }
};

class ThumbnailSink {
public:
    // row's thumbnail is ready; the sink takes a copy of bitmap.
    virtual void Put(int row, HBITMAP bitmap) = 0;

protected:
    ~ThumbnailSink() = default;
};

struct ThumbnailJob {
    int startRow = 0;
    int endRow = 0;           // the row count when the run starts
    int boxWidth = 0, boxHeight = 0;
    std::vector<bool> only;   // when not empty: make only rows marked here
    ThumbnailOptions options;
};

HBITMAP MakeRowThumbnail(const wchar_t* path, int boxWidth, int boxHeight, const ThumbnailOptions& options);

RunResult RunThumbnails(const ThumbnailJob& job, const FileList& list, ThumbnailSink& sink, Run& run);
