// Anchorly's own start-up, exactly as the program runs it, with the first
// paint reported by FirstPaint.cpp.

#include "mainwindow/Application.h"

int main(int argc, char** argv)
{
    return anchorly::runAnchorly(argc, argv);
}
