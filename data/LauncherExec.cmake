# Runs at install time, after the launcher entry is in place. "Exec=anchorly"
# finds the program only on the session's search path, which holds the system
# prefixes' bin folders but seldom ~/.local/bin or /opt/...: an install under
# any other prefix writes the installed program's full path into the launcher.
# Needs ANCHORLY_LAUNCHER and ANCHORLY_BINDIR (relative to the prefix, or absolute).
get_filename_component(prefix "${CMAKE_INSTALL_PREFIX}" ABSOLUTE)
if(prefix STREQUAL "/usr" OR prefix STREQUAL "/usr/local")
    return()
endif()
if(IS_ABSOLUTE "${ANCHORLY_BINDIR}")
    set(program "${ANCHORLY_BINDIR}/anchorly")
else()
    set(program "${prefix}/${ANCHORLY_BINDIR}/anchorly")
endif()

# The desktop entry's rules: "%" starts a field code, so it is doubled. A path
# with anything but plain characters is quoted, with a backslash before
# " ` $ and \ inside the quotes, and then every backslash is doubled once more
# by the rules for the file's string values.
string(REPLACE "%" "%%" exec "${program}")
if(NOT exec MATCHES "^[A-Za-z0-9/._+%-]+$")
    string(REGEX REPLACE "([\"`$\\\\])" "\\\\\\1" exec "${exec}")
    string(REPLACE "\\" "\\\\" exec "${exec}")
    set(exec "\"${exec}\"")
endif()

set(launcher "$ENV{DESTDIR}${prefix}/${ANCHORLY_LAUNCHER}")
file(READ "${launcher}" entry)
# A plain replace: the path may hold characters a regular expression would read.
string(REGEX MATCH "\nExec=[^\n]*" exec_line "${entry}")
string(REPLACE "${exec_line}" "\nExec=${exec}" entry "${entry}")
file(WRITE "${launcher}" "${entry}")
message(STATUS "Launcher starts: ${program}")
