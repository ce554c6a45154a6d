#include "mainwindow/Application.h"
#include "platform/AppInfo.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

const char kHelp[] = "Usage: anchorly [--help | --version]\n"
                     "\n"
                     "Anchorly writes hyperlink markup for HTML documents. Started without an option it\n"
                     "opens its window, which needs a graphical desktop; other arguments are ignored.\n"
                     "\n"
                     "  --help     show this help and exit\n"
                     "  --version  show the version and exit\n"
                     "\n"
                     "See anchorly(1) for where Anchorly keeps its settings and its sources list.\n";

// Both answers are written before the toolkit starts, so that they work
// without a display (in a terminal, over ssh, in a package check). A write
// that fails (a full disk, a closed pipe) must not end in a success status.
int answer(bool version)
{
    if (version)
        std::printf("%s %d.%d.%d\n", anchorly::app::kTitle, anchorly::app::kMajor, anchorly::app::kMinor,
                    anchorly::app::kRevision);
    else
        std::fputs(kHelp, stdout);
    if (std::fflush(stdout) == 0 && !std::ferror(stdout))
        return 0;
    std::fprintf(stderr, "anchorly: the answer could not be written: %s\n", std::strerror(errno));
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "--version") == 0)
            return answer(argv[i][2] == 'v');
    }
    return anchorly::runAnchorly(argc, argv);
}
