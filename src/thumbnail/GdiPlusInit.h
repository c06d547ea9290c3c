// GDI+ for the lifetime of the main window: started on construction, shut
// down on destruction (only when the start succeeded).
#pragma once

#include <windows.h>

class CGDIPlusInit {
public:
    CGDIPlusInit();
    ~CGDIPlusInit();
    CGDIPlusInit(const CGDIPlusInit&) = delete;
    CGDIPlusInit& operator=(const CGDIPlusInit&) = delete;
    bool started() const { return token_ != 0; }

private:
    ULONG_PTR token_ = 0;
};
