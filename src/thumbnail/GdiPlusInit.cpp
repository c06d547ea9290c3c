#include "thumbnail/GdiPlusInit.h"

#include <gdiplus.h>

CGDIPlusInit::CGDIPlusInit() {
    Gdiplus::GdiplusStartupInput input; // version 1, no debug callback, background thread on
    if (Gdiplus::GdiplusStartup(&token_, &input, nullptr) != Gdiplus::Ok) token_ = 0;
}

CGDIPlusInit::~CGDIPlusInit() {
    if (token_ != 0) Gdiplus::GdiplusShutdown(token_);
}
