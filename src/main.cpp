#include "mainwindow/Application.h"

int main(int argc, char** argv)
{
    return anchorly::runAnchorly(argc, argv);
}
